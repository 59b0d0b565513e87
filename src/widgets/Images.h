#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures, compiled into the program.

// The racehorse on the green rounded square, at 32 and 256 pixels.
QIcon ProgramIcon();
// "RUV PELTON" beside the galloping racehorse, 640 x 200 pixels.
QPixmap LogoImage();
