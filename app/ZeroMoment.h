#pragma once
// What the window shows when the count ends, and the play command's single pass. In the last
// seconds before zero the video beside the program is made ready (decoded up to its first frame,
// paused and hidden) and the picture beside it decoded, both away from the user-interface
// thread, which never waits for either. At zero the title goes at once: a ready video plays; a
// video still being made ready lets the picture (or the background picture) fill the window until
// its first frame is there; a video that cannot play leaves the picture. The zero-moment video
// loops without a gap; a pass that brings no frame ends the loop instead of spinning. The media
// layer (the graph and its video window) is this object's alone: it is made the first time a
// video is due, and only its calls drive it.

#include "app/ScreenSaverInhibitor.h"
#include "display/PictureTask.h"
#include "video/MediaLayer.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QWidget;
class TPictureBox;

class ZeroMoment : public QObject {
    Q_OBJECT
public:
    // What the graph holds for the zero moment: nothing; the zero-moment video being made
    // ready, ready (paused, hidden) or looping on screen; a file of the play command being made
    // ready, or playing its pass.
    enum class Phase { Idle, Preparing, Prepared, Looping, PassPreparing, Pass };

    // How long before zero the media are made ready, in whole seconds left: time for a slow
    // video to be ready when zero comes.
    static constexpr int kPrepareSeconds = 10;
    // How long after the zero moment a picture that cannot be shown is told in the error box.
    static constexpr int kErrorBoxDelayMs = 100;
    // How long after the tick that asks for it: the work then starts away from the second's
    // boundary and does not hold up the title's next change.
    static constexpr int kPrepareDelayMs = 300;

    // Works on the window's picture box; the video window is made over the window, above
    // everything made before it. The media are the files found beside the program at exePath
    // (found only as regular files: a named pipe or a device of that name would block whoever
    // opens it).
    ZeroMoment(QWidget* window, TPictureBox* picture, const QString& exePath);

    // How the media layer's maker is had (from the media module in the program, linked in for
    // tests). It runs on a thread of its own: loading the module and starting GStreamer read
    // files and may take seconds. Without a loader, or when it finds nothing, there is no video
    // and the zero moment shows the pictures.
    using MediaLoader = std::function<MakeMediaLayer()>;
    void setMediaLoader(MediaLoader load) { m_loadMedia = std::move(load); }

    // Before zero: looks for the picture and decodes it, looks for the video and makes it ready,
    // all away from this thread. Runs once; a video that fails only means that the zero moment
    // shows the picture.
    void prepare();
    // The same, kPrepareDelayMs later; asking again changes nothing.
    void prepareSoon();
    // The zero moment: the video, looped, or else the picture filling the window (see above). A
    // picture that cannot be decoded is raised once it is known and laid out to fill the window.
    void start();
    // Plays a file over the whole window once it is ready: looped when the zero moment has come
    // and the play command was not used since, else once. Only a regular file plays (looked at
    // away from this thread); anything else leaves the screen as it was.
    void playFile(const QString& fileName);
    // The play command: its video (findPlayCommandVideo), looked for away from this thread and
    // played once, as playFile plays.
    void playCommandVideo();
    // The graph has played to its end: loop, or end the single pass.
    void graphComplete();
    // Ends any playback for good (the program ends); waits for the media thread at most waitMs.
    // True when none of the media's threads is left running.
    bool stop(int waitMs) noexcept;
    // True when none of the media's threads (the loader, the graph's media thread, a look-up of
    // the media files) is left running; asked at the end, after stop.
    bool settled() const;

    Phase phase() const { return m_state.phase; }
    // True once the zero moment has shown a picture: every later layout keeps it filling the
    // window.
    bool pictureFillsWindow() const { return m_state.pictureFills; }
    // What the screen shows of the media: the video window is up; frames it has been handed.
    bool videoShown() const;
    uint64_t framesArrived() const;
    // Look-ups of the media files that are still waiting on storage, in the whole process.
    static int lookupsRunning() { return s_lookups; }

private:
    // How far the count has come: counting; the media asked for soon; the media being made
    // ready; the zero moment; the end (nothing is started any more). Only ever goes forward.
    enum class Stage { Counting, PrepareAsked, Preparing, AtZero, Ended };
    enum class Media { NotAsked, Loading, Known };
    enum class ZeroVideo { NotLookedFor, None, Found, Failed };
    enum class Picture { NotAsked, Decoding, Ready };
    struct State {
        Stage stage = Stage::Counting;
        Phase phase = Phase::Idle;
        Media media = Media::NotAsked;
        ZeroVideo zeroVideo = ZeroVideo::NotLookedFor;
        Picture picture = Picture::NotAsked;
        // The zero moment has shown the picture: it fills the window from then on.
        bool pictureFills = false;
        // A pass loops: set at zero, cleared by the play command.
        bool autoPlay = false;
        bool passLoops = false; // the pass being made ready loops
    };

    void withMedia(std::function<void(MediaLayer*)> use);
    void mediaLoaded(MakeMediaLayer make);
    void requestPicture();
    void pictureArrived(PictureOutcome outcome);
    void lookUp(std::function<QString()> find, std::function<void(const QString&)> found);
    // Plays once what find (run on another thread) finds; a later request replaces this one.
    void playFound(std::function<QString()> find);
    void prepareZeroVideo();
    void render(const QString& path, bool loop);
    void prepared();
    void failed();
    void zeroVideoFailed();
    void playVideo(Phase phase);
    void beginPass(const QString& path, bool loop);
    void endPass() noexcept;
    void afterPass();
    void showVideo();
    void showPicture();
    void putPicture();

    static std::atomic<int> s_lookups;

    QWidget* m_window;
    TPictureBox* m_picture;
    QString m_exePath;
    State m_state;
    MediaLoader m_loadMedia;
    // Held while the video plays; outlives the media layer, which lets go of it first.
    ScreenSaverInhibitor m_videoHold;
    std::unique_ptr<MediaLayer> m_media;
    std::vector<std::function<void(MediaLayer*)>> m_mediaWaiting;
    // Set while the loader's thread runs; shared with it, since it may outlive this object.
    std::shared_ptr<std::atomic<bool>> m_mediaLoading = std::make_shared<std::atomic<bool>>(false);
    QString m_zeroVideo;          // the zero-moment video found beside the program
    PictureOutcome m_zeroPicture; // its error is cleared once told
    uint64_t m_passRequest = 0;   // the latest play command; older ones are dropped
    uint64_t m_framesAtCompletion = 0;
};
