// The clean-up of help pages before they are laid out. The first four bytes choose small
// limits, so that the fuzzer reaches them; the rest is the page. The page that comes out must
// keep to the size limit and come back unchanged from a second clean-up.

#include "fuzz/fuzz_support.h"
#include "helpviewer/HelpPage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    HelpPageLimits limits;
    limits.maxChars = 16 + qsizetype(in.byte()) * 64;
    limits.maxElements = 1 + in.byte() % 64;
    limits.maxDepth = 1 + in.byte() % 16;
    limits.maxTableDepth = in.byte() % 4;
    const QString page = in.restAsText();
    const QString bounded = boundedHelpPage(page, limits);
    if (bounded.size() > limits.maxChars)
        fault("the page is longer than its limit");
    if (boundedHelpPage(bounded, limits) != bounded)
        fault("a second clean-up changes the page");
    // The program's own limits on the same page.
    boundedHelpPage(page);
    return 0;
}
