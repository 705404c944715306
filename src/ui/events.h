// The program's private window messages as custom events, and the hourglass for long work.
#pragma once

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QtGlobal>

// The numbers are fixed: other windows and the communication library post them by number.
inline constexpr QEvent::Type WM_GRAPHREFRESH = QEvent::Type(QEvent::User + 100);
inline constexpr QEvent::Type WM_TERMANSWER = QEvent::Type(QEvent::User + 101);
inline constexpr QEvent::Type WM_OPENSTARTFILE = QEvent::Type(QEvent::User + 102);

// One posted window message with its two parameters (WM_TERMANSWER: WParam 1 = failure, the
// failure code in LParam).
class TWindowMessage : public QEvent
{
public:
    explicit TWindowMessage(QEvent::Type type, qintptr wParam = 0, qintptr lParam = 0)
        : QEvent(type), WParam(wParam), LParam(lParam)
    {}

    qintptr WParam;
    qintptr LParam;
};

// Shows the hourglass for the life of the object, restoring the cursor even when the work
// throws.
class TWaitCursor
{
public:
    TWaitCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~TWaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor &) = delete;
    TWaitCursor &operator=(const TWaitCursor &) = delete;
};
