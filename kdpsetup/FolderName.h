#pragma once

#include <QString>

// Whether NAME can be used as one folder name below a key drivers folder on
// every platform the installer runs on: not empty, not "." or "..", no
// separator, drive or absolute form, no character a Windows file name can't
// hold, no control character, no surrogate that is not half of a pair, no
// trailing dot or space (Windows drops them, so two names would share a
// folder), no reserved device name (CON, NUL, COM1...), and neither
// "config.xml", the name of the registry that lives beside the folders, nor
// a name beginning "config.xml." (the files kept beside it).
bool isSafeFolderName(const QString &name);
