#pragma once
// What the fuzz targets share: reading typed pieces from the fuzzer's bytes, a scratch file
// for the readers that take a path, and the one way a target reports a fault.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size)
        : m_data(data)
        , m_size(size)
    { }

    // Zero once the bytes are used up, so that every input is a valid one.
    uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }

    uint32_t number32()
    {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | byte();
        return value;
    }

    // Up to 15 bytes of UTF-8: the length in the low half of one byte, then the bytes.
    QString shortText()
    {
        const size_t length = byte() & 15u;
        return text(std::min(length, m_size - m_pos));
    }

    QString restAsText() { return text(m_size - m_pos); }

private:
    QString text(size_t count)
    {
        const auto* start = reinterpret_cast<const char*>(m_data + m_pos);
        m_pos += count;
        return QString::fromUtf8(start, qsizetype(count));
    }

    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// A file of this process's own in the temporary folder; the readers under test take paths.
inline QString scratchPath(const QString& name)
{
    const QString folder = QDir::tempPath() + QStringLiteral("/yearmark-fuzz-%1").arg(::getpid());
    QDir().mkpath(folder);
    return folder + u'/' + name;
}

inline void writeScratch(const QString& path, const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!file)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
}

// A wrong result is a fault like a crash: the fuzzer keeps the input and the replay fails.
[[noreturn]] inline void fault(const char* what)
{
    std::fprintf(stderr, "fault: %s\n", what);
    std::abort();
}
