#include <cmath>
#include <functional>
#include <limits>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include "settings/Settings.h"

#include "settings_support.h"
#include <pwd.h>
#include <unistd.h>

namespace {

const QString Key = settingsKeyPath("yearmark");

// The thirteen values in their order, each different from its default.
const std::vector<std::pair<QString, QString>> stored = {
    {"Label", "\"Neu\""},
    {"Stretch", "dword:00000003"},
    {"Fon", "dword:00808000"},
    {"Font", "\"Courier\""},
    {"FontC", "dword:000000ff"},
    {"FontB", "dword:00000000"},
    {"FontI", "dword:00000001"},
    {"FontU", "dword:00000001"},
    {"FontS", "dword:00000001"},
    {"FontT", "dword:000000ee"},
    {"IfSelectDate", "dword:00000001"},
    {"SelectDate", testdata::hexOfDouble(46387.5)},
    {"Shadow", "dword:00000001"},
};

// What loading gives when the first n values are read and the rest are not.
Settings readUpTo(size_t n)
{
    Settings s;
    if (n > 0)
        s.titleTemplate = "Neu";
    if (n > 1)
        s.pictureAlignment = 3;
    if (n > 2)
        s.backgroundColor = 0x00808000;
    if (n > 3)
        s.titleFontName = "Courier";
    if (n > 4) {
        s.titleColor = 0xff;
        s.titleBold = s.titleItalic = s.titleUnderline = s.titleStrikeOut =
            false; // cleared before the styles are read
    }
    if (n > 6)
        s.titleItalic = true;
    if (n > 7)
        s.titleUnderline = true;
    if (n > 8)
        s.titleStrikeOut = true;
    if (n > 9)
        s.titleCharset = 0xee;
    if (n > 10)
        s.usePickedDate = true;
    if (n > 11)
        s.pickedDate = 46387.5;
    if (n > 12)
        s.shadow = true;
    return s;
}

class SettingsTest : public testing::Test {
protected:
    QTemporaryDir dir;
    QString file = dir.filePath("Vemoral/yearmark.reg");

    // The stored values with some replaced ("" drops the value).
    void store(const std::map<QString, QString>& changes = {})
    {
        QString text =
            QStringLiteral("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER%1]\n")
                .arg(Key);
        for (const auto& [name, data] : stored) {
            const auto change = changes.find(name);
            const QString value = change == changes.end() ? data : change->second;
            if (!value.isEmpty())
                text += "\"" + name + "\"=" + value + "\n";
        }
        QDir().mkpath(dir.filePath("Vemoral"));
        testdata::writeFile(file, text.toUtf8());
    }
    Settings load()
    {
        Settings s;
        s.pickedDate = 12345; // loading must start from "not set"
        loadSettings(file, Key, s);
        return s;
    }
};

void expectSame(const Settings& got, const Settings& want, const char* what)
{
    EXPECT_EQ(got.titleTemplate, want.titleTemplate) << what;
    EXPECT_EQ(got.pictureAlignment, want.pictureAlignment) << what;
    EXPECT_EQ(got.backgroundColor, want.backgroundColor) << what;
    EXPECT_EQ(got.titleFontName, want.titleFontName) << what;
    EXPECT_EQ(got.titleColor, want.titleColor) << what;
    EXPECT_EQ(
        (std::array {got.titleBold, got.titleItalic, got.titleUnderline, got.titleStrikeOut}),
        (std::array {want.titleBold, want.titleItalic, want.titleUnderline, want.titleStrikeOut}))
        << what;
    EXPECT_EQ(got.titleCharset, want.titleCharset) << what;
    EXPECT_EQ(got.usePickedDate, want.usePickedDate) << what;
    EXPECT_EQ(got.pickedDate, want.pickedDate) << what;
    EXPECT_EQ(got.shadow, want.shadow) << what;
}

struct LoadCase {
    const char* what;
    std::map<QString, QString> changes;
    std::function<Settings()> expected;
};
void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.what; }

class LoadingStopsAtTheFirstValueThatCannotBeRead : public SettingsTest,
                                                    public testing::WithParamInterface<LoadCase> {
};

TEST_P(LoadingStopsAtTheFirstValueThatCannotBeRead, Values)
{
    store(GetParam().changes);
    expectSame(load(), GetParam().expected(), GetParam().what);
}

QString dateBytes(double value) { return testdata::hexOfDouble(value); }

Settings with(size_t n, const std::function<void(Settings&)>& change)
{
    Settings s = readUpTo(n);
    change(s);
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Table, LoadingStopsAtTheFirstValueThatCannotBeRead,
    testing::Values(
        LoadCase {"every value read", {}, [] { return readUpTo(13); }},
        LoadCase {"Stretch stored as a string", {{"Stretch", "\"2\""}}, [] { return readUpTo(1); }},
        LoadCase {"Stretch missing", {{"Stretch", ""}}, [] { return readUpTo(1); }},
        LoadCase {
            "Label of another type", {{"Label", "dword:00000001"}}, [] { return readUpTo(0); }},
        LoadCase {"SelectDate of four bytes",
                  {{"SelectDate", "hex:00,00,00,00"}},
                  [] { return readUpTo(11); }},
        LoadCase {"values only up to FontC leave no style",
                  {{"FontB", ""},
                   {"FontI", ""},
                   {"FontU", ""},
                   {"FontS", ""},
                   {"FontT", ""},
                   {"IfSelectDate", ""},
                   {"SelectDate", ""},
                   {"Shadow", ""}},
                  [] { return readUpTo(5); }},
        LoadCase {"missing Label and Font read on",
                  {{"Label", ""}, {"Font", ""}},
                  [] {
                      return with(13, [](Settings& s) {
                          s.titleTemplate = kDefaultTemplate;
                          s.titleFontName = "Arial";
                      });
                  }},
        LoadCase {"empty Label keeps the built-in template",
                  {{"Label", "\"\""}},
                  [] { return with(13, [](Settings& s) { s.titleTemplate = kDefaultTemplate; }); }},
        LoadCase {"empty Font keeps the typeface",
                  {{"Font", "\"\""}},
                  [] { return with(13, [](Settings& s) { s.titleFontName = "Arial"; }); }},
        LoadCase {"Label as expandable string",
                  {{"Label", "hex(2):25,00,59,00,00,00"}},
                  [] { return with(13, [](Settings& s) { s.titleTemplate = "%Y"; }); }},
        LoadCase {"any non-zero boolean is true",
                  {{"FontB", "dword:00000002"}},
                  [] { return with(13, [](Settings& s) { s.titleBold = true; }); }},
        LoadCase {"character set keeps its low byte",
                  {{"FontT", "dword:00000123"}},
                  [] { return with(13, [](Settings& s) { s.titleCharset = 0x23; }); }},
        LoadCase {"picked date not a number",
                  {{"SelectDate", dateBytes(std::nan(""))}},
                  [] { return readUpTo(11); }},
        LoadCase {"picked date infinite",
                  {{"SelectDate", dateBytes(std::numeric_limits<double>::infinity())}},
                  [] { return readUpTo(11); }},
        LoadCase {"picked date minus infinite",
                  {{"SelectDate", dateBytes(-std::numeric_limits<double>::infinity())}},
                  [] { return readUpTo(11); }},
        LoadCase {"picked date in the year 10000",
                  {{"SelectDate", dateBytes(2958466.0)}},
                  [] { return readUpTo(11); }},
        LoadCase {"picked date in the year 99",
                  {{"SelectDate", dateBytes(-657435.0)}},
                  [] { return readUpTo(11); }},
        LoadCase {"picked date on 1 January 100",
                  {{"SelectDate", dateBytes(-657434.5)}},
                  [] { return with(13, [](Settings& s) { s.pickedDate = -657434.5; }); }},
        LoadCase {"picked date at the end of 9999", {{"SelectDate", dateBytes(2958465.999)}}, [] {
                      return with(13, [](Settings& s) { s.pickedDate = 2958465.999; });
                  }}));

TEST_F(SettingsTest, FirstRunKeepsDefaultsAndTheFirstExitWritesAllThirteen)
{
    expectSame(load(), Settings {}, "first run");
    saveSettings(file, Key, Settings {});

    const QString text = QString::fromUtf8(testdata::readFile(file));
    EXPECT_TRUE(text.startsWith("Windows Registry Editor Version 5.00\n\n"
                                "[HKEY_CURRENT_USER\\Software\\Vemoral\\yearmark]\n"
                                "\"Label\"=\"Bis zum Jahr %Y sind es noch:\r\n%T Tage(n)"));
    QStringList names;
    for (const auto& match :
         QRegularExpression("^\"(\\w+)\"=", QRegularExpression::MultilineOption).globalMatch(text))
        names << match.captured(1);
    QStringList expected;
    for (const auto& [name, data] : stored)
        expected << name;
    EXPECT_EQ(names, expected);
    EXPECT_TRUE(text.contains("\"FontC\"=dword:00ffffff\n"));
    EXPECT_TRUE(text.contains("\"SelectDate\"=hex:00,00,00,00,00,00,00,00\n"));
    expectSame(load(), Settings {}, "after the first exit");
}

TEST_F(SettingsTest, EveryValueRoundTrips)
{
    Settings s;
    s.titleTemplate =
        "Nur noch %T Tage bis zur Übergabe\r\nÄrger? Größe! ß \"zitiert\" C:\\pfad\\\r\n\r\n€ %Y";
    s.pictureAlignment = 4;
    s.backgroundColor = 0x00808000;
    s.titleFontName = "DejaVu Sans Mono";
    s.titleColor = 0xFF00000F;
    s.titleBold = false;
    s.titleItalic = s.titleUnderline = s.titleStrikeOut = true;
    s.titleCharset = 238;
    s.usePickedDate = true;
    s.pickedDate = 46387.756944444445;
    s.shadow = true;
    saveSettings(file, Key, s);
    expectSame(load(), s, "round trip");
}

TEST_F(SettingsTest, ALongTypefaceIsKeptWhole)
{
    Settings s;
    s.titleFontName = QString("Eine Schrift mit vierzig Zeichen im Name").left(40);
    ASSERT_EQ(s.titleFontName.size(), 40);
    saveSettings(file, Key, s);
    Settings loaded = load();
    EXPECT_EQ(loaded.titleFontName, s.titleFontName);
    saveSettings(file, Key, loaded);
    EXPECT_EQ(load().titleFontName, s.titleFontName);
}

TEST_F(SettingsTest, ALoneLineFeedInAHandWrittenTemplateReadsAsCrLf)
{
    store({{"Label", "\"erste Zeile\nzweite Zeile\""}});
    EXPECT_EQ(load().titleTemplate, "erste Zeile\r\nzweite Zeile");
}

TEST_F(SettingsTest, AnExportFromWindowsIsRead)
{
    QString text = "Windows Registry Editor Version "
                   "5.00\n\n[HKEY_CURRENT_USER\\Software\\Other]\n\"Label\"=\"fremd\"\n\n"
                   "[HKEY_CURRENT_USER\\SOFTWARE\\Vemoral\\YearMark]\n";
    for (const auto& [name, data] : stored)
        text += "\"" + name + "\"=" + data + "\n";
    QDir().mkpath(dir.filePath("Vemoral"));
    testdata::writeFile(file, testdata::utf16LeWithBom(text));
    expectSame(load(), readUpTo(13), "UTF-16 export");
}

TEST_F(SettingsTest, AnotherExecutableNameHasItsOwnFileAndKey)
{
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    const QString mine = settingsFilePath("yearmark");
    const QString copy = settingsFilePath("countdown-copy");
    EXPECT_NE(mine, copy);
    Settings s;
    s.pictureAlignment = 2;
    saveSettings(mine, settingsKeyPath("yearmark"), s);

    Settings fresh;
    loadSettings(copy, settingsKeyPath("countdown-copy"), fresh);
    expectSame(fresh, Settings {}, "other name");
    saveSettings(copy, settingsKeyPath("countdown-copy"), fresh);
    EXPECT_TRUE(testdata::readFile(copy).contains(
        "[HKEY_CURRENT_USER\\Software\\Vemoral\\countdown-copy]\n"));
    // Even in one file, the other name's key is a key of its own.
    Settings stillMine;
    loadSettings(mine, settingsKeyPath("yearmark"), stillMine);
    EXPECT_EQ(stillMine.pictureAlignment, 2);
    loadSettings(mine, settingsKeyPath("countdown-copy"), fresh);
    EXPECT_EQ(fresh.pictureAlignment, 0);
}

struct PathCase {
    const char* what;
    const char* xdg; // nullptr: unset
    QString expected;
    const char* home = "/home/anna"; // nullptr: unset
};
void PrintTo(const PathCase& c, std::ostream* os) { *os << c.what; }

QString accountHome() { return QFile::decodeName(getpwuid(getuid())->pw_dir); }

class SettingsFilePath : public testing::TestWithParam<PathCase> { };

TEST_P(SettingsFilePath, FollowsTheBaseDirectoryRules)
{
    const QByteArray home = qgetenv("HOME");
    if (GetParam().home)
        qputenv("HOME", GetParam().home);
    else
        qunsetenv("HOME");
    if (GetParam().xdg)
        qputenv("XDG_CONFIG_HOME", GetParam().xdg);
    else
        qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(settingsFilePath("yearmark"), GetParam().expected) << GetParam().what;
    qputenv("HOME", home);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SettingsFilePath,
    testing::Values(PathCase {"set", "/cfg", "/cfg/Vemoral/yearmark.reg"},
                    PathCase {"unset", nullptr, "/home/anna/.config/Vemoral/yearmark.reg"},
                    PathCase {"empty", "", "/home/anna/.config/Vemoral/yearmark.reg"},
                    PathCase {"relative, to be ignored", "cfg",
                              "/home/anna/.config/Vemoral/yearmark.reg"},
                    PathCase {"no HOME: the account's home", nullptr,
                              accountHome() + "/.config/Vemoral/yearmark.reg", nullptr}));

TEST(SettingsKeyPath, IsUnderVemoral)
{
    EXPECT_EQ(settingsKeyPath("yearmark"), "\\Software\\Vemoral\\yearmark");
}

struct BrokenPlace {
    const char* what;
    std::function<void(const QString& file)> prepare;
};
void PrintTo(const BrokenPlace& c, std::ostream* os) { *os << c.what; }

// A full or read-only file system needs one of its own: a small RAM disk over the settings
// folder holding a file saved before, mounted in a mount namespace of this program's own so
// that it vanishes with it. False where mounting is not allowed.
bool ramDiskWithOldFile(const QString& file, bool readOnly)
{
    static const bool ownNamespace =
        ::unshare(CLONE_NEWNS) == 0 &&
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    const QByteArray folder = QFile::encodeName(QFileInfo(file).path());
    if (!ownNamespace || !QDir().mkpath(folder) ||
        ::mount("tmpfs", folder.constData(), "tmpfs", 0, "size=16k") != 0)
        return false;
    Settings old;
    old.titleTemplate = "alt";
    saveSettings(file, Key, old);
    if (readOnly)
        return ::mount(nullptr, folder.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    const int filler = ::open((folder + "/filler").constData(), O_WRONLY | O_CREAT, 0600);
    const char block[4096] {};
    while (::write(filler, block, sizeof block) > 0) { }
    ::close(filler);
    return true;
}

class SavingWhereItCannotBeDone : public SettingsTest,
                                  public testing::WithParamInterface<BrokenPlace> { };

// Tests run as root, so permissions cannot stop a write; these places stop it for anyone.
TEST_P(SavingWhereItCannotBeDone, ThrowsAndLeavesWhatWasThere)
{
    GetParam().prepare(file);
    if (IsSkipped())
        return;
    const QByteArray oldFile = testdata::readFile(file);
    const bool wasFolder = QFileInfo(file).isDir();
    const QByteArray parentBytes = testdata::readFile(QFileInfo(file).path());
    try {
        saveSettings(file, Key, Settings {});
        ADD_FAILURE() << "no error: " << GetParam().what;
    } catch (const ESettingsError& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'Label'") << GetParam().what;
    }
    EXPECT_EQ(QFileInfo(file).isDir(), wasFolder);
    EXPECT_EQ(testdata::readFile(QFileInfo(file).path()), parentBytes);
    EXPECT_EQ(testdata::readFile(file), oldFile);
    ::umount2(QFile::encodeName(QFileInfo(file).path()).constData(), MNT_DETACH);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SavingWhereItCannotBeDone,
    testing::Values(BrokenPlace {"folder is a file",
                                 [](const QString& f) {
                                     testdata::writeFile(QFileInfo(f).path(), "not a folder");
                                 }},
                    BrokenPlace {"file is a folder", [](const QString& f) { QDir().mkpath(f); }},
                    BrokenPlace {"file is a folder holding files",
                                 [](const QString& f) {
                                     QDir().mkpath(f);
                                     testdata::writeFile(f + "/inner", "x");
                                 }},
                    BrokenPlace {"full disk",
                                 [](const QString& f) {
                                     if (!ramDiskWithOldFile(f, false))
                                         GTEST_SKIP() << "mounting a RAM disk is not allowed";
                                 }},
                    BrokenPlace {"read-only folder", [](const QString& f) {
                                     if (!ramDiskWithOldFile(f, true))
                                         GTEST_SKIP() << "mounting a RAM disk is not allowed";
                                 }}));

} // namespace

// Two copies of the program share one file (one per screen): each saves what it changed since
// it last read or wrote the file, over what the other saved meanwhile.
TEST_F(SettingsTest, ACopySavesOnlyItsOwnChangesOverTheOthers)
{
    struct Case {
        const char* what;
        std::function<void(Settings&)> mine;   // this copy's changes
        std::function<void(Settings&)> theirs; // the other copy's, saved meanwhile
        std::function<void(Settings&)> expected;
    };
    const auto none = [](Settings&) {};
    const Case cases[] = {
        {"nothing changed here keeps the other's change", none,
         [](Settings& s) { s.titleTemplate = "%S"; }, [](Settings& s) { s.titleTemplate = "%S"; }},
        {"changes of different values are both kept", [](Settings& s) { s.pictureAlignment = 2; },
         [](Settings& s) { s.shadow = true; },
         [](Settings& s) {
             s.pictureAlignment = 2;
             s.shadow = true;
         }},
        {"the same value changed by both: the later save wins",
         [](Settings& s) { s.backgroundColor = 7; }, [](Settings& s) { s.backgroundColor = 9; },
         [](Settings& s) { s.backgroundColor = 7; }},
        {"a picked date set here is written", [](Settings& s) { s.pickedDate = 46388.0; }, none,
         [](Settings& s) { s.pickedDate = 46388.0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        saveSettings(file, Key, Settings {});
        Settings stored = load();
        Settings mine = stored;
        c.mine(mine);
        Settings other = load();
        c.theirs(other);
        saveSettings(file, Key, other);
        saveSettingsChanges(file, Key, mine, stored);
        Settings expected;
        c.expected(expected);
        expectSame(load(), expected, c.what);
        expectSame(stored, expected, "what this copy now takes as stored");
    }
}

TEST_F(SettingsTest, ATemplateTooLargeForTheFileCostsOnlyItself)
{
    Settings s;
    saveSettings(file, Key, s);
    Settings stored = load();
    s.titleTemplate = QString(1'100'000, u'x'); // over the file's limit once written
    s.pictureAlignment = 3;
    s.shadow = true;
    EXPECT_THROW(saveSettingsChanges(file, Key, s, stored), ESettingsError);
    const Settings loaded = load();
    EXPECT_TRUE(loaded.titleTemplate == kDefaultTemplate);
    EXPECT_EQ(loaded.pictureAlignment, 3);
    EXPECT_TRUE(loaded.shadow);
    EXPECT_TRUE(stored.titleTemplate == kDefaultTemplate)
        << "the next save tries the template again";
}
