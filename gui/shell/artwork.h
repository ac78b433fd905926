#pragma once

#include <QIcon>
#include <QImage>

namespace kresograf {

// Pictures the program draws for itself: toolbar buttons (16 x 15), the start-up picture, the
// about box picture and the program icon.
QIcon ToolbarIcon(int commandId);
QImage SplashPicture();
QImage AboutPicture();
QIcon ProgramIcon();

}  // namespace kresograf
