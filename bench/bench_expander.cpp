// How long the title expansion takes: a 1 MB template with 100,000 placeholders (goal: well
// under 100 ms), and the built-in template as each tick expands it five times a second.

#include "countdown/Countdown.h"
#include "countdown/TemplateExpander.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>
#include <vector>

namespace {

QString bigTemplate()
{
    const char16_t* const placeholders[] = {u"%Y", u"%T", u"%H", u"%M", u"%S",
                                            u"%A", u"%C", u"%U", u"%D", u"%Z"};
    std::mt19937 random(1);
    QString t;
    t.reserve(1 << 20);
    const int count = 100'000;
    // About 1 MB: placeholders, and literal text with '%' signs, lower-case letters and CR LF.
    const int literalPerGap = (1'000'000 - 2 * count) / count;
    for (int i = 0; i < count; ++i) {
        t += QStringView(placeholders[random() % 10]);
        for (int k = 0; k < literalPerGap - 2; ++k)
            t += QChar(char16_t(u'a' + random() % 26));
        t += (i % 7 == 0) ? QStringLiteral("\r\n") : QStringLiteral("%t");
    }
    return t;
}

double threadCpuMs()
{
    timespec ts {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// The fastest of several runs, in processor time of this thread: the machine may be busy with
// other work, which would only add to wall-clock figures.
template <typename F>
double bestMs(int runs, F f)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const double start = threadCpuMs();
        f();
        ms.push_back(threadCpuMs() - start);
    }
    return *std::min_element(ms.begin(), ms.end());
}

} // namespace

int main()
{
    const SystemClock clock;
    const RegionalSettings regional = RegionalSettings::fromLocale("de_DE.UTF-8");
    const TDateTime target = newYearMoment(clock);
    const CountdownBreakdown breakdown = breakdownOf(remainingSeconds(nowValue(clock), target));

    const QString big = bigTemplate();
    qsizetype outSize = 0;
    const double liveMs =
        bestMs(9, [&] { outSize = expandLive(big, breakdown, target, clock, regional).size(); });
    const double sampleMs = bestMs(9, [&] { outSize += expandSample(big, clock).size(); });
    std::printf("1 MB template (%lld characters, 100000 placeholders), live expansion:   %7.2f ms  "
                "(goal: well under 100 ms)\n",
                static_cast<long long>(big.size()), liveMs);
    std::printf("1 MB template, sample expansion:                                       %7.2f ms  "
                "(goal: well under 100 ms)\n",
                sampleMs);

    const int calls = 200'000;
    const double builtInMs = bestMs(5, [&] {
        for (int i = 0; i < calls; ++i)
            outSize += expandLive(kDefaultTemplate, breakdown, target, clock, regional).size();
    });
    std::printf("built-in template, one live expansion:                                 %7.3f us  "
                "(goal: a few us; a tick needs it 5 times a second)\n",
                builtInMs * 1000.0 / calls);
    const QString clockTemplate = QStringLiteral("%C %D\r\n%T Tage %H:%M:%S");
    const double clockMs = bestMs(5, [&] {
        for (int i = 0; i < calls / 4; ++i)
            outSize += expandLive(clockTemplate, breakdown, target, clock, regional).size();
    });
    std::printf("template with current time and date, one live expansion:               %7.3f us  "
                "(goal: a few us)\n",
                clockMs * 1000.0 / (calls / 4));
    return outSize > 0 ? 0 : 1;
}
