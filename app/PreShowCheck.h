#pragma once
// The pre-show check: one line for each thing the night depends on, each with its verdict, so
// that the operator learns before the party what the countdown will use and what will fail.
// It opens no window, and it needs no display for what does not depend on one.

#include "app/CommandLine.h"

// Prints the check's lines to standard output as their answers come in, each item within its
// own time limit, and ends the process: status 0 when nothing is at fault, 1 otherwise. Makes the
// application object itself: a QGuiApplication only when a display answers (for the screens),
// a QCoreApplication otherwise.
[[noreturn]] void runPreShowCheck(int& argc, char** argv, const CommandLine& commandLine);
