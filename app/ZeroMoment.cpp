#include "app/ZeroMoment.h"

#include "app/MainLayout.h"
#include "app/ProgramFiles.h"
#include "display/PictureBox.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>

#include <stdexcept>

std::atomic<int> ZeroMoment::s_lookups {0};

ZeroMoment::ZeroMoment(QWidget* window, TPictureBox* picture, const QString& exePath)
    : QObject(window)
    , m_window(window)
    , m_picture(picture)
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
            if (m_state.stage != Stage::Ended)
                found(path);
        });
    if (!started)
        --s_lookups;
}

void ZeroMoment::withMedia(std::function<void(MediaLayer*)> use)
{
    // Nothing is started any more once the end has begun.
    auto useUnlessEnded = [this, use = std::move(use)](MediaLayer* layer) {
        if (m_state.stage != Stage::Ended)
            use(layer);
    };
    if (m_state.media == Media::Known) {
        useUnlessEnded(m_media.get());
        return;
    }
    m_mediaWaiting.push_back(std::move(useUnlessEnded));
    if (m_state.media == Media::Loading)
        return;
    m_state.media = Media::Loading;
    if (!m_loadMedia) {
        mediaLoaded(nullptr);
        return;
    }
    *m_mediaLoading = true;
    const bool started = runDetached<MakeMediaLayer>(
        [load = m_loadMedia, loading = m_mediaLoading] {
            MakeMediaLayer make = nullptr;
            try {
                make = load();
            } catch (...) {
                make = nullptr;
            }
            *loading = false;
            return make;
        },
        this, [this](MakeMediaLayer make) { mediaLoaded(make); });
    if (!started) {
        *m_mediaLoading = false;
        mediaLoaded(nullptr);
    }
}

void ZeroMoment::mediaLoaded(MakeMediaLayer make)
{
    m_state.media = Media::Known;
    // Made after the title, so that the video window lies above it when shown; nothing more
    // after the end has begun.
    if (make && m_state.stage != Stage::Ended)
        m_media.reset(
            make(m_window,
                 VideoSetup {.aspectRatio = rmLetterBox,
                             .autoHideCursorMs = 10,
                             .noScreenSaver = true,
                             .holdScreenSaver = [this](bool held) { m_videoHold.setHeld(held); },
                             .color = Qt::black,
                             .graphEdit = true}));
    if (m_media) {
        m_media->setPreparedHandler([this] { prepared(); });
        // Errors found after a file was rendered end the pass silently; the screen falls back
        // as if the file had never played.
        m_media->setErrorHandler([this] { failed(); });
        m_media->setCompletionHandler([this] { graphComplete(); });
    }
    for (const auto& ready : std::exchange(m_mediaWaiting, {}))
        ready(m_media.get());
}

void ZeroMoment::prepareSoon()
{
    if (m_state.stage != Stage::Counting)
        return;
    m_state.stage = Stage::PrepareAsked;
    QTimer::singleShot(kPrepareDelayMs, this, &ZeroMoment::prepare);
}

void ZeroMoment::prepare()
{
    if (m_state.stage >= Stage::Preparing)
        return;
    m_state.stage = Stage::Preparing;
    requestPicture();
    // Without a zero picture the background picture fills the window at zero: scaled for that
    // ahead, away from the count's thread.
    m_picture->prepareFor(m_picture->picture(), m_window->size());
    const QString exe = m_exePath;
    lookUp([exe] { return findZeroVideo(exe); },
           [this](const QString& path) {
               m_state.zeroVideo = path.isEmpty() ? ZeroVideo::None : ZeroVideo::Found;
               m_zeroVideo = path;
               prepareZeroVideo();
           });
}

void ZeroMoment::requestPicture()
{
    if (m_state.picture != Picture::NotAsked)
        return;
    m_state.picture = Picture::Decoding;
    const QString exe = m_exePath;
    loadPictureAsync([exe] { return findZeroPicture(exe); }, m_window->size(), this,
                     [this](PictureOutcome outcome) { pictureArrived(std::move(outcome)); });
}

void ZeroMoment::pictureArrived(PictureOutcome outcome)
{
    m_zeroPicture = std::move(outcome);
    m_state.picture = Picture::Ready;
    if (m_state.pictureFills && m_state.stage != Stage::Ended)
        putPicture();
    else
        m_picture->prepareFor(m_zeroPicture.image, m_window->size());
}

void ZeroMoment::prepareZeroVideo()
{
    if (m_state.zeroVideo != ZeroVideo::Found || m_state.phase != Phase::Idle ||
        m_state.stage == Stage::Ended)
        return;
    m_state.phase = Phase::Preparing;
    withMedia([this](MediaLayer* layer) {
        // Something else may have taken the graph while the media layer was being loaded.
        if (m_state.phase != Phase::Preparing)
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
    if (m_state.phase == Phase::Preparing) {
        m_state.phase = Phase::Prepared;
        if (m_state.stage == Stage::AtZero)
            playVideo(Phase::Looping);
    } else if (m_state.phase == Phase::PassPreparing) {
        playVideo(m_state.passLoops ? Phase::Looping : Phase::Pass);
    }
}

void ZeroMoment::playVideo(Phase phase)
{
    m_state.phase = phase;
    m_framesAtCompletion = m_media->framesArrived();
    showVideo();
    if (!m_media->play())
        failed();
}

void ZeroMoment::start()
{
    m_state.autoPlay = true;
    // The zero moment takes the screen over from a pass that the play command started; left
    // running, that pass would show the zero media a second time when it ends or fails.
    if (m_state.phase == Phase::PassPreparing || m_state.phase == Phase::Pass)
        endPass();
    prepare();
    if (m_state.stage != Stage::Ended)
        m_state.stage = Stage::AtZero;
    if (m_state.phase == Phase::Prepared) {
        playVideo(Phase::Looping);
        return;
    }
    // Still being made ready, or none: the picture fills the window meanwhile.
    showPicture();
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
    // Tried out once, even after zero.
    m_state.autoPlay = false;
    // The working folder is taken as it is now, on this thread; its files are looked at on
    // another.
    const QString here = QDir::currentPath();
    const QString exe = m_exePath;
    playFound([here, exe] { return findPlayCommandVideo(exe, here); });
}

void ZeroMoment::playFound(std::function<QString()> find)
{
    const uint64_t request = ++m_passRequest;
    const bool loop = m_state.autoPlay;
    lookUp(std::move(find), [this, request, loop](const QString& found) {
        if (request == m_passRequest && !found.isEmpty())
            beginPass(found, loop);
    });
}

void ZeroMoment::beginPass(const QString& path, bool loop)
{
    // The pass takes the graph over; a zero-moment video on screen gives way to the picture
    // until the pass is ready.
    if (m_state.phase == Phase::Looping && m_media) {
        m_media->videoWidget()->hide();
        showPicture();
    }
    m_state.phase = Phase::PassPreparing;
    m_state.passLoops = loop;
    withMedia([this, path, loop](MediaLayer* layer) {
        if (m_state.phase != Phase::PassPreparing || m_state.passLoops != loop)
            return;
        if (!layer) {
            m_state.phase = Phase::Idle;
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
    if (m_state.phase == Phase::Looping) {
        // A pass without a single frame would only come round again at once, for ever.
        if (!showedFrame || !m_media->seekToStart())
            failed();
    } else if (m_state.phase == Phase::Pass) {
        endPass();
        afterPass();
    }
}

bool ZeroMoment::stop(int waitMs) noexcept
{
    m_state.stage = Stage::Ended;
    m_state.phase = Phase::Idle;
    try {
        return !m_media || m_media->shutDown(waitMs);
    } catch (...) {
        // Ending playback at exit must not keep the program from ending.
        return false;
    }
}

void ZeroMoment::failed()
{
    switch (m_state.phase) {
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
    m_state.zeroVideo = ZeroVideo::Failed;
    endPass();
    if (m_state.stage == Stage::AtZero)
        showPicture();
}

void ZeroMoment::endPass() noexcept
{
    m_state.phase = Phase::Idle;
    if (m_media) {
        m_media->clearGraph();
        m_media->videoWidget()->hide();
    }
}

void ZeroMoment::afterPass()
{
    if (m_state.stage == Stage::AtZero)
        showPicture();
    // The pass took the graph from the zero-moment video; make it ready again.
    if (m_state.stage >= Stage::Preparing)
        prepareZeroVideo();
}

void ZeroMoment::showVideo()
{
    QWidget* window = m_window;
    QWidget* video = m_media->videoWidget();
    // The window covers its screen (the primary one, or the one asked for on the command line),
    // and so does the video.
    video->setGeometry(window->rect());
    video->show();
    video->raise();
}

void ZeroMoment::showPicture()
{
    m_state.pictureFills = true;
    requestPicture();
    // Until the zero picture is decoded, and also after one that cannot be: the background
    // picture, if any, fills the window rather than staying in its half beside the hidden title.
    m_picture->setGeometry(layoutAreas(m_window->size(), PictureAlign::Client).picture);
    if (m_state.picture == Picture::Ready)
        putPicture();
}

void ZeroMoment::putPicture()
{
    if (!m_zeroPicture.image.isNull())
        m_picture->setPicture(m_zeroPicture.image);
    if (!m_zeroPicture.error.isEmpty()) {
        // Told once the zero moment is on screen: making the error box takes longer than a
        // frame, and the title's going must not wait for it.
        QTimer::singleShot(kErrorBoxDelayMs, this,
                           [text = std::exchange(m_zeroPicture.error, {}).toStdString()] {
                               throw std::runtime_error(text);
                           });
    }
}

bool ZeroMoment::videoShown() const { return m_media && m_media->videoWidget()->isVisible(); }

uint64_t ZeroMoment::framesArrived() const { return m_media ? m_media->framesArrived() : 0; }

bool ZeroMoment::settled() const
{
    return !*m_mediaLoading && lookupsRunning() == 0 && (!m_media || m_media->shutDown(0));
}
