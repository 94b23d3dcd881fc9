#pragma once
// Work away from the user-interface thread, handed back to it when done: finding and decoding
// a picture (the storage it lies on may be slow or hung, and a large or hostile picture may
// take long to decode) and other look-ups of files. The count goes on meanwhile.

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <any>
#include <functional>

// Runs work on a thread of its own that is never waited for: one stuck on hung storage costs
// nothing but itself, and the program ends without it. done then gets what work returned, on
// context's thread, unless context is gone by then (a null context asks for nothing). work is
// destroyed on its thread, so it should hold plain values only; done stays on context's thread.
// False when no thread could be started; done never runs then.
bool runDetachedAny(std::function<std::any()> work, QObject* context,
                    std::function<void(std::any)> done);

template <typename T>
bool runDetached(std::function<T()> work, QObject* context, std::function<void(T)> done)
{
    return runDetachedAny(
        [work = std::move(work)] { return std::any(work()); }, context,
        [done = std::move(done)](std::any value) { done(std::any_cast<T>(std::move(value))); });
}

struct PictureOutcome {
    QString path;  // the file found; empty when there was none
    QImage image;  // null when none was found or it could not be shown
    QString error; // the error box's text for a file that exists but cannot be shown
};

// Runs locate (which may look at slow storage; it returns the file to show, or an empty string
// for none) and then decodes what it found, no larger than needed to cover largestArea, on a
// thread of its own. done runs afterwards on context's thread, unless context is gone by then.
// The thread is never waited for: one stuck on hung storage costs nothing but itself, and the
// program ends without it.
//
// Call it on context's thread. locate runs on the job's thread and is destroyed there, so it
// should hold plain values only; done stays on context's thread and is destroyed with context
// or after it has run. A null context asks for nothing to be delivered.
//
// The program asks for a picture at most a few times in a run (the background at start, the
// zero moment's picture), so the jobs are neither counted nor queued: a stuck one is no more
// than a sleeping thread.
void loadPictureAsync(std::function<QString()> locate, QSize largestArea, QObject* context,
                      std::function<void(PictureOutcome)> done);

// The picture smoothly scaled to size, made on a thread of its own (a full-screen picture takes
// tens of milliseconds); done gets it on context's thread, unless context is gone by then.
void scalePictureAsync(QImage picture, QSize size, QObject* context,
                       std::function<void(QImage)> done);
