#include "display/PictureTask.h"

#include "display/PictureLoader.h"

#include <QCoreApplication>
#include <QTimer>

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
    Delivery(QObject* context, std::function<void(std::any)> done)
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

    void deliver(std::any outcome)
    {
        deleteLater();
        const auto done = std::move(m_done);
        if (done)
            done(std::move(outcome));
    }

private:
    std::function<void(std::any)> m_done;
    std::shared_ptr<Mailbox> m_mailbox;
};

// Queues the outcome for the receiver, if it is still there; callable from any thread.
void post(Mailbox& mailbox, std::any outcome)
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

QString pictureFailure()
{
    return QCoreApplication::translate("PictureTask", "Das Bild lässt sich nicht anzeigen.");
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
        // A sentence of the program's own, in its language, and then the decoder's detail as
        // the decoder gives it.
        outcome.error = pictureFailure() + u'\n' + QString::fromUtf8(e.what());
    }
    return outcome;
}

} // namespace

bool runDetachedAny(std::function<std::any()> work, QObject* context,
                    std::function<void(std::any)> done)
{
    if (!context)
        return true;
    auto* delivery = new Delivery(context, std::move(done));
    std::shared_ptr<Mailbox> mailbox = delivery->mailbox();
    try {
        std::thread([work = std::move(work), mailbox]() noexcept {
            try {
                post(*mailbox, work());
            } catch (...) {
                // Out of memory even for the message: the receiver hears nothing, the program
                // goes on without the outcome.
            }
        }).detach();
        return true;
    } catch (const std::system_error&) {
        delete delivery;
        return false;
    }
}

void loadPictureAsync(std::function<QString()> locate, QSize largestArea, QObject* context,
                      std::function<void(PictureOutcome)> done)
{
    if (runDetached<PictureOutcome>([locate = std::move(locate),
                                     largestArea] { return findAndDecode(locate, largestArea); },
                                    context, done))
        return;
    QTimer::singleShot(0, context, [done] {
        PictureOutcome outcome;
        outcome.error = pictureFailure() + u'\n' +
                        QCoreApplication::translate(
                            "PictureTask", "Es ließ sich kein Thread starten, um es zu laden.");
        done(outcome);
    });
}

void scalePictureAsync(QImage picture, QSize size, QObject* context,
                       std::function<void(QImage)> done)
{
    runDetached<QImage>(
        [picture = std::move(picture), size] {
            return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        },
        context,
        [done = std::move(done)](QImage scaled) {
            if (!scaled.isNull())
                done(std::move(scaled));
        });
}
