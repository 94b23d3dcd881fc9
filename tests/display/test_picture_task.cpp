// loadPictureAsync: what the receiver is handed for each kind of file, and nothing for a
// receiver that is gone.

#include "display/PictureTask.h"

#include "picture_jpeg_support.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

struct OutcomeCase {
    const char* name;
    QByteArray bytes;  // written as "bild.jpg"; no file when null
    bool receiverGone; // destroyed right after asking
    bool delivered, found, image, error;
};

void PrintTo(const OutcomeCase& c, std::ostream* os) { *os << c.name; }

class PictureTaskTest : public ::testing::TestWithParam<OutcomeCase> { };

TEST_P(PictureTaskTest, ReceiverIsHandedWhatWasFound)
{
    const OutcomeCase& c = GetParam();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bild.jpg"));
    if (!c.bytes.isNull())
        pictureWriteFile(file, c.bytes);
    auto token = std::make_shared<int>(); // held by the job until it has handed over its outcome
    const std::weak_ptr<int> job = token;
    std::optional<PictureOutcome> received;
    auto receiver = std::make_unique<QObject>();
    loadPictureAsync(
        [file, token = std::move(token)] { return QFileInfo::exists(file) ? file : QString(); },
        {64, 64}, receiver.get(), [&](PictureOutcome outcome) { received = std::move(outcome); });
    if (c.receiverGone)
        receiver.reset();
    const QDeadlineTimer deadline(10000);
    while (!job.expired() && !deadline.hasExpired())
        QThread::msleep(5);
    QCoreApplication::processEvents();
    ASSERT_EQ(received.has_value(), c.delivered);
    if (received) {
        EXPECT_EQ(received->path == file, c.found);
        EXPECT_EQ(!received->image.isNull(), c.image);
        EXPECT_EQ(!received->error.isEmpty(), c.error) << received->error.toStdString();
    }
}

const QByteArray kGood = pictureJpegBytes(pictureQuadrants(64, 48));

INSTANTIATE_TEST_SUITE_P(
    Load, PictureTaskTest,
    ::testing::Values(OutcomeCase {"Found", kGood, false, true, true, true, false},
                      OutcomeCase {"None", QByteArray(), false, true, false, false, false},
                      OutcomeCase {"Damaged", kGood.left(kGood.size() / 2), false, true, true,
                                   false, true},
                      OutcomeCase {"ReceiverGone", kGood, true, false, true, true, false}),
    [](const auto& test) { return std::string(test.param.name); });

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
