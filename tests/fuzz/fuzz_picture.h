#pragma once
// One picture file of the given name through the loader the window uses, for a full-HD-sized
// area: it either comes back within the pixel limit or is refused with an EPictureError.

#include "display/PictureLoader.h"
#include "fuzz/fuzz_support.h"

inline void loadFuzzedPicture(const QString& name, const uint8_t* data, size_t size)
{
    const QString path = scratchPath(name);
    writeScratch(path, data, size);
    try {
        const QImage image = loadPicture(path, QSize(1920, 1080));
        if (image.isNull())
            fault("a null picture came back without an error");
        if (qint64 {image.width()} * image.height() * 4 > kMaxPictureBytes)
            fault("a picture over the size limit was decoded");
    } catch (const EPictureError&) {
        // A refused picture is the answer expected for most inputs.
    }
}
