#pragma once
// The program's own pictures, rendered by the build from the SVG sources beside this file.

#include <QIcon>

// The application icon with every rendered size: the windows' icon.
QIcon applicationIcon();
