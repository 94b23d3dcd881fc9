// The help reader on its own, started by the help tests as the program starts itself.

#include "helpviewer/HelpReader.h"

int main(int argc, char** argv) { return runHelpReader(argc, argv); }
