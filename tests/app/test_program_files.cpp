#include "app/ProgramFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

struct ExtCase {
    const char* path;
    const char* ext;
    const char* expected;
};

class ChangeFileExt : public testing::TestWithParam<ExtCase> { };

TEST_P(ChangeFileExt, ReplacesOrAppendsTheExtension)
{
    const ExtCase& c = GetParam();
    EXPECT_EQ(changeFileExt(QString::fromUtf8(c.path), QString::fromUtf8(c.ext)).toStdString(),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ChangeFileExt,
    testing::Values(ExtCase {"/opt/ym/yearmark", ".jpg", "/opt/ym/yearmark.jpg"},
                    ExtCase {"/opt/ym/countdown.exe", ".chm", "/opt/ym/countdown.chm"},
                    ExtCase {"/opt/y.m/party", ".bmp", "/opt/y.m/party.bmp"},
                    ExtCase {"/opt/ym/a.b.c", ".jpg", "/opt/ym/a.b.jpg"},
                    ExtCase {"/opt/ym/.hidden", ".jpg", "/opt/ym/.jpg"},
                    ExtCase {"yearmark", ".chm", "yearmark.chm"}));

TEST(FileNames, BaseNameAndFolder)
{
    EXPECT_EQ(fileBaseName("/opt/ym/party.bin").toStdString(), "party");
    EXPECT_EQ(fileBaseName("/opt/y.m/party").toStdString(), "party");
    EXPECT_EQ(fileFolder("/opt/ym/party").toStdString(), "/opt/ym/");
    EXPECT_EQ(fileFolder("party").toStdString(), "");
}

TEST(FileNames, ExecutablePathIsTheRealProgram)
{
    const QString path = executablePath();
    EXPECT_TRUE(QFileInfo(path).isAbsolute());
    EXPECT_TRUE(QFileInfo(path).isExecutable());
    EXPECT_TRUE(path.endsWith(QStringLiteral("test_program_files")));
}

TEST(BackgroundPicture, JpegBeforeBitmapAndNothingWhenBothMissing)
{
    QTemporaryDir dir;
    const QString exe = dir.filePath(QStringLiteral("countdown"));
    auto touch = [](const QString& p) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    };

    EXPECT_TRUE(backgroundPicturePath(exe).isEmpty());
    touch(exe + ".bmp");
    EXPECT_EQ(backgroundPicturePath(exe), exe + ".bmp");
    touch(exe + ".jpg");
    EXPECT_EQ(backgroundPicturePath(exe), exe + ".jpg");
    QFile::remove(exe + ".jpg");
    QDir().mkdir(exe + ".jpg"); // a folder of that name is no picture
    EXPECT_EQ(backgroundPicturePath(exe), exe + ".bmp");
}

// Where files are put for one lookup: beside the executable, or in the data folder that the
// environment points to. A name ending in "/" is made as a folder.
enum class DataHome { Absolute, Unset, Relative };

struct LookupCase {
    const char* what;
    std::vector<const char*> beside;
    std::vector<const char*> inData;
    DataHome dataHome;
    const char* wanted;
    const char* expected; // "beside/…", "data/…" or "" for none
};

class FindProgramFile : public testing::TestWithParam<LookupCase> { };

TEST_P(FindProgramFile, ExactNameThenAnyCaseBesideTheProgramThenInTheDataFolder)
{
    const LookupCase& c = GetParam();
    QTemporaryDir root;
    const QString besideFolder = root.filePath(QStringLiteral("opt/"));
    const QString home = root.filePath(QStringLiteral("home"));
    const QString xdg = root.filePath(QStringLiteral("xdg"));
    const QString dataBase = c.dataHome == DataHome::Absolute ? xdg : home + "/.local/share";
    const QString dataFolder = dataBase + "/Vemoral/yearmark/";
    qputenv("HOME", home.toLocal8Bit());
    switch (c.dataHome) {
    case DataHome::Absolute:
        qputenv("XDG_DATA_HOME", xdg.toLocal8Bit());
        break;
    case DataHome::Unset:
        qunsetenv("XDG_DATA_HOME");
        break;
    case DataHome::Relative:
        qputenv("XDG_DATA_HOME", "xdg");
        break;
    }
    auto make = [](const QString& folder, const std::vector<const char*>& names) {
        QDir().mkpath(folder);
        for (const char* name : names) {
            const QString path = folder + QString::fromUtf8(name);
            if (path.endsWith(QLatin1Char('/'))) {
                QDir().mkpath(path);
                continue;
            }
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
    };
    make(besideFolder, c.beside);
    make(dataFolder, c.inData);

    QString expected = QString::fromUtf8(c.expected);
    expected.replace(QStringLiteral("beside/"), besideFolder)
        .replace(QStringLiteral("data/"), dataFolder);
    EXPECT_EQ(findProgramFile(besideFolder + "yearmark", QString::fromUtf8(c.wanted)), expected)
        << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Files, FindProgramFile,
    testing::Values(
        LookupCase {
            "exact name beside", {"0.avi"}, {"0.avi"}, DataHome::Absolute, "0.avi", "beside/0.avi"},
        LookupCase {
            "other case beside", {"0.AVI"}, {}, DataHome::Absolute, "0.avi", "beside/0.AVI"},
        LookupCase {"exact before other case",
                    {"0.AVI", "0.avi", "0.Avi"},
                    {},
                    DataHome::Absolute,
                    "0.avi",
                    "beside/0.avi"},
        LookupCase {"beside before the data folder",
                    {"Yearmark.Jpg"},
                    {"yearmark.jpg"},
                    DataHome::Absolute,
                    "yearmark.jpg",
                    "beside/Yearmark.Jpg"},
        LookupCase {"data folder", {}, {"0.jpg"}, DataHome::Absolute, "0.jpg", "data/0.jpg"},
        LookupCase {"other case in the data folder",
                    {},
                    {"0.BMP"},
                    DataHome::Absolute,
                    "0.bmp",
                    "data/0.BMP"},
        LookupCase {"data home defaults to ~/.local/share",
                    {},
                    {"0.avi"},
                    DataHome::Unset,
                    "0.avi",
                    "data/0.avi"},
        LookupCase {"a relative data home is ignored",
                    {},
                    {"0.avi"},
                    DataHome::Relative,
                    "0.avi",
                    "data/0.avi"},
        LookupCase {"a folder is no file",
                    {"0.avi/", "0.AVI/"},
                    {"0.Avi/"},
                    DataHome::Absolute,
                    "0.avi",
                    ""},
        LookupCase {"only the wanted name",
                    {"0.jpg", "yearmark.bmp"},
                    {"0.avi.jpg"},
                    DataHome::Absolute,
                    "0.avi",
                    ""}));
