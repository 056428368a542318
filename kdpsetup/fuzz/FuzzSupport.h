// What every kdpsetup harness needs: the Qt core application object (the
// installer asks it for its folder), a silent debug channel, a scratch
// folder, and a way to stop on a broken promise.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace fuzz {

// Set up once per process; the scratch folder is emptied for every input.
void startOnce();
QString scratch(const QString &relative = QString());
void emptyScratch();

// Writes BYTES to the scratch file RELATIVE (its folders made) and returns
// its path.
QString writeScratch(const QString &relative, const QByteArray &bytes);
QByteArray readScratch(const QString &relative);

// Text from fuzz bytes read as UTF-16 code units, so that anything a parser
// could hand over, surrogates alone included, can turn up.
QString utf16Text(const QByteArray &bytes);

// Ends the run with a report libFuzzer keeps the input for.
[[noreturn]] void broken(const char *promise, const QString &detail = QString());

} // namespace fuzz
