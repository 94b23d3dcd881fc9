#pragma once
// What the window shows when the count ends, and the play command's single pass. In the last
// seconds before zero the video beside the program is made ready (decoded up to its first frame,
// paused and hidden) and the picture beside it decoded, both away from the user-interface
// thread, which never waits for either. At zero the title goes at once: a ready video plays; a
// video still being made ready lets the picture (or the background picture) fill the window until
// its first frame is there; a video that cannot play leaves the picture. The zero-moment video
// loops without a gap; a pass that brings no frame ends the loop instead of spinning.

#include "display/PictureTask.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>

class MediaLayer;
class QWidget;
class TPictureBox;

class ZeroMoment : public QObject {
    Q_OBJECT
public:
    // The window's parts the zero moment works on; all owned by the window.
    struct Parts {
        QWidget* window = nullptr;
        TPictureBox* picture = nullptr;
        // Asks for the media graph and its video window; the answer comes on the user-interface
        // thread (at once when it is known), null when there is no media layer to be had, which
        // plays like a video that cannot be played.
        std::function<void(std::function<void(MediaLayer*)>)> media;
        // Lays the picture out to fill the window (the window knows its own layout).
        std::function<void()> fillWindow;
    };

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

    // The media are the files found beside the program at exePath (found only as regular
    // files: a named pipe or a device of that name would block whoever opens it).
    ZeroMoment(Parts parts, const QString& exePath, QObject* parent = nullptr);

    // Before zero: looks for the picture and decodes it, looks for the video and makes it ready,
    // all away from this thread. Runs once; a video that fails only means that the zero moment
    // shows the picture.
    void prepare();
    // The same, kPrepareDelayMs later; asking again changes nothing.
    void prepareSoon();
    // The zero moment: the video, looped, or else the picture filling the window (see above). A
    // picture that cannot be decoded is raised once it is known and laid out to fill the window.
    void start();
    // Plays a file over the whole window once it is ready: looped when the auto-play flag is
    // set, else once. Only a regular file plays (looked at away from this thread); anything else
    // leaves the screen as it was.
    void playFile(const QString& fileName);
    // The play command's video (findPlayCommandVideo), looked for away from this thread and
    // played once it is found, as playFile plays.
    void playCommandVideo();
    // The graph has played to its end: loop, or end the single pass.
    void graphComplete();
    // Ends any playback for good (the program ends); waits for the media thread at most waitMs.
    // True when none of the media's threads is left running.
    bool stop(int waitMs) noexcept;

    Phase phase() const { return m_phase; }
    bool autoPlay() const { return m_autoPlay; }
    void setAutoPlay(bool value) { m_autoPlay = value; }
    // True once the zero moment has come.
    bool started() const { return m_started; }
    // True once the zero moment has shown a picture: every later layout keeps it filling the
    // window.
    bool pictureFillsWindow() const { return m_fills; }
    // Look-ups of the media files that are still waiting on storage, in the whole process.
    static int lookupsRunning() { return s_lookups; }

private:
    void withMedia(std::function<void(MediaLayer*)> use);
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

    Parts m_parts;
    MediaLayer* m_media = nullptr;
    QString m_exePath;
    Phase m_phase = Phase::Idle;
    bool m_prepareSoonAsked = false;
    bool m_prepareTried = false;
    bool m_lookupDone = false;  // the zero-moment video has been looked for
    QString m_zeroVideo;        // what was found; empty for none
    bool m_videoFailed = false; // the zero-moment video cannot play: pictures from now on
    bool m_passLoops = false;
    uint64_t m_passRequest = 0; // the latest play command; older ones are dropped
    bool m_pictureAsked = false;
    bool m_pictureReady = false;
    PictureOutcome m_picture;
    bool m_pictureShown = false; // the zero moment shows the picture, not a video
    bool m_errorRaised = false;
    bool m_autoPlay = false;
    bool m_started = false;
    bool m_stopped = false;
    bool m_fills = false;
    uint64_t m_framesAtCompletion = 0;
};
