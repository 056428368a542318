#pragma once

#include <QByteArray>
#include <QString>

// Makes BYTES the contents of the file at PATH, so that a failure or a kill
// at any moment leaves the old contents or the new, never a mix:
// - a new file beside it takes its place at once (QSaveFile), with the old
//   file's mode and, where the platform has them, its owner and group;
// - where that can't be done (the folder takes no new file, or the owner
//   can't be given back), an existing file is rewritten in place, writing
//   only what changed, in one write, and put back as it was when that
//   fails.
// Returns true only when the new contents are in place.
bool replaceFile(const QString &path, const QByteArray &bytes);

// Keeps what is at PATH under a name of its own beside it, PATH.bad, or
// PATH.bad.2, PATH.bad.3 ... when those are taken; an earlier copy is never
// replaced. BYTES are written there when READ is true; otherwise (a file
// that can't be read) the file itself is moved there. Returns the name
// used, or a null text when nothing could be kept.
QString keepAside(const QString &path, bool read, const QByteArray &bytes);
