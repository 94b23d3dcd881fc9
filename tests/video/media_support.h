#pragma once
// Helpers shared by the media tests: small AVI clips made with GStreamer once per test program,
// waiting for a condition on the running event loop, and an application that catches the media
// errors raised from queued bus handling the way the program's one catcher does.

#include <QApplication>
#include <QString>

#include <functional>
#include <string>
#include <vector>

struct TestClips {
    QString dir;
    QString video43;   // 160 x 120 MJPEG, 25 fps, 1 s, solid green, no sound
    QString sound43;   // the same with a sine tone
    QString wide169;   // 320 x 180 MJPEG, 1 s, solid green
    QString audioOnly; // an AVI holding only sound
    QString empty;     // 0 bytes
    QString cutHeader; // the first 200 bytes of video43
    QString cutFrames; // video43 cut right after its header: streams announced, no frame
    QString cutHalf;   // the first half of video43
    QString noFrames;  // video43 whose frames have lost their JPEG start: every one is dropped
    QString noise;     // text bytes named .avi
    QString oddPath;   // video43 in a folder and file name with spaces, '#', '%' and umlauts
    QString missing;   // a name that does not exist
    QString noName;    // empty
    QString pipe;      // a named pipe called .avi that nobody writes to
};

// Made on first use in a temporary folder that lives until the program ends.
const TestClips& testClips();

// Makes one file with a gst-launch style description in which the word OUT stands for the file
// sink.
bool makeMedia(const QString& path, const std::string& description);

class CatchingApplication : public QApplication {
public:
    CatchingApplication(int& argc, char** argv)
        : QApplication(argc, argv)
    { }
    bool notify(QObject* receiver, QEvent* event) override;
    static std::vector<std::string> caught;
};
