#pragma once

#include <QByteArray>
#include <QString>
#include <ostream>

#include "settings/RegistryValue.h"

// Readable failure messages.
void PrintTo(const QString& text, std::ostream* os);
void PrintTo(const RegistryValue& value, std::ostream* os);

// Test data is made here from text, so that every encoding a registry file can come in is
// produced by the tests themselves.
namespace testdata {

QByteArray utf16LeWithBom(const QString& text); // CR LF lines, as Windows' editor writes
QByteArray utf8WithBom(const QString& text);
QByteArray windows1252(const QString& text); // encoded by Qt's converter, not ours
QString crlf(QString text);                  // every LF becomes CR LF

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);

// The eight bytes of a double as "hex:" lists them.
QString hexOfDouble(double value);

} // namespace testdata
