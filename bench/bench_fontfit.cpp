// Title font fitting: the literal trial of every size against the quick search, for the
// built-in sample on a 1920 x 1080 screen at 96 dpi. "Cold" runs each fitting in a fresh
// process, as the first layout meets it (no font sizes cached yet); "warm" repeats it in one
// process, as a second resize to the same size does.

#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QFontMetrics>
#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "display/FontFitting.h"

namespace {

const QString kBuiltIn =
    "Bis zum Jahr 2027 sind es noch:\r\n000 Tage(n) 000 Stunde(n) 00 Minute(n) 00 Sekunde(n)";
// A short template such as a bare two-digit count: it fits even at the largest size, so the
// literal trial goes through all 512 sizes.
const QString kShort = "00";
const QSize kArea(1920, 1080);
constexpr int kDpi = 96;
constexpr double kGoalMs = 10.0;

QFont titleFont()
{
    QFont font("Arial");
    font.setPixelSize(48);
    font.setBold(true);
    return font;
}

int runFitting(const QString& sample, bool plain)
{
    return plain ? plainScanFontSize(sample, titleFont(), kArea, kDpi)
                 : fitTitleFontSize(sample, titleFont(), kArea, kDpi);
}

// How many sizes each way measures.
int sizesMeasured(const QString& sample, bool plain)
{
    const QStringList lines = sample.split("\r\n");
    const SampleMeasure measure(lines, titleFont(), kDpi);
    int count = 0;
    const ExtentAtSize counted = [&](int points) {
        ++count;
        return measure.at(points);
    };
    const TitleRoom room {kArea.width(), kArea.height(), int(lines.size())};
    plain ? firstOverflowingSizeByScan(counted, room) : firstOverflowingSize(counted, room);
    return count;
}

// One fitting in this fresh process; the font database is loaded first, as it is by the time
// the main window lays itself out.
int once(const QString& sample, bool plain)
{
    (void)QFontMetrics(QFont("DejaVu Sans", 9)).height();
    QElapsedTimer timer;
    timer.start();
    const int size = runFitting(sample, plain);
    std::printf("%.3f %d\n", static_cast<double>(timer.nsecsElapsed()) / 1e6, size);
    return 0;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

struct Cold {
    double ms = 0;
    double best = 0;
    int size = -1;
};

Cold cold(const char* which, bool plain, int runs)
{
    std::vector<double> times;
    Cold result;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {"--once", which, plain ? "plain" : "fast"});
        if (!child.waitForFinished(60000))
            continue;
        const QStringList fields =
            QString::fromUtf8(child.readAllStandardOutput()).split(' ', Qt::SkipEmptyParts);
        if (fields.size() != 2)
            continue;
        times.push_back(fields[0].toDouble());
        result.size = fields[1].trimmed().toInt();
    }
    result.ms = median(times);
    result.best = times.empty() ? 0.0 : *std::min_element(times.begin(), times.end());
    return result;
}

double warm(const QString& sample, bool plain, int runs)
{
    runFitting(sample, plain);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        runFitting(sample, plain);
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

void report(const char* which, const QString& sample, bool withGoal)
{
    constexpr int kRuns = 9;
    const Cold plainCold = cold(which, true, kRuns);
    const Cold fastCold = cold(which, false, kRuns);
    const double plainWarm = warm(sample, true, kRuns);
    const double fastWarm = warm(sample, false, kRuns);

    std::printf("title font fitting, %s sample, %dx%d at %d dpi (median of %d)\n", which,
                kArea.width(), kArea.height(), kDpi, kRuns);
    std::printf("  plain scan, cold:   %8.2f ms (best %.2f)   size %d   %d sizes measured\n",
                plainCold.ms, plainCold.best, plainCold.size, sizesMeasured(sample, true));
    std::printf("  quick search, cold: %8.2f ms (best %.2f)   size %d   %d sizes measured",
                fastCold.ms, fastCold.best, fastCold.size, sizesMeasured(sample, false));
    if (withGoal)
        std::printf("   goal <= %.0f ms  %s", kGoalMs, fastCold.ms <= kGoalMs ? "met" : "MISSED");
    std::printf("\n  plain scan, warm:   %8.2f ms\n", plainWarm);
    std::printf("  quick search, warm: %8.2f ms\n", fastWarm);
    std::printf("  same size: %s\n",
                plainCold.size == fastCold.size && plainCold.size > 0 ? "yes" : "NO");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--once") == 0)
        return once(std::strcmp(argv[2], "short") == 0 ? kShort : kBuiltIn,
                    std::strcmp(argv[3], "plain") == 0);
    report("built-in", kBuiltIn, true);
    report("short", kShort, false);
    return 0;
}
