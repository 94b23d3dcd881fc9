#pragma once
// A picture setting outside its range is refused with the system's own message, whose wording
// ("must bee between") users of the original controls know; the old value stays.

#include <stdexcept>
#include <string>

class EValueRangeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws EValueRangeError with "Value <v> out of range. Value must bee between <rangeText>"
// unless lo <= value <= hi.
void checkValueRange(int value, int lo, int hi, const char* rangeText);
