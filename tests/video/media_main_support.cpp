// The media tests' program: an application that catches what escapes the event loop. A file
// of its own, so that a test program with a main of its own still takes the other helpers.

#include "media_support.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    CatchingApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // News of the last graph (bus messages, repaint requests) still wait in the queue; deliver
    // them so that nothing handed to the event loop outlives the program unreleased.
    QCoreApplication::sendPostedEvents();
    return result;
}
