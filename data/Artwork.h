#pragma once
// The program's own pictures, rendered by the build from the SVG sources beside this file.

#include <QIcon>
#include <QImage>

// The application icon with every rendered size: the windows' icon.
QIcon applicationIcon();

// The maker's logo: 230 x 62 pixels, 24 bits per pixel, on a white ground that is meant to be
// drawn transparent.
QImage makerLogo();
