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

// Files made for one lookup: "b/…" beside the program, "d/…" in the data folder that
// XDG_DATA_HOME ("abs" for an absolute one, "" for none, else the relative value) leads to; a
// trailing "/" makes a folder. The expected path is written the same way, "" for none.
struct LookupCase {
    std::vector<const char*> files;
    const char* dataHome;
    const char* wanted;
    const char* expected;
};

class FindProgramFile : public testing::TestWithParam<LookupCase> { };

TEST_P(FindProgramFile, ExactNameThenAnyCaseBesideTheProgramThenInTheDataFolder)
{
    const LookupCase& c = GetParam();
    const std::string dataHome = c.dataHome;
    QTemporaryDir root;
    qputenv("HOME", root.filePath("home").toLocal8Bit());
    qputenv("XDG_DATA_HOME",
            dataHome == "abs" ? root.filePath("xdg").toLocal8Bit() : QByteArray(c.dataHome));
    if (dataHome.empty())
        qunsetenv("XDG_DATA_HOME");
    const QString data = root.filePath(dataHome == "abs" ? "xdg" : "home/.local/share");
    auto resolve = [&](const QString& p) {
        if (p.startsWith("b/"))
            return root.filePath("opt/") + p.mid(2);
        return p.startsWith("d/") ? data + "/Vemoral/yearmark/" + p.mid(2) : p;
    };
    for (const char* file : c.files) {
        const QString path = resolve(file);
        QDir().mkpath(path.endsWith('/') ? path : QFileInfo(path).path());
        if (!path.endsWith('/')) {
            ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly));
        }
    }
    EXPECT_EQ(findProgramFile(root.filePath("opt/yearmark"), c.wanted), resolve(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Files, FindProgramFile,
    testing::Values(
        LookupCase {{"b/0.avi", "d/0.avi"}, "abs", "0.avi", "b/0.avi"},
        LookupCase {{"b/0.AVI"}, "abs", "0.avi", "b/0.AVI"},
        LookupCase {{"b/0.AVI", "b/0.avi", "b/0.Avi"}, "abs", "0.avi", "b/0.avi"},
        LookupCase {{"b/Yearmark.Jpg", "d/yearmark.jpg"}, "abs", "yearmark.jpg", "b/Yearmark.Jpg"},
        LookupCase {{"d/0.jpg"}, "abs", "0.jpg", "d/0.jpg"},
        LookupCase {{"d/0.BMP"}, "abs", "0.bmp", "d/0.BMP"},
        LookupCase {{"d/0.avi"}, "", "0.avi", "d/0.avi"},
        LookupCase {{"d/0.avi"}, "xdg", "0.avi", "d/0.avi"},
        LookupCase {{"b/0.avi/", "b/0.AVI/", "d/0.Avi/"}, "abs", "0.avi", ""},
        LookupCase {{"b/0.jpg", "b/yearmark.bmp", "d/0.avi.jpg"}, "abs", "0.avi", ""}));

// The zero moment's video by its names in order ("0.avi" first); the play command's from the
// working folder first, else the zero moment's.
TEST(ZeroVideo, FirstNameFoundWinsAndThePlayCommandFallsBackToIt)
{
    struct Case {
        std::vector<const char*> besideProgram, inWorkingFolder;
        const char* zeroVideo;   // "" for none
        const char* playCommand; // "w/…" from the working folder, "p/…" beside the program
    };
    const Case cases[] = {
        {{"0.mov", "0.avi", "0.mp4"}, {}, "0.avi", "p/0.avi"},
        {{"0.webm", "0.mkv"}, {}, "0.mkv", "p/0.mkv"},
        {{"0.mp4"}, {"0.webm"}, "0.mp4", "w/0.webm"},
        {{}, {"0.avi"}, "", "w/0.avi"},
        {{}, {}, "", ""},
    };
    for (const Case& c : cases) {
        QTemporaryDir root;
        QDir(root.path()).mkpath(QStringLiteral("p"));
        QDir(root.path()).mkpath(QStringLiteral("w"));
        qputenv("XDG_DATA_HOME", root.filePath(QStringLiteral("data")).toUtf8());
        for (const char* name : c.besideProgram)
            QFile(root.filePath(QStringLiteral("p/") + name)).open(QIODevice::WriteOnly);
        for (const char* name : c.inWorkingFolder)
            QFile(root.filePath(QStringLiteral("w/") + name)).open(QIODevice::WriteOnly);
        const QString exe = root.filePath(QStringLiteral("p/yearmark"));
        const auto path = [&](const char* rel, const char* folder) {
            return *rel ? root.filePath(QString::fromUtf8(folder) + QString::fromUtf8(rel))
                        : QString();
        };
        EXPECT_EQ(findZeroVideo(exe), path(c.zeroVideo, "p/"));
        EXPECT_EQ(findPlayCommandVideo(exe, root.filePath(QStringLiteral("w"))),
                  path(c.playCommand, ""));
    }
}
