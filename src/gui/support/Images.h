#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>

// The program's own pictures, compiled into the program.

// The racehorse on the green rounded square, at 32 and 256 pixels.
QIcon ProgramIcon();
// "RUV PELTON" beside the galloping racehorse, 640 x 200 pixels.
QPixmap LogoImage();

// The pictures of the main window's commands (ImageList1), by image number.
namespace commandImage {
constexpr int kOpen = 0;
constexpr int kClose = 1;
constexpr int kContents = 2;
constexpr int kAbout = 3;
constexpr int kExit = 4;
constexpr int kRaceIndex = 5;
constexpr int kSettings = 6;
constexpr int kHorseNames = 7;
constexpr int kCount = 8;
} // namespace commandImage

// The pictures of the race index's nodes (ImageList2), by image number.
namespace nodeImage {
constexpr int kVenue = 0;
constexpr int kRace = 1;
constexpr int kCount = 2;
} // namespace nodeImage

// Drawn for 16 x 16 pixels and kept at 16, 24, 32 and 48 pixels, so that they stay
// sharp on a screen of any pixel ratio.
QList<QIcon> CommandImages();
QList<QIcon> NodeImages();
