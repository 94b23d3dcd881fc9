// What the help viewer reads from an unpacked help file: the #SYSTEM header, the contents and
// index sitemaps and a page's text. Unpacking itself is chmlib's and runs in a process of its
// own in the program.

#include "fuzz/fuzz_support.h"
#include "helpviewer/HelpFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const size_t systemSize = std::min<size_t>(in.byte() * 4u, size);
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = qsizetype(std::min(systemSize + 1, size));
    HelpArchive archive;
    archive.add(QStringLiteral("/#SYSTEM"), bytes.mid(1, split - 1));
    const QByteArray sitemap = bytes.mid(split);
    archive.add(QStringLiteral("/toc.hhc"), sitemap);
    archive.add(QStringLiteral("/index.hhk"), sitemap);
    archive.add(QStringLiteral("/start.htm"), sitemap);
    const HelpContents contents = readHelpContents(archive);
    decodeHelpText(sitemap,
                   contents.charset.isEmpty() ? QByteArray("windows-1252") : contents.charset);
    return 0;
}
