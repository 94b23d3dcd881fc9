#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "settings/ESettingsError.h"
#include "settings/RegistryKey.h"
#include "settings_support.h"

namespace {

const QString Path = QStringLiteral("\\Software\\Vemoral\\yearmark");
const QString Header = QStringLiteral(
    "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Vemoral\\yearmark]\n");

class RegistryKeyTest : public testing::Test {
protected:
    QTemporaryDir dir;
    QString file = dir.filePath("Vemoral/yearmark.reg");

    void writeKey(const QString& body)
    {
        QDir().mkpath(dir.filePath("Vemoral"));
        testdata::writeFile(file, (Header + body).toUtf8());
    }
};

enum class As { String, Integer, Bool, Float };

struct TypeCase {
    const char* what;
    QString line;
    As as;
    QString expected; // the value read, or the error's message
};
void PrintTo(const TypeCase& c, std::ostream* os) { *os << c.what; }

class ReadsByTheRegistrysTypeRules : public RegistryKeyTest,
                                     public testing::WithParamInterface<TypeCase> { };

TEST_P(ReadsByTheRegistrysTypeRules, Value)
{
    const auto& c = GetParam();
    writeKey(c.line + "\n");
    RegistryKey reg(file);
    ASSERT_TRUE(reg.openKey(Path, false));
    QString got;
    try {
        switch (c.as) {
        case As::String:
            got = reg.readString("V");
            break;
        case As::Integer:
            got = QString::number(reg.readInteger("V"));
            break;
        case As::Bool:
            got = reg.readBool("V") ? "true" : "false";
            break;
        case As::Float:
            got = QString::number(reg.readFloat("V"), 'g', 17);
            break;
        }
    } catch (const ESettingsError& e) {
        got = e.what();
    }
    EXPECT_EQ(got, c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadsByTheRegistrysTypeRules,
    testing::Values(
        TypeCase {"string", R"("V"="text")", As::String, "text"},
        TypeCase {"expandable string is not expanded", R"("V"=hex(2):25,00,58,00,25,00,00,00)",
                  As::String, "%X%"},
        TypeCase {"string ends at the first NUL", R"("V"=hex(1):61,00,00,00,62,00,00,00)",
                  As::String, "a"},
        TypeCase {"string without NUL", R"("V"=hex(1):61,00,62)", As::String, "a"},
        TypeCase {"missing string is empty", R"("W"="x")", As::String, ""},
        TypeCase {"number as string", R"("V"=dword:00000001)", As::String,
                  "Invalid data type for 'V'"},
        TypeCase {"integer", R"("V"=dword:ffffffff)", As::Integer, "-1"},
        TypeCase {"integer stored as string", R"("V"="5")", As::Integer,
                  "Invalid data type for 'V'"},
        TypeCase {"integer of two bytes", R"("V"=hex(4):01,00)", As::Integer,
                  "Failed to get data for 'V'"},
        TypeCase {"big-endian integer", R"("V"=hex(5):00,00,00,01)", As::Integer,
                  "Invalid data type for 'V'"},
        TypeCase {"64-bit integer", R"("V"=hex(b):01,00,00,00,00,00,00,00)", As::Integer,
                  "Invalid data type for 'V'"},
        TypeCase {"missing integer", R"("W"=dword:1)", As::Integer, "Failed to get data for 'V'"},
        TypeCase {"any non-zero is true", R"("V"=dword:00000002)", As::Bool, "true"},
        TypeCase {"zero is false", R"("V"=dword:00000000)", As::Bool, "false"},
        TypeCase {"boolean stored as string", R"("V"="1")", As::Bool, "Invalid data type for 'V'"},
        TypeCase {"float", "\"V\"=" + testdata::hexOfDouble(46387.75), As::Float, "46387.75"},
        TypeCase {"float of four bytes", R"("V"=hex:00,00,00,00)", As::Float,
                  "Failed to get data for 'V'"},
        TypeCase {"float of nine bytes", R"("V"=hex:00,00,00,00,00,00,00,00,00)", As::Float,
                  "Failed to get data for 'V'"},
        TypeCase {"float as integer", R"("V"=dword:00000001)", As::Float,
                  "Invalid data type for 'V'"},
        TypeCase {"float as 64-bit value", R"("V"=hex(b):00,00,00,00,00,00,f0,3f)", As::Float,
                  "Invalid data type for 'V'"},
        TypeCase {"missing float", R"("W"=dword:1)", As::Float, "Failed to get data for 'V'"}));

TEST_F(RegistryKeyTest, FirstRunOpensNothingAndWritesNothing)
{
    RegistryKey reg(file);
    EXPECT_FALSE(reg.openKey(Path, false));
    reg.closeKey();
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(RegistryKeyTest, ChangesReachTheFileWhenTheKeyIsClosed)
{
    writeKey("\"Fon\"=dword:00000001\n");
    RegistryKey reg(file);
    ASSERT_TRUE(reg.openKey(Path, true));
    reg.writeInteger("Fon", 2);
    reg.writeString("Label", "neu");
    RegistryKey meanwhile(file);
    ASSERT_TRUE(meanwhile.openKey(Path, false));
    EXPECT_EQ(meanwhile.readInteger("Fon"), 1);
    reg.closeKey();

    RegistryKey after(file);
    ASSERT_TRUE(after.openKey(Path, false));
    EXPECT_EQ(after.readInteger("Fon"), 2);
    EXPECT_EQ(after.readString("Label"), "neu");
}

TEST_F(RegistryKeyTest, RelativePathsOpenBelowTheOpenKey)
{
    RegistryKey reg(file);
    ASSERT_TRUE(reg.openKey("Software", true));
    ASSERT_TRUE(reg.openKey("Vemoral\\yearmark", true));
    EXPECT_EQ(reg.currentKey(), "HKEY_CURRENT_USER\\Software\\Vemoral\\yearmark");
    reg.writeBool("Shadow", true);
    reg.closeKey();
    RegistryKey again(file);
    ASSERT_TRUE(again.openKey(Path, false));
    EXPECT_TRUE(again.readBool("Shadow"));
}

TEST_F(RegistryKeyTest, SavingOntoAFullDiskKeepsTheOldFile)
{
    writeKey("\"Label\"=\"alt\"\n");
    const QByteArray old = testdata::readFile(file);
    // A file size limit makes every write beyond it fail, as a full disk would.
    rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 512;
    setrlimit(RLIMIT_FSIZE, &small);

    RegistryKey reg(file);
    ASSERT_TRUE(reg.openKey(Path, true));
    reg.writeString("Label", QString(2000, 'x'));
    EXPECT_THROW(reg.closeKey(), ESettingsError);

    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(testdata::readFile(file), old);
    EXPECT_EQ(QDir(QFileInfo(file).path()).entryList(QDir::Files), QStringList {"yearmark.reg"});
}

TEST_F(RegistryKeyTest, AFileThatWouldGrowTooLargeToReadIsNotWritten)
{
    writeKey("\"Fon\"=dword:1\n; " + QString(1024 * 1024 - 200, 'x') + "\n");
    const QByteArray old = testdata::readFile(file);
    RegistryKey reg(file);
    ASSERT_TRUE(reg.openKey(Path, true));
    reg.writeString("Label", QString(300, 'y'));
    EXPECT_THROW(reg.closeKey(), ESettingsError);
    EXPECT_EQ(testdata::readFile(file), old);
}

struct Unreadable {
    const char* what;
    std::function<void(const QString& file)> prepare;
};
void PrintTo(const Unreadable& c, std::ostream* os) { *os << c.what; }

class ReadingWhatIsNoSettingsFile : public RegistryKeyTest,
                                    public testing::WithParamInterface<Unreadable> { };

TEST_P(ReadingWhatIsNoSettingsFile, OpensNothing)
{
    QDir().mkpath(dir.filePath("Vemoral"));
    GetParam().prepare(file);
    RegistryKey reg(file);
    EXPECT_FALSE(reg.openKey(Path, false)) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadingWhatIsNoSettingsFile,
    testing::Values(
        Unreadable {"a named pipe nobody writes to",
                    [](const QString& f) { mkfifo(QFile::encodeName(f).constData(), 0600); }},
        Unreadable {"an endless device", [](const QString& f) { QFile::link("/dev/zero", f); }},
        Unreadable {"a folder", [](const QString& f) { QDir().mkpath(f); }},
        Unreadable {
            "a file over 1 MiB with the key in it", [](const QString& f) {
                testdata::writeFile(
                    f,
                    (Header + "\"Fon\"=dword:1\n; " + QString(1024 * 1024, 'x') + "\n").toUtf8());
            }}));

TEST_F(RegistryKeyTest, AFileOfExactly1MiBIsRead)
{
    QDir().mkpath(dir.filePath("Vemoral"));
    const QByteArray start = (Header + "\"Fon\"=dword:00000001\n; ").toUtf8();
    testdata::writeFile(
        file,
        QByteArray(start).append(QByteArray(1024 * 1024 - start.size() - 1, 'x')).append('\n'));
    ASSERT_EQ(QFileInfo(file).size(), 1024 * 1024);
    RegistryKey reg(file);
    ASSERT_TRUE(reg.openKey(Path, false));
    EXPECT_EQ(reg.readInteger("Fon"), 1);
}

TEST_F(RegistryKeyTest, AnOversizedFileIsKeptBesideTheNewOne)
{
    QDir().mkpath(dir.filePath("Vemoral"));
    const QByteArray huge = (Header + "; " + QString(2 * 1024 * 1024, 'x') + "\n").toUtf8();
    testdata::writeFile(file, huge);
    RegistryKey reg(file);
    ASSERT_TRUE(reg.openKey(Path, true));
    reg.writeInteger("Fon", 7);
    reg.closeKey();

    EXPECT_EQ(QCryptographicHash::hash(testdata::readFile(file + ".bak"), QCryptographicHash::Sha1),
              QCryptographicHash::hash(huge, QCryptographicHash::Sha1));
    RegistryKey again(file);
    ASSERT_TRUE(again.openKey(Path, false));
    EXPECT_EQ(again.readInteger("Fon"), 7);
}

} // namespace

// The file is read whole whatever its size up to the limit, and not at all beyond it.
TEST(RegFileStorageRead, ReadsEveryByteUpToTheLimit)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("key.reg");
    for (const qint64 size : {qint64(0), qint64(1), qint64(70001), RegFileStorage::kMaxBytes}) {
        QByteArray bytes(size, '\0');
        for (qint64 i = 0; i < size; ++i)
            bytes[i] = char('a' + i % 26);
        testdata::writeFile(file, bytes);
        const RegFileStorage::Contents read = RegFileStorage::read(file);
        EXPECT_EQ(read.state, RegFileStorage::State::Read) << size;
        EXPECT_EQ(read.bytes, bytes) << size;
    }
    testdata::writeFile(file, QByteArray(RegFileStorage::kMaxBytes + 1, 'x'));
    EXPECT_EQ(RegFileStorage::read(file).state, RegFileStorage::State::TooLarge);
}
