#include "app/ZeroMoment.h"

#include "app/ProgramFiles.h"
#include "display/PictureBox.h"
#include "display/PictureLoader.h"
#include "video/MediaLayer.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <exception>

ZeroMoment::ZeroMoment(Parts parts, const QString& exePath, QObject* parent)
    : QObject(parent)
    , m_parts(std::move(parts))
    , m_exePath(exePath)
{ }

MediaLayer* ZeroMoment::media()
{
    if (!m_media && m_parts.media) {
        m_media = m_parts.media();
        // Errors the media layer finds after a file was rendered end the pass silently; the
        // screen falls back as if the file had never played.
        if (m_media)
            m_media->setErrorHandler([this] { failed(); });
    }
    return m_media;
}

QString ZeroMoment::videoBesideProgram() const
{
    return findProgramFile(m_exePath, QStringLiteral("0.avi"));
}

void ZeroMoment::prepareSoon()
{
    if (m_prepareTried || m_started || m_phase != Phase::Idle)
        return;
    m_prepareTried = true;
    QTimer::singleShot(kPrepareDelayMs, this, &ZeroMoment::prepare);
}

void ZeroMoment::prepare()
{
    if (m_started || m_phase != Phase::Idle)
        return;
    m_prepareTried = true;
    const QString path = videoBesideProgram();
    if (path.isEmpty())
        return;
    if (render(path, true))
        m_phase = Phase::Prepared;
    else
        m_videoFailed = true;
}

void ZeroMoment::start()
{
    m_started = true;
    m_autoPlay = true;
    // The zero moment takes the screen over from a single pass that F9 started; left running,
    // that pass would show the zero media a second time when it ends or fails.
    if (m_phase == Phase::Once)
        endPass();
    showZeroMedia();
}

void ZeroMoment::showZeroMedia()
{
    if (m_phase != Phase::Prepared) {
        const QString path = m_videoFailed ? QString() : videoBesideProgram();
        if (path.isEmpty()) {
            showPicture();
            return;
        }
        if (!render(path, true)) {
            m_videoFailed = true;
            showPicture();
            return;
        }
    }
    m_phase = Phase::Looping;
    showVideo();
    if (!run())
        failed();
}

void ZeroMoment::playFile(const QString& fileName)
{
    if (!QFileInfo(fileName).isFile())
        return;
    const Phase pass = m_autoPlay ? Phase::Looping : Phase::Once;
    if (!render(fileName, pass == Phase::Looping)) {
        m_phase = pass;
        failed();
        return;
    }
    m_phase = pass;
    showVideo();
    if (!run())
        failed();
}

void ZeroMoment::graphComplete()
{
    if (!m_media)
        return;
    const uint64_t frames = m_media->framesArrived();
    const bool showedFrame = frames != m_framesAtCompletion;
    m_framesAtCompletion = frames;
    if (m_phase == Phase::Looping) {
        // A pass without a single frame would only come round again at once, for ever.
        if (!showedFrame || !m_media->seekToStart())
            failed();
    } else if (m_phase == Phase::Once) {
        endPass();
        if (m_started)
            showZeroMedia();
    }
}

void ZeroMoment::stop() noexcept
{
    m_phase = Phase::Idle;
    try {
        if (m_media)
            m_media->setActive(false);
    } catch (...) {
        // Ending playback at exit must not keep the program from ending.
    }
}

bool ZeroMoment::render(const QString& path, bool loop) noexcept
{
    try {
        MediaLayer* layer = media();
        if (!layer)
            return false;
        layer->setActive(true);
        // Exactly one chain plays: whatever the graph still holds goes first.
        layer->clearGraph();
        layer->setLooping(loop);
        layer->renderFile(path);
        m_framesAtCompletion = layer->framesArrived();
        return true;
    } catch (...) {
        return false;
    }
}

bool ZeroMoment::run() noexcept
{
    try {
        return m_media && m_media->play();
    } catch (...) {
        return false;
    }
}

void ZeroMoment::showVideo()
{
    if (!m_media)
        return;
    QWidget* window = m_parts.window;
    QWidget* video = m_media->videoWidget();
    video->setGeometry(window->rect());
    // The first monitor's bounds, in the window's coordinates.
    if (const QList<QScreen*> screens = QGuiApplication::screens(); !screens.isEmpty())
        video->setGeometry(screens.first()->geometry().translated(-window->geometry().topLeft()));
    video->show();
    video->raise();
}

void ZeroMoment::endPass() noexcept
{
    const bool wasOnce = m_phase == Phase::Once;
    m_phase = Phase::Idle;
    if (m_media) {
        try {
            m_media->clearGraph();
        } catch (...) {
            // Stopping a pass is best effort; the window is hidden all the same.
        }
        m_media->videoWidget()->hide();
    }
    // A single pass played before zero took the prepared video; make it ready again.
    if (wasOnce && !m_started)
        m_prepareTried = false;
}

void ZeroMoment::failed()
{
    const Phase was = m_phase;
    endPass();
    if (was == Phase::Prepared || was == Phase::Looping)
        m_videoFailed = true;
    if (was == Phase::Looping)
        showPicture();
    else if (was == Phase::Once && m_started)
        showZeroMedia();
}

void ZeroMoment::showPicture()
{
    m_fills = true;
    QString path = findProgramFile(m_exePath, QStringLiteral("0.jpg"));
    if (path.isEmpty())
        path = findProgramFile(m_exePath, QStringLiteral("0.bmp"));
    std::exception_ptr failure;
    if (!path.isEmpty()) {
        try {
            m_parts.picture->setPicture(loadPicture(path, m_parts.window->size()));
        } catch (...) {
            failure = std::current_exception();
        }
    }
    // Also after a picture that cannot be decoded: the background picture, if any, fills the
    // window rather than staying in its half beside the hidden title.
    m_parts.fillWindow();
    if (failure)
        std::rethrow_exception(failure);
}
