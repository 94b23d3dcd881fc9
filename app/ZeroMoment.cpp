#include "app/ZeroMoment.h"

#include "app/ProgramFiles.h"
#include "display/PictureBox.h"
#include "video/MediaLayer.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>

#include <stdexcept>

std::atomic<int> ZeroMoment::s_lookups {0};

ZeroMoment::ZeroMoment(Parts parts, const QString& exePath, QObject* parent)
    : QObject(parent)
    , m_parts(std::move(parts))
    , m_exePath(exePath)
{ }

void ZeroMoment::lookUp(std::function<QString()> find, std::function<void(const QString&)> found)
{
    // The storage may be slow or hung: the thread is never waited for, and its answer is
    // dropped when this object is gone by then.
    ++s_lookups;
    const bool started = runDetached<QString>(
        [find = std::move(find)] {
            QString path;
            try {
                path = find();
            } catch (...) {
                path.clear();
            }
            --s_lookups;
            return path;
        },
        this,
        [this, found = std::move(found)](const QString& path) {
            if (!m_stopped)
                found(path);
        });
    if (!started)
        --s_lookups;
}

void ZeroMoment::withMedia(std::function<void(MediaLayer*)> use)
{
    if (!m_parts.media) {
        use(nullptr);
        return;
    }
    m_parts.media([this, use = std::move(use)](MediaLayer* layer) {
        if (m_stopped)
            return;
        if (layer && layer != m_media) {
            m_media = layer;
            layer->setPreparedHandler([this] { prepared(); });
            // Errors found after a file was rendered end the pass silently; the screen falls
            // back as if the file had never played.
            layer->setErrorHandler([this] { failed(); });
        }
        use(layer);
    });
}

void ZeroMoment::prepareSoon()
{
    if (m_prepareSoonAsked || m_prepareTried || m_started)
        return;
    m_prepareSoonAsked = true;
    QTimer::singleShot(kPrepareDelayMs, this, &ZeroMoment::prepare);
}

void ZeroMoment::prepare()
{
    if (m_prepareTried || m_stopped)
        return;
    m_prepareTried = true;
    requestPicture();
    // Without a zero picture the background picture fills the window at zero: scaled for that
    // ahead, away from the count's thread.
    m_parts.picture->prepareFor(m_parts.picture->picture(), m_parts.window->size());
    const QString exe = m_exePath;
    lookUp([exe] { return findZeroVideo(exe); },
           [this](const QString& path) {
               m_lookupDone = true;
               m_zeroVideo = path;
               prepareZeroVideo();
           });
}

void ZeroMoment::requestPicture()
{
    if (m_pictureAsked)
        return;
    m_pictureAsked = true;
    const QString exe = m_exePath;
    loadPictureAsync([exe] { return findZeroPicture(exe); }, m_parts.window->size(), this,
                     [this](PictureOutcome outcome) { pictureArrived(std::move(outcome)); });
}

void ZeroMoment::pictureArrived(PictureOutcome outcome)
{
    m_picture = std::move(outcome);
    m_pictureReady = true;
    if (m_pictureShown && !m_stopped)
        putPicture();
    else
        m_parts.picture->prepareFor(m_picture.image, m_parts.window->size());
}

void ZeroMoment::prepareZeroVideo()
{
    if (m_zeroVideo.isEmpty() || m_videoFailed || m_phase != Phase::Idle || m_stopped)
        return;
    m_phase = Phase::Preparing;
    withMedia([this](MediaLayer* layer) {
        // Something else may have taken the graph while the media layer was being loaded.
        if (m_phase != Phase::Preparing)
            return;
        if (!layer)
            zeroVideoFailed();
        else
            render(m_zeroVideo, true);
    });
}

void ZeroMoment::render(const QString& path, bool loop)
{
    m_media->setActive(true);
    // Exactly one chain plays: whatever the graph still holds goes first.
    m_media->clearGraph();
    m_media->renderFile(path, loop);
    m_framesAtCompletion = m_media->framesArrived();
}

void ZeroMoment::prepared()
{
    if (m_phase == Phase::Preparing) {
        m_phase = Phase::Prepared;
        if (m_started)
            playVideo(Phase::Looping);
    } else if (m_phase == Phase::PassPreparing) {
        playVideo(m_passLoops ? Phase::Looping : Phase::Pass);
    }
}

void ZeroMoment::playVideo(Phase phase)
{
    m_phase = phase;
    m_framesAtCompletion = m_media->framesArrived();
    showVideo();
    if (!m_media->play())
        failed();
}

void ZeroMoment::start()
{
    m_started = true;
    m_autoPlay = true;
    // The zero moment takes the screen over from a pass that the play command started; left
    // running, that pass would show the zero media a second time when it ends or fails.
    if (m_phase == Phase::PassPreparing || m_phase == Phase::Pass)
        endPass();
    prepare();
    if (m_phase == Phase::Prepared) {
        playVideo(Phase::Looping);
        return;
    }
    // Still being made ready, or none: the picture fills the window meanwhile.
    showPicture();
    if (m_lookupDone)
        prepareZeroVideo();
}

void ZeroMoment::playFile(const QString& fileName)
{
    // A relative name means the working folder as it is now.
    const QString path = QFileInfo(fileName).absoluteFilePath();
    playFound([path] { return QFileInfo(path).isFile() ? path : QString(); });
}

void ZeroMoment::playCommandVideo()
{
    // The working folder is taken as it is now, on this thread; its files are looked at on
    // another.
    const QString here = QDir::currentPath();
    const QString exe = m_exePath;
    playFound([here, exe] { return findPlayCommandVideo(exe, here); });
}

void ZeroMoment::playFound(std::function<QString()> find)
{
    const uint64_t request = ++m_passRequest;
    const bool loop = m_autoPlay;
    lookUp(std::move(find), [this, request, loop](const QString& found) {
        if (request == m_passRequest && !found.isEmpty())
            beginPass(found, loop);
    });
}

void ZeroMoment::beginPass(const QString& path, bool loop)
{
    // The pass takes the graph over; a zero-moment video on screen gives way to the picture
    // until the pass is ready.
    if (m_phase == Phase::Looping && m_media) {
        m_media->videoWidget()->hide();
        showPicture();
    }
    m_phase = Phase::PassPreparing;
    m_passLoops = loop;
    withMedia([this, path, loop](MediaLayer* layer) {
        if (m_phase != Phase::PassPreparing || m_passLoops != loop)
            return;
        if (!layer) {
            m_phase = Phase::Idle;
            afterPass();
            return;
        }
        render(path, loop);
    });
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
    } else if (m_phase == Phase::Pass) {
        endPass();
        afterPass();
    }
}

bool ZeroMoment::stop(int waitMs) noexcept
{
    m_stopped = true;
    m_phase = Phase::Idle;
    try {
        return !m_media || m_media->shutDown(waitMs);
    } catch (...) {
        // Ending playback at exit must not keep the program from ending.
        return false;
    }
}

void ZeroMoment::failed()
{
    switch (m_phase) {
    case Phase::Preparing:
    case Phase::Prepared:
    case Phase::Looping:
        zeroVideoFailed();
        break;
    case Phase::PassPreparing:
    case Phase::Pass:
        endPass();
        afterPass();
        break;
    case Phase::Idle:
        break;
    }
}

void ZeroMoment::zeroVideoFailed()
{
    m_videoFailed = true;
    endPass();
    if (m_started)
        showPicture();
}

void ZeroMoment::endPass() noexcept
{
    m_phase = Phase::Idle;
    if (m_media) {
        m_media->clearGraph();
        m_media->videoWidget()->hide();
    }
}

void ZeroMoment::afterPass()
{
    if (m_started)
        showPicture();
    // The pass took the graph from the zero-moment video; make it ready again.
    if (m_started || m_prepareTried)
        prepareZeroVideo();
}

void ZeroMoment::showVideo()
{
    QWidget* window = m_parts.window;
    QWidget* video = m_media->videoWidget();
    // The window covers its screen (the primary one, or the one asked for on the command line),
    // and so does the video.
    video->setGeometry(window->rect());
    video->show();
    video->raise();
}

void ZeroMoment::showPicture()
{
    m_fills = true;
    m_pictureShown = true;
    requestPicture();
    // Until the zero picture is decoded, and also after one that cannot be: the background
    // picture, if any, fills the window rather than staying in its half beside the hidden title.
    m_parts.fillWindow();
    if (m_pictureReady)
        putPicture();
}

void ZeroMoment::putPicture()
{
    if (!m_picture.image.isNull())
        m_parts.picture->setPicture(m_picture.image);
    if (!m_picture.error.isEmpty() && !m_errorRaised) {
        m_errorRaised = true;
        // Told once the zero moment is on screen: making the error box takes longer than a
        // frame, and the title's going must not wait for it.
        QTimer::singleShot(kErrorBoxDelayMs, this, [text = m_picture.error.toStdString()] {
            throw std::runtime_error(text);
        });
    }
}
