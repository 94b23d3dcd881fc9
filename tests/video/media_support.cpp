#include "media_support.h"

#include "video/GstOwners.h"
#include "video/GstRuntime.h"
#include "video/MediaGraphError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gst/gst.h>

#include <memory>

using namespace yearmark::video;

std::vector<std::string> CatchingApplication::caught;

bool CatchingApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        caught.emplace_back(e.what());
        return false;
    }
}

bool makeMedia(const QString& path, const std::string& description)
{
    ensureGStreamer();
    GError* raw = nullptr;
    std::string launch = description;
    const std::string sink = "filesink location=\"" + QFile::encodeName(path).toStdString() + "\"";
    launch.replace(launch.find("OUT"), 3, sink);
    GstElement* made = gst_parse_launch(launch.c_str(), &raw);
    if (made)
        gst_object_ref_sink(made); // parse_launch gives a floating pipeline
    ElementPtr pipeline(made);
    GErrorPtr error(raw);
    if (!pipeline || error)
        return false;
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    BusPtr bus(gst_element_get_bus(pipeline.get()));
    MessagePtr msg(gst_bus_timed_pop_filtered(bus.get(), 20 * GST_SECOND,
                                              GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    const bool ok = msg && GST_MESSAGE_TYPE(msg.get()) == GST_MESSAGE_EOS;
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    return ok;
}

#include <sys/stat.h>

namespace {
TestClips makeClips()
{
    static QTemporaryDir tmp;
    TestClips c;
    c.dir = tmp.path();
    const std::string green =
        "videotestsrc num-buffers=25 pattern=solid-color foreground-color=0xff00ff00 ! ";
    c.video43 = c.dir + "/clip43.avi";
    makeMedia(c.video43,
              green + "video/x-raw,width=160,height=120,framerate=25/1 ! jpegenc ! avimux ! OUT");
    c.sound43 = c.dir + "/sound43.avi";
    makeMedia(
        c.sound43,
        green +
            "video/x-raw,width=160,height=120,framerate=25/1 ! jpegenc ! queue ! avimux name=m ! "
            "OUT audiotestsrc num-buffers=10 samplesperbuffer=4410 ! "
            "audio/x-raw,rate=44100,channels=1 ! queue ! m.");
    c.wide169 = c.dir + "/clip169.avi";
    makeMedia(c.wide169,
              green + "video/x-raw,width=320,height=180,framerate=25/1 ! jpegenc ! avimux ! OUT");
    c.audioOnly = c.dir + "/audio.avi";
    makeMedia(c.audioOnly, "audiotestsrc num-buffers=10 samplesperbuffer=4410 ! "
                           "audio/x-raw,rate=44100,channels=1 ! avimux ! OUT");
    c.empty = c.dir + "/empty.avi";
    QFile(c.empty).open(QIODevice::WriteOnly);
    const auto cut = [&](const QString& name, qint64 bytes) {
        QFile in(c.video43), out(c.dir + name);
        if (in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly))
            out.write(in.read(bytes < 0 ? in.size() / 2 : bytes));
        return out.fileName();
    };
    c.cutHeader = cut("/cut.avi", 200);
    {
        QFile in(c.video43);
        const qint64 movi = in.open(QIODevice::ReadOnly) ? in.readAll().indexOf("movi") : -1;
        c.cutFrames = cut("/cutmovi.avi", movi > 0 ? movi + 4 : 0);
    }
    c.cutHalf = cut("/half.avi", -1);
    c.noFrames = c.dir + "/noframes.avi";
    {
        QFile in(c.video43), out(c.noFrames);
        if (in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly))
            out.write(in.readAll().replace(QByteArray("\xff\xd8\xff"), QByteArray(3, '\0')));
    }
    c.noise = c.dir + "/noise.avi";
    {
        QFile out(c.noise);
        if (out.open(QIODevice::WriteOnly))
            for (int i = 0; i < 200; ++i)
                out.write("This is not a video, only words in a file.\n");
    }
    const QString odd = c.dir + QString::fromUtf8("/Ordner mit Ümläut #1 %20");
    QDir().mkpath(odd);
    c.oddPath = odd + QString::fromUtf8("/Jahr #2027 %d ä.avi");
    QFile::copy(c.video43, c.oddPath);
    c.missing = c.dir + "/nowhere/missing.avi";
    c.noName = QString();
    c.pipe = c.dir + "/pipe.avi";
    ::mkfifo(QFile::encodeName(c.pipe).constData(), 0600);
    return c;
}
} // namespace

const TestClips& testClips()
{
    static const TestClips clips = makeClips();
    return clips;
}
