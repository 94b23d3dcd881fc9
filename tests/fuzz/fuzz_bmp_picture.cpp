// The bitmap path: our check for files cut short, then the image reader with its allocation
// limit.

#include "fuzz/fuzz_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    loadFuzzedPicture(QStringLiteral("picture.bmp"), data, size);
    return 0;
}
