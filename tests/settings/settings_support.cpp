#include "settings_support.h"

#include <cstring>

#include <QFile>
#include <QStringEncoder>
#include <QtEndian>

void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

void PrintTo(const RegistryValue& value, std::ostream* os)
{
    *os << "type " << value.type << " hex " << value.data.toHex(',').toStdString();
}

namespace testdata {

QString crlf(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

QByteArray utf16LeWithBom(const QString& text)
{
    QStringEncoder encoder(QStringConverter::Utf16LE);
    return QByteArray("\xFF\xFE", 2) + QByteArray(encoder.encode(crlf(text)));
}

QByteArray utf8WithBom(const QString& text) { return QByteArray("\xEF\xBB\xBF") + text.toUtf8(); }

QByteArray windows1252(const QString& text)
{
    QStringEncoder encoder("windows-1252");
    return encoder.encode(text);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QString hexOfDouble(double value)
{
    quint64 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    uchar bytes[8];
    qToLittleEndian(bits, bytes);
    QStringList parts;
    for (uchar b : bytes)
        parts << QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0'));
    return QStringLiteral("hex:") + parts.join(u',');
}

} // namespace testdata
