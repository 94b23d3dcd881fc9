// loadPictureAsync: what the receiver is handed for each kind of file, and that nothing is
// handed to a receiver that is gone.

#include "display/PictureTask.h"

#include "picture_jpeg_support.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <optional>

namespace {

// Runs the event loop until the outcome is there or ten seconds have passed.
std::optional<PictureOutcome> awaitOutcome(QObject* context, std::function<QString()> locate)
{
    std::optional<PictureOutcome> received;
    loadPictureAsync(std::move(locate), {64, 64}, context,
                     [&received](PictureOutcome outcome) { received = std::move(outcome); });
    const QDeadlineTimer deadline(10000);
    while (!received && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return received;
}

struct OutcomeCase {
    const char* name;
    QByteArray bytes; // written as "bild.jpg"; no file when null
    bool found;
    bool image;
    bool error;
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
    QObject context;
    const std::optional<PictureOutcome> outcome =
        awaitOutcome(&context, [file] { return QFileInfo::exists(file) ? file : QString(); });
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(outcome->path == file, c.found);
    EXPECT_EQ(!outcome->image.isNull(), c.image);
    EXPECT_EQ(!outcome->error.isEmpty(), c.error) << outcome->error.toStdString();
}

const QByteArray kGood = pictureJpegBytes(pictureQuadrants(64, 48));

INSTANTIATE_TEST_SUITE_P(Load, PictureTaskTest,
                         ::testing::Values(OutcomeCase {"Found", kGood, true, true, false},
                                           OutcomeCase {"None", QByteArray(), false, false, false},
                                           OutcomeCase {"Damaged", kGood.left(kGood.size() / 2),
                                                        true, false, true}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(PictureTaskGone, ReceiverGoneBeforeThePictureIsReadyHearsNothing)
{
    std::promise<void> storageAnswers;
    std::shared_future<void> answer = storageAnswers.get_future().share();
    // The job holds this token until it has finished, posting included.
    auto token = std::make_shared<int>();
    const std::weak_ptr<int> jobRunning = token;
    bool delivered = false;
    auto context = std::make_unique<QObject>();
    loadPictureAsync(
        [answer, token = std::move(token)] {
            answer.wait();
            return QString();
        },
        {}, context.get(), [&delivered](PictureOutcome) { delivered = true; });
    context.reset();
    storageAnswers.set_value();
    const QDeadlineTimer deadline(10000);
    while (!jobRunning.expired() && !deadline.hasExpired())
        QThread::msleep(5);
    ASSERT_TRUE(jobRunning.expired());
    QCoreApplication::processEvents();
    EXPECT_FALSE(delivered);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
