#pragma once
// Measures, when asked for, how long the UI thread goes without looking at its event sources:
// each stretch of work between two waits of the event loop of at least a millisecond is
// appended to the file named by YEARMARK_BUSY_LOG as "<wall-clock seconds> <milliseconds>"
// (the wall clock when the stretch began, as the program reads it). A stretch that goes on
// is also written while it lasts, at 100, 200, 400 … ms, so that a thread that never comes
// back is seen too. Without the variable it does nothing and costs nothing.

#include <thread>

class BusyWatch {
public:
    BusyWatch();
    ~BusyWatch();
    BusyWatch(const BusyWatch&) = delete;
    BusyWatch& operator=(const BusyWatch&) = delete;

private:
    std::jthread m_lookout;
};
