#pragma once
// Sends the debug log of one pipeline (its own and its elements' and pads' lines) to a file, so
// that a failing render can be read afterwards without switching on GStreamer's global log.

#include <gst/gst.h>

#include <QString>

#include <cstdio>
#include <memory>
#include <mutex>

class PipelineLog {
public:
    // Opens (truncates) the file; throws EMediaGraphError when it cannot be created.
    PipelineLog(const QString& fileName, GstElement* pipeline);
    ~PipelineLog();
    PipelineLog(const PipelineLog&) = delete;
    PipelineLog& operator=(const PipelineLog&) = delete;

private:
    struct FileClose {
        void operator()(std::FILE* f) const noexcept
        {
            if (f)
                std::fclose(f);
        }
    };
    static void logFunction(GstDebugCategory* category, GstDebugLevel level, const gchar* file,
                            const gchar* function, gint line, GObject* object,
                            GstDebugMessage* message, gpointer userData) noexcept;

    std::mutex m_mutex;
    std::unique_ptr<std::FILE, FileClose> m_file;
    GstElement* m_pipeline; // borrowed: the graph drops the log before the pipeline
    GstDebugLevel m_oldThreshold;
    bool m_hadDefaultLog;
};
