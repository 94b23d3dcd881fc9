#include "video/PipelineLog.h"

#include "video/MediaGraphError.h"

#include <QFile>

namespace {
// Lines written while a graph logs come through one global log function list; count the
// graphs that log so that the default output is restored only by the last one.
std::mutex gLogUsers;
int gLogCount = 0;
} // namespace

PipelineLog::PipelineLog(const QString& fileName, GstElement* pipeline)
    : m_pipeline(pipeline)
{
    m_file.reset(std::fopen(QFile::encodeName(fileName).constData(), "w"));
    if (!m_file) {
        const uint32_t code = media_codes::fileNotFound;
        throw EMediaGraphError(EMediaGraphError::formatMessage("Could not create the log file " +
                                                                   fileName.toStdString() + ".",
                                                               code),
                               code);
    }
    std::lock_guard lock(gLogUsers);
    m_oldThreshold = gst_debug_get_default_threshold();
    m_hadDefaultLog = gLogCount == 0 && gst_debug_remove_log_function(gst_debug_log_default) > 0;
    ++gLogCount;
    gst_debug_set_active(TRUE);
    if (m_oldThreshold < GST_LEVEL_INFO)
        gst_debug_set_default_threshold(GST_LEVEL_INFO);
    gst_debug_add_log_function(&PipelineLog::logFunction, this, nullptr);
}

PipelineLog::~PipelineLog()
{
    gst_debug_remove_log_function_by_data(this);
    std::lock_guard lock(gLogUsers);
    --gLogCount;
    gst_debug_set_default_threshold(m_oldThreshold);
    if (m_hadDefaultLog)
        gst_debug_add_log_function(gst_debug_log_default, nullptr, nullptr);
}

void PipelineLog::logFunction(GstDebugCategory* category, GstDebugLevel level, const gchar* file,
                              const gchar* function, gint line, GObject* object,
                              GstDebugMessage* message, gpointer userData) noexcept
{
    auto* self = static_cast<PipelineLog*>(userData);
    if (!object || !GST_IS_OBJECT(object))
        return;
    GstObject* gstObject = GST_OBJECT(object);
    // Walks the parents without their locks: lines are often logged while one of them is held.
    GstObject* ancestor = gstObject;
    while (ancestor && ancestor != GST_OBJECT(self->m_pipeline))
        ancestor = GST_OBJECT_PARENT(ancestor);
    if (!ancestor)
        return;
    const gchar* text = gst_debug_message_get(message);
    std::lock_guard lock(self->m_mutex);
    std::fprintf(self->m_file.get(), "%" GST_TIME_FORMAT " %-7s %20s %s:%d:%s:<%s> %s\n",
                 GST_TIME_ARGS(gst_util_get_timestamp()), gst_debug_level_get_name(level),
                 gst_debug_category_get_name(category), file, line, function,
                 GST_OBJECT_NAME(gstObject), text ? text : "");
    std::fflush(self->m_file.get());
}
