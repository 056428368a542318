#pragma once

#include <QString>

// Copies everything inside SOURCE (hidden entries included) into
// DESTINATION, creating it and its missing parents first. Entries are taken
// in name order, ignoring case. With OVERWRITE a file of the same name in the
// destination is replaced; a folder of that name is never removed, so the
// copy then fails. Links are never followed: a link whose target stays
// inside SOURCE is copied as a link (on Windows, where Qt makes shortcuts,
// not links, every link fails the copy), any other link (and anything that
// is neither a file, a folder nor a link) fails the copy, and a link that
// sits in the destination where a folder goes is replaced, never written
// through. On Windows a link is any reparse point (junctions too).
// Stops at the first failure and returns false; what was copied stays.
bool copyFolder(const QString &source, const QString &destination, bool overwrite);

// Whether anything is at PATH, a dangling link included.
bool entryExists(const QString &path);

// Removes the folder at PATH with its whole tree, hidden entries included,
// without following links: a link inside is removed as a link, and a PATH
// that is itself a link loses just the link. Returns true when no folder is
// left at PATH (also when there was none); false for an empty PATH.
bool removeFolder(const QString &path);
