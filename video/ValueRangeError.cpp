#include "video/ValueRangeError.h"

void checkValueRange(int value, int lo, int hi, const char* rangeText)
{
    if (value >= lo && value <= hi)
        return;
    throw EValueRangeError("Value " + std::to_string(value) +
                           " out of range. Value must bee between " + rangeText);
}
