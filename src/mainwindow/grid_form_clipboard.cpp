// The main window's clipboard: the remembered grid selection and the test information as text,
// and whole rows held for pasting while a test is typed in.
#include "grid_form.h"

#include "clipboard.h"
#include "cmbgrid.h"
#include "events.h"
#include "messages.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

void Tgrid_form::CopyCellRange(int left, int top, int right, int bottom)
{
    QGuiApplication::clipboard()->setText(CellRangeText(*SoundGrid, left, top, right, bottom));
}

void Tgrid_form::CopyTestInfo()
{
    QGuiApplication::clipboard()->setText(TestInfoText(Test.NormalLog.info()));
}

void Tgrid_form::RememberSelection()
{
    const TGridRect rect = SoundGrid->Selection();
    SelLeft = rect.Left;
    SelTop = rect.Top;
    SelRight = rect.Right;
    SelBottom = rect.Bottom;
}

void Tgrid_form::copyselClick()
{
    TWaitCursor wait;
    CopyCellRange(SelLeft, SelTop, SelRight, SelBottom);
}

void Tgrid_form::Copy1Click()
{
    CopiedRows = CopyGridRows(*SoundGrid, SelLeft, SelTop, SelRight, SelBottom);
    if (Paste1)
        Paste1->setEnabled(true);
    copyselClick();
}

void Tgrid_form::Paste1Click()
{
    // The item is disabled while nothing is held; a shortcut or a script may still get here.
    if (!CopiedRows)
        return;
    if (!PasteGridRows(*CopiedRows, *SoundGrid, SelTop, SelBottom))
        Messages().error(QStringLiteral("貼り付けできません"), this);
}
