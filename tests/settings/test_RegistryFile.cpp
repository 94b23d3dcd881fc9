#include <random>

#include <QStringDecoder>
#include <QStringList>
#include <gtest/gtest.h>

#include "settings/RegFileDecoder.h"
#include "settings/RegistryFile.h"
#include "settings_support.h"

namespace {

const QString K = QStringLiteral("HKEY_CURRENT_USER\\Software\\Vemoral\\yearmark");
const QString Header = QStringLiteral("Windows Registry Editor Version 5.00\n\n");

QString section(const QString& body) { return Header + u'[' + K + "]\n" + body; }

RegistryValue bytesOf(uint32_t type, QByteArray data) { return {type, std::move(data)}; }

struct ReadCase {
    const char* what;
    QString text;
    QString name;
    std::optional<RegistryValue> expected;
};
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.what; }

class ReadsWhatAnImportLeaves : public testing::TestWithParam<ReadCase> { };

TEST_P(ReadsWhatAnImportLeaves, Value)
{
    const auto& c = GetParam();
    const RegistryFile file = RegistryFile::fromText(c.text);
    EXPECT_EQ(file.value(K, c.name), c.expected) << c.what;
}

const QString other =
    QStringLiteral("[HKEY_CURRENT_USER\\Software\\Other]\n\"Label\"=\"theirs\"\n\n");

INSTANTIATE_TEST_SUITE_P(
    Table, ReadsWhatAnImportLeaves,
    testing::Values(
        ReadCase {"escaped quote and backslash",
                  section(R"("Label"="a\\b \"q\"")"
                          "\n"),
                  "Label", RegistryValue::fromString(R"(a\b "q")")},
        ReadCase {"a lone LF in a string becomes CR LF", section("\"Label\"=\"one\ntwo\"\n"),
                  "Label", RegistryValue::fromString("one\r\ntwo")},
        ReadCase {"CR LF in a string stays", section("\"Label\"=\"one\r\ntwo\"\n"), "Label",
                  RegistryValue::fromString("one\r\ntwo")},
        ReadCase {"dword", section("\"Fon\"=dword:0000000a\n"), "Fon",
                  RegistryValue::fromDWord(10)},
        ReadCase {"dword in capitals", section("\"Fon\"=DWORD:00FFFFFF\n"), "Fon",
                  RegistryValue::fromDWord(0xFFFFFF)},
        ReadCase {"blanks around the equals sign", section("\"Fon\" = dword:1\n"), "Fon",
                  RegistryValue::fromDWord(1)},
        ReadCase {"binary", section("\"B\"=hex:01,02,ff\n"), "B",
                  RegistryValue::fromBinary(QByteArray("\x01\x02\xff"))},
        ReadCase {"binary continued",
                  section("\"B\"=hex:01,02,\\\n  03,\\\r\n  04\n\"C\"=dword:1\n"), "B",
                  RegistryValue::fromBinary(QByteArray("\x01\x02\x03\x04"))},
        ReadCase {"empty binary", section("\"B\"=hex:\n"), "B", RegistryValue::fromBinary({})},
        ReadCase {"expandable string", section("\"E\"=hex(2):41,00,00,00\n"), "E",
                  bytesOf(2, QByteArray("A\0\0\0", 4))},
        ReadCase {"64-bit number", section("\"Q\"=hex(b):01,00,00,00,00,00,00,00\n"), "Q",
                  bytesOf(11, QByteArray("\x01\0\0\0\0\0\0\0", 8))},
        ReadCase {"older format lists strings in the code page",
                  "REGEDIT4\n\n[" + K + "]\n\"E\"=hex(2):e4,00\n", "E",
                  bytesOf(2, QByteArray("\xe4\0\0\0", 4))},
        ReadCase {"key name in other case",
                  Header + "[hkey_current_user\\SOFTWARE\\vemoral\\YEARMARK]\n\"Fon\"=dword:2\n",
                  "Fon", RegistryValue::fromDWord(2)},
        ReadCase {"value name in other case", section("\"label\"=\"x\"\n"), "LABEL",
                  RegistryValue::fromString("x")},
        ReadCase {"default value", section("@=\"d\"\n"), "", RegistryValue::fromString("d")},
        ReadCase {"comments and blank lines",
                  section("; note\n\n  ; indented\n\"Fon\"=dword:3 ; trailing\n"), "Fon",
                  RegistryValue::fromDWord(3)},
        ReadCase {"other keys before and after",
                  Header + other + "[" + K + "]\n\"Label\"=\"mine\"\n\n" + other, "Label",
                  RegistryValue::fromString("mine")},
        ReadCase {"a value of another key only", Header + other, "Label", std::nullopt},
        ReadCase {"a later section wins",
                  section("\"Fon\"=dword:1\n\n[" + K + "]\n\"Fon\"=dword:2\n"), "Fon",
                  RegistryValue::fromDWord(2)},
        ReadCase {"value removed", section("\"Label\"=\"a\"\n\"Label\"=-\n"), "Label",
                  std::nullopt},
        ReadCase {"key removed after", section("\"Label\"=\"a\"\n\n[-" + K + "]\n"), "Label",
                  std::nullopt},
        ReadCase {"parent removed after",
                  section("\"Label\"=\"a\"\n\n[-HKEY_CURRENT_USER\\Software\\Vemoral]\n"), "Label",
                  std::nullopt},
        ReadCase {"removed and made again",
                  Header + "[-" + K + "]\n\n[" + K + "]\n\"Label\"=\"b\"\n", "Label",
                  RegistryValue::fromString("b")},
        ReadCase {"a key with a longer name removed", section("\"Label\"=\"a\"\n\n[-" + K + "2]\n"),
                  "Label", RegistryValue::fromString("a")},
        ReadCase {"values under a removal are not read", Header + "[-" + K + "]\n\"Label\"=\"a\"\n",
                  "Label", std::nullopt}));

struct EncodingCase {
    const char* what;
    QByteArray bytes;
};
void PrintTo(const EncodingCase& c, std::ostream* os) { *os << c.what; }

const QString sample =
    QStringLiteral("[%1]\n\"Label\"=\"Grüße €\r\nzwei\"\n\"Fon\"=hex(2):41,00,00,00\n").arg(K);

class ReadsEveryEncoding : public testing::TestWithParam<EncodingCase> { };

TEST_P(ReadsEveryEncoding, SameValues)
{
    const RegistryFile file = RegistryFile::fromBytes(GetParam().bytes);
    EXPECT_EQ(file.value(K, "Label"), RegistryValue::fromString("Grüße €\r\nzwei"))
        << GetParam().what;
    EXPECT_EQ(file.unparsedTail(), QString()) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadsEveryEncoding,
    testing::Values(
        EncodingCase {"UTF-8", (Header + sample).toUtf8()},
        EncodingCase {"UTF-8 with mark", testdata::utf8WithBom(Header + sample)},
        EncodingCase {"UTF-16LE with mark and CR LF", testdata::utf16LeWithBom(Header + sample)},
        EncodingCase {"older header in Windows-1252",
                      testdata::windows1252("REGEDIT4\n\n" + sample)},
        EncodingCase {"older header written in UTF-8", ("REGEDIT4\n\n" + sample).toUtf8()},
        EncodingCase {"newer header saved in Windows-1252",
                      testdata::windows1252(Header + sample)}));

TEST(RegFileDecoder, Windows1252AgreesWithQtsConverter)
{
    QStringDecoder reference("windows-1252");
    for (int b = 0x20; b <= 0xFF; ++b) {
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D)
            continue; // unassigned in the code page
        const QByteArray byte(1, char(b));
        EXPECT_EQ(RegFileDecoder::decodeWindows1252(byte), reference.decode(byte)) << b;
    }
}

struct BrokenCase {
    const char* what;
    QString text;
    QString brokenLine; // where reading stops
    bool readsA;
};
void PrintTo(const BrokenCase& c, std::ostream* os) { *os << c.what; }

class ReadsUpToTheFirstBrokenLine : public testing::TestWithParam<BrokenCase> { };

TEST_P(ReadsUpToTheFirstBrokenLine, KeepsTheRestAsComments)
{
    const auto& c = GetParam();
    const RegistryFile file = RegistryFile::fromText(c.text);
    EXPECT_EQ(file.value(K, "A"),
              c.readsA ? std::optional(RegistryValue::fromDWord(1)) : std::nullopt)
        << c.what;
    EXPECT_EQ(file.value(K, "B"), std::nullopt) << c.what;
    EXPECT_TRUE(file.unparsedTail().startsWith(c.brokenLine)) << c.what;

    // Written back, the unread rest is still there but cannot come to override anything.
    RegistryFile changed = RegistryFile::fromText(c.text);
    changed.setValue(K, "C", RegistryValue::fromDWord(3));
    const QString written = changed.toText();
    EXPECT_TRUE(written.contains(";" + c.brokenLine)) << c.what;
    const RegistryFile again = RegistryFile::fromText(written);
    EXPECT_EQ(again.value(K, "A"), file.value(K, "A")) << c.what;
    EXPECT_EQ(again.value(K, "B"), std::nullopt) << c.what;
    EXPECT_EQ(again.value(K, "C"), RegistryValue::fromDWord(3)) << c.what;
    EXPECT_EQ(RegistryFile::fromText(written).toText(), written) << c.what;
}

const QString valueA = section("\"A\"=dword:1\n");

INSTANTIATE_TEST_SUITE_P(
    Table, ReadsUpToTheFirstBrokenLine,
    testing::Values(
        BrokenCase {"garbage", valueA + "this is garbage\n\"B\"=dword:2\n", "this is garbage",
                    true},
        BrokenCase {"string without its end", valueA + "\"B\"=\"unterminated\n\"C\"=dword:1\n",
                    "\"B\"=", true},
        BrokenCase {"name without its end", valueA + "\"B=dword:2\n", "\"B=", true},
        BrokenCase {"dword without digits", valueA + "\"B\"=dword:\n", "\"B\"=dword:", true},
        BrokenCase {"dword of nine digits", valueA + "\"B\"=dword:000000001\n", "\"B\"=dword:0",
                    true},
        BrokenCase {"not a hex digit", valueA + "\"B\"=hex:0g\n", "\"B\"=hex:0g", true},
        BrokenCase {"three-digit byte", valueA + "\"B\"=hex:123\n", "\"B\"=hex:123", true},
        BrokenCase {"unknown type", valueA + "\"B\"=qword:1\n", "\"B\"=qword", true},
        BrokenCase {"text after a value", valueA + "\"B\"=dword:2 x\n", "\"B\"=dword:2 x", true},
        BrokenCase {"key line without bracket", valueA + "[HKCU\\B\n\"B\"=dword:2\n", "[HKCU",
                    true},
        BrokenCase {"no header", "[" + K + "]\n\"A\"=dword:1\n\"B\"=dword:2\n", "[" + K + "]",
                    false},
        BrokenCase {"value before any key", Header + "\"A\"=dword:1\n", "\"A\"=dword:1", false}));

TEST(RegistryFile, NeverFailsOnAnyPrefixOfAFile)
{
    const QString text =
        section("; c\n\"A\"=dword:1\n\"L\"=\"x\ny\"\n\"B\"=hex:01,\\\n  02\n\n[-" + K + "\\Sub]\n");
    for (qsizetype n = 0; n <= text.size(); ++n) {
        const RegistryFile file = RegistryFile::fromText(text.left(n));
        const RegistryFile again = RegistryFile::fromBytes(file.toBytes());
        for (const char* name : {"A", "L", "B"})
            EXPECT_EQ(again.value(K, name), file.value(K, name)) << n << name;
    }
}

TEST(RegistryFile, NeverFailsOnRandomBytes)
{
    std::mt19937 random(20261207);
    const QByteArray alphabet("[]\"\\=:,-;@ \r\n0123456789abcdefhexdword()");
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = round % 2 ? Header.toUtf8() + "[" + K.toUtf8() + "]\n" : QByteArray();
        const int size = int(random() % 600);
        for (int i = 0; i < size; ++i)
            bytes += round % 3 ? alphabet[random() % alphabet.size()] : char(random());
        const RegistryFile file = RegistryFile::fromBytes(bytes);
        const RegistryFile again = RegistryFile::fromBytes(file.toBytes());
        EXPECT_EQ(again.value(K, "A"), file.value(K, "A")) << round;
    }
}

TEST(RegistryFile, WritesTheRegistryExportFormat)
{
    RegistryFile file;
    file.setValue(K, "Label", RegistryValue::fromString("a \"b\" c:\\d\r\nzwei"));
    file.setValue(K, "Fon", RegistryValue::fromDWord(10));
    file.setValue(K, "SelectDate", RegistryValue::fromBinary(QByteArray("\x01\xff")));
    EXPECT_EQ(file.toText(), Header + "[" + K +
                                 "]\n"
                                 "\"Label\"=\"a \\\"b\\\" c:\\\\d\r\nzwei\"\n"
                                 "\"Fon\"=dword:0000000a\n"
                                 "\"SelectDate\"=hex:01,ff\n");
}

class WritesBackExactly : public testing::TestWithParam<RegistryValue> { };

TEST_P(WritesBackExactly, AnyValue)
{
    RegistryFile file;
    file.setValue(K, "V", GetParam());
    const QString text = file.toText();
    for (const QString& line : text.split(u'\n'))
        EXPECT_LE(line.size(), 80);
    EXPECT_EQ(RegistryFile::fromBytes(file.toBytes()).value(K, "V"), GetParam())
        << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, WritesBackExactly,
    testing::Values(
        RegistryValue::fromString(""),
        RegistryValue::fromString("Bis zum Jahr %Y\r\nÄrger? Größe! ß \"zitiert\" C:\\pfad\\"),
        RegistryValue::fromString("lone\nline feed"),
        RegistryValue::fromString("lone\rcarriage return"),
        RegistryValue::fromString(QString("before") + QChar(0) + "after"),
        RegistryValue::fromString(QString(QChar(0xD800)) + "half a surrogate"),
        bytesOf(RegistryValue::String, QByteArray("a\0", 2)), RegistryValue::fromDWord(0),
        RegistryValue::fromDWord(0xFFFFFFFF), RegistryValue::fromBinary({}),
        RegistryValue::fromBinary(QByteArray(100, '\x5a')),
        bytesOf(RegistryValue::DWord, QByteArray("\x01\x02", 2)),
        bytesOf(RegistryValue::ExpandString, QByteArray("%\0X\0%\0\0\0", 8)),
        bytesOf(RegistryValue::MultiString, QByteArray("a\0\0\0b\0\0\0\0\0", 10)),
        bytesOf(0xFFFF0001u, QByteArray("\x7f", 1))));

TEST(RegistryFile, WritingKeepsOtherKeysValuesAndComments)
{
    const QString text = Header + "; exported by hand\n" + other + "[" + K +
                         "]\n; my note\n\"Unknown\"=dword:7\n"
                         "\"Label\"=\"old\"\n\n[" +
                         K + "\\Sub]\n\"S\"=\"s\"\n";
    RegistryFile file = RegistryFile::fromText(text);
    file.setValue(K, "label", RegistryValue::fromString("new"));
    file.setValue(K, "Fon", RegistryValue::fromDWord(5));

    const QString written = file.toText();
    const RegistryFile again = RegistryFile::fromText(written);
    EXPECT_EQ(again.value(K, "Label"), RegistryValue::fromString("new"));
    EXPECT_EQ(again.value(K, "Fon"), RegistryValue::fromDWord(5));
    EXPECT_EQ(again.value(K, "Unknown"), RegistryValue::fromDWord(7));
    EXPECT_EQ(again.value(K + "\\Sub", "S"), RegistryValue::fromString("s"));
    EXPECT_EQ(again.value("HKEY_CURRENT_USER\\Software\\Other", "Label"),
              RegistryValue::fromString("theirs"));
    EXPECT_TRUE(written.contains("; exported by hand\n"));
    EXPECT_TRUE(written.contains("; my note\n"));
    EXPECT_TRUE(written.contains("\"Unknown\"=dword:7\n")); // unchanged values keep their spelling
    EXPECT_TRUE(written.indexOf("\"Fon\"") < written.indexOf("[" + K + "\\Sub]"));
}

TEST(RegistryFile, WritingFoldsRepeatedSectionsIntoOne)
{
    RegistryFile file = RegistryFile::fromText(
        section("\"A\"=dword:1\n\"X\"=dword:1\n\n[" + K + "]\n\"X\"=-\n\"B\"=dword:2\n"));
    file.setValue(K, "C", RegistryValue::fromDWord(3));
    const QString written = file.toText();
    EXPECT_EQ(written.count("[" + K + "]"), 1);
    const RegistryFile again = RegistryFile::fromText(written);
    EXPECT_EQ(again.value(K, "A"), RegistryValue::fromDWord(1));
    EXPECT_EQ(again.value(K, "B"), RegistryValue::fromDWord(2));
    EXPECT_EQ(again.value(K, "C"), RegistryValue::fromDWord(3));
    EXPECT_EQ(again.value(K, "X"), std::nullopt);
}

TEST(RegistryFile, WritingAfterARemovalLandsWhereItIsRead)
{
    RegistryFile file = RegistryFile::fromText(
        section("\"A\"=dword:1\n\n[-HKEY_CURRENT_USER\\Software\\Vemoral]\n"));
    EXPECT_FALSE(file.keyExists(K));
    file.setValue(K, "B", RegistryValue::fromDWord(2));
    const RegistryFile again = RegistryFile::fromText(file.toText());
    EXPECT_TRUE(again.keyExists(K));
    EXPECT_EQ(again.value(K, "A"), std::nullopt);
    EXPECT_EQ(again.value(K, "B"), RegistryValue::fromDWord(2));
}

TEST(RegistryFile, AKeyBelowBringsItsParentIntoBeing)
{
    const RegistryFile file = RegistryFile::fromText(Header + "[" + K + "\\Sub]\n");
    EXPECT_TRUE(file.keyExists(K));
    EXPECT_FALSE(file.keyExists(K + "\\Other"));
}

} // namespace
