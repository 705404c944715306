// Where the program's dialogs open on the screen.
#pragma once

class QWidget;

// Moves the not yet shown `window` so that it stands centred on the screen of its parent (the
// primary screen for a window without one), within the part not taken by panels. The dialog
// then opens there instead of over its parent window. Call it once the window has its size.
void CentreOnScreen(QWidget *window);
