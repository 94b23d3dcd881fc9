#pragma once
// Whether the machine's clock keeps to the right time: the kernel's own view, and the time
// service's where one can be asked (systemd-timesyncd and timedated on the system bus, else
// chrony's report). Read only; nothing is changed.

#include <QString>

#include <optional>

struct KernelClock {
    bool synchronised = false;
    long estimatedErrorUs = 0; // the kernel's estimate of its error, in microseconds
};
KernelClock readKernelClock();

struct TimeServiceReport {
    QString name;         // "systemd-timesyncd", "chrony", "timedated"; empty when none found
    bool answered = true; // false: found, but it did not answer within the time given
    QString server;       // the time server it follows, where it says
    std::optional<bool> synchronised;
    std::optional<double> offsetSeconds; // the clock's last measured offset from the server
};
// Asks the time services in turn, each call waiting at most timeoutMs. Blocks: call it on a
// thread of its own.
TimeServiceReport askTimeService(int timeoutMs);
