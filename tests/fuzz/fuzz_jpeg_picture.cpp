// The JPEG decoder with its limits (pixel count, progressive scans, damaged data as an error).

#include "fuzz/fuzz_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    loadFuzzedPicture(QStringLiteral("picture.jpg"), data, size);
    return 0;
}
