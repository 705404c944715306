// The program's own pictures for the splash window and the About box, painted at run time so
// they need no file beside the executable.
#pragma once

#include <QPixmap>

// The splash picture, 273 × 153: ground layers, the sounding rod and the product name.
QPixmap SplashPicture();
// The About box picture, 273 × 173, with a white field on the right for the version line.
QPixmap AboutPicture();
