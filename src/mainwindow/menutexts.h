// Caption, shortcut and status-bar hint of every menu, menu item and tool button of the main
// window. The window builds its commands from this table only, so each text lives in one place.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

struct TCommandText
{
    QString Name;          // the object name of the menu, item or button
    QString Caption;       // menus and items: "&" marks the Alt letter
    QKeySequence Shortcut; // a menu's own shortcut opens it
    QString Hint;          // tool buttons "short|long"; menus and items the long text alone
};

// In the order of the tool bar, then of the menu bar with each menu's items.
const QList<TCommandText> &CommandTexts();

// The entry named `name`. A command missing from the table stops the program at once, so it
// cannot go unnoticed.
const TCommandText &CommandText(const char *name);
