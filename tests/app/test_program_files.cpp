#include "app/ProgramFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
