#include "display/PictureTask.h"

#include "display/PictureLoader.h"

#include <QCoreApplication>
#include <QPointer>

#include <exception>
#include <thread>

void loadPictureAsync(std::function<QString()> locate, QSize largestArea, QObject* context,
                      std::function<void(PictureOutcome)> done)
{
    QPointer<QObject> receiver(context);
    std::thread([locate = std::move(locate), largestArea, receiver,
                 done = std::move(done)]() mutable {
        PictureOutcome outcome;
        try {
            outcome.path = locate();
            if (!outcome.path.isEmpty())
                outcome.image = loadPicture(outcome.path, largestArea);
        } catch (const std::exception& e) {
            outcome.image = QImage();
            outcome.error = QString::fromUtf8(e.what());
        } catch (...) {
            outcome.image = QImage();
        }
        // The receiver may be gone by the time the picture is ready: the pointer is only looked
        // at on the application's thread, where the receiver lives and dies.
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                app,
                [receiver, done = std::move(done), outcome = std::move(outcome)]() mutable {
                    if (receiver)
                        done(std::move(outcome));
                },
                Qt::QueuedConnection);
    }).detach();
}
