#pragma once
// What the window shows when the count ends, and the play command's single pass. The video
// beside the program is made ready in the last seconds before zero (decoded up to its first
// frame, paused and hidden) so that the first frame follows the title at once; a video that
// cannot play gives way to the pictures; the zero-moment video loops without a gap; a pass
// that brings no frame ends the loop instead of spinning.

#include <QObject>
#include <QString>

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
        // The media graph and its video window, made on the first call; null when there is no
        // media layer to be had, which plays like a video that cannot be played.
        std::function<MediaLayer*()> media;
        // Lays the picture out to fill the window (the window knows its own layout).
        std::function<void()> fillWindow;
    };

    // How long before zero the video is made ready, in whole seconds left.
    static constexpr int kPrepareSeconds = 5;
    // How long after the tick that asks for it: the decoding then runs away from the second's
    // boundary and does not hold up the title's next change.
    static constexpr int kPrepareDelayMs = 300;

    // The media are the files found beside the program at exePath (found only as regular
    // files: a named pipe or a device of that name would block whoever opens it).
    ZeroMoment(Parts parts, const QString& exePath, QObject* parent = nullptr);

    // Before zero: renders the video beside the program and leaves it paused and hidden. Runs
    // once; a failure only decides that the zero moment shows the pictures.
    void prepare();
    // The same, kPrepareDelayMs later; asking again changes nothing.
    void prepareSoon();
    // The zero moment: the video, looped, or else the picture filling the window. A picture
    // that cannot be decoded is raised after the picture has been laid out to fill the window.
    void start();
    // Plays a file over the whole window: looped when the auto-play flag is set, else once.
    // Only regular files reach the media layer; nothing playable leaves the screen as it was.
    void playFile(const QString& fileName);
    // The graph has played to its end: loop, or end the single pass.
    void graphComplete();
    // Ends any playback for good (the program ends).
    void stop() noexcept;

    bool autoPlay() const { return m_autoPlay; }
    void setAutoPlay(bool value) { m_autoPlay = value; }
    // True once the zero moment has come.
    bool started() const { return m_started; }
    // True once the zero moment has shown a picture: every later layout keeps it filling the
    // window.
    bool pictureFillsWindow() const { return m_fills; }

private:
    // What the graph holds: nothing, the zero-moment video made ready before zero, the
    // zero-moment video looping, or a single pass of the play command.
    enum class Phase { Idle, Prepared, Looping, Once };

    QString videoBesideProgram() const;
    // The media layer, made on first need; null when there is none.
    MediaLayer* media();
    bool render(const QString& path, bool loop) noexcept;
    bool run() noexcept;
    void showVideo();
    void endPass() noexcept;
    void failed();
    void showZeroMedia();
    void showPicture();

    Parts m_parts;
    MediaLayer* m_media = nullptr;
    QString m_exePath;
    Phase m_phase = Phase::Idle;
    bool m_prepareTried = false;
    bool m_videoFailed = false; // the zero-moment video cannot play: pictures from now on
    bool m_autoPlay = false;
    bool m_started = false;
    bool m_fills = false;
    uint64_t m_framesAtCompletion = 0;
};
