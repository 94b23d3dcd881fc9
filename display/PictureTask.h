#pragma once
// Finds and decodes a picture away from the user-interface thread: the storage it lies on may
// be slow or hung, and a large or hostile picture may take long to decode. The count goes on
// meanwhile; the picture is handed over when it is ready.

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <functional>

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
