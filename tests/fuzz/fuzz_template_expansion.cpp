// The fast template expander against the placeholder-by-placeholder procedure, on any template
// and any regional texts (which may hold '%' signs and placeholder letters themselves), with a
// clock that moves on at every reading: same text, same number of clock readings, and an end
// where the procedure would go on for ever.

#include "countdown/TemplateExpander.h"
#include "countdown/clock_support.h"
#include "countdown/step_by_step_expansion.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const uint8_t flags = in.byte();
    RegionalSettings regional;
    regional.leadingZeroHours = flags & 1;
    regional.twelveHour = flags & 2;
    regional.designatorFirst = flags & 4;
    const bool sample = flags & 8;
    regional.amDesignator = in.shortText();
    regional.pmDesignator = in.shortText();
    regional.timeSeparator = in.shortText();
    regional.shortDatePattern = in.shortText();
    regional.dateSeparator = in.shortText();
    const CountdownBreakdown breakdown = breakdownOf(in.number32());
    // One reading per statement: the order of a call's arguments is the compiler's choice, and
    // the replay must read an input as the fuzzer did.
    const int hour = in.byte() % 24;
    const int minute = in.byte() % 60;
    const int second = in.byte() % 60;
    const TDateTime target = encodeDateTime(at(2027, 1, 1, hour, minute, second));
    const CalendarTime start = at(2026, 12, 31, 23, 59, 58, in.byte() * 4 % 1000);
    const int stepMs = 1 + in.byte() * 4;
    const QString tmpl = in.restAsText();

    const SteppingClock procedureClock(start, stepMs);
    const SteppingClock clock(start, stepMs);
    std::optional<QString> expected;
    QString actual;
    if (sample) {
        expected = stepByStep(tmpl, true, {}, 0, procedureClock, {});
        actual = expandSample(tmpl, clock);
        if (!expected)
            fault("the sample procedure did not end");
    } else {
        expected = stepByStep(tmpl, false, breakdown, target, procedureClock, regional);
        actual = expandLive(tmpl, breakdown, target, clock, regional);
    }
    if (expected && (actual != *expected || clock.reads() != procedureClock.reads()))
        fault("the expander differs from the procedure");
    return 0;
}
