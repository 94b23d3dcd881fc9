#include "display/PictureTask.h"

#include "display/PictureLoader.h"

#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// What the job and the receiver on the context's thread share. The receiver clears its
// pointer under the lock as it is destroyed, and the job posts to it only under the same lock,
// so a result is never posted to an object that is going away. A result already posted when
// the receiver goes is dropped by Qt with the receiver's other events.
struct Mailbox {
    std::mutex mutex;
    QObject* receiver = nullptr;
};

// The context's child on the context's thread: keeps done there and runs it once with the
// outcome the job posts, then goes.
class Delivery : public QObject {
public:
    Delivery(QObject* context, std::function<void(PictureOutcome)> done)
        : QObject(context)
        , m_done(std::move(done))
        , m_mailbox(std::make_shared<Mailbox>())
    {
        m_mailbox->receiver = this;
    }
    ~Delivery() override
    {
        const std::lock_guard lock(m_mailbox->mutex);
        m_mailbox->receiver = nullptr;
    }
    Delivery(const Delivery&) = delete;
    Delivery& operator=(const Delivery&) = delete;

    const std::shared_ptr<Mailbox>& mailbox() const { return m_mailbox; }

    void deliver(PictureOutcome outcome)
    {
        deleteLater();
        const auto done = std::move(m_done);
        if (done)
            done(std::move(outcome));
    }

private:
    std::function<void(PictureOutcome)> m_done;
    std::shared_ptr<Mailbox> m_mailbox;
};

// Queues the outcome for the receiver, if it is still there; callable from any thread.
void post(Mailbox& mailbox, PictureOutcome outcome)
{
    const std::lock_guard lock(mailbox.mutex);
    auto* receiver = static_cast<Delivery*>(mailbox.receiver);
    if (!receiver)
        return;
    QMetaObject::invokeMethod(
        receiver,
        [receiver, outcome = std::move(outcome)]() mutable {
            receiver->deliver(std::move(outcome));
        },
        Qt::QueuedConnection);
}

PictureOutcome findAndDecode(const std::function<QString()>& locate, QSize largestArea)
{
    PictureOutcome outcome;
    try {
        outcome.path = locate();
        if (!outcome.path.isEmpty())
            outcome.image = loadPicture(outcome.path, largestArea);
    } catch (const std::exception& e) {
        outcome.image = QImage();
        outcome.error = QString::fromUtf8(e.what());
    }
    return outcome;
}

} // namespace

namespace {

// Runs work on a detached thread and hands its outcome to done on context's thread.
void runDetached(std::function<PictureOutcome()> work, QObject* context,
                 std::function<void(PictureOutcome)> done)
{
    if (!context)
        return;
    const auto* delivery = new Delivery(context, std::move(done));
    std::shared_ptr<Mailbox> mailbox = delivery->mailbox();
    try {
        std::thread([work = std::move(work), mailbox]() noexcept {
            try {
                post(*mailbox, work());
            } catch (...) {
                // Out of memory even for the message: the receiver hears nothing, the program
                // goes on without the picture.
            }
        }).detach();
    } catch (const std::system_error& e) {
        PictureOutcome outcome;
        outcome.error = QStringLiteral("the picture cannot be loaded: no thread could be started "
                                       "for it (%1)")
                            .arg(QString::fromLocal8Bit(e.what()));
        post(*mailbox, std::move(outcome));
    }
}

} // namespace

void loadPictureAsync(std::function<QString()> locate, QSize largestArea, QObject* context,
                      std::function<void(PictureOutcome)> done)
{
    runDetached(
        [locate = std::move(locate), largestArea] { return findAndDecode(locate, largestArea); },
        context, std::move(done));
}

void scalePictureAsync(QImage picture, QSize size, QObject* context,
                       std::function<void(QImage)> done)
{
    runDetached(
        [picture = std::move(picture), size] {
            PictureOutcome outcome;
            outcome.image = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            return outcome;
        },
        context,
        [done = std::move(done)](PictureOutcome outcome) {
            if (!outcome.image.isNull())
                done(std::move(outcome.image));
        });
}
