// Opening a file or an address with the desktop's own program, and learning when none could.
#pragma once

#include <functional>

class QObject;
class QUrl;

// Hands `url` to the desktop's handler. `failed` runs (in `context`'s thread, while it lives) when
// no program could open it: at once when the handler cannot be started, or later when it ends
// with a failure, which is how xdg-open reports that it found no program for the file.
void OpenWithDesktop(const QUrl &url, QObject *context, std::function<void()> failed);
