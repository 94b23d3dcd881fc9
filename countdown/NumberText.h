#pragma once
// Numbers written straight into a growing text: the tick formats several of them five times a
// second, and going through a temporary string for each would allocate every time.

#include <QString>
#include <cstdint>

// The decimal form of value, with leading zeros up to minDigits digits (a minus sign leads).
void appendDecimal(QString& out, int64_t value, int minDigits = 1);
