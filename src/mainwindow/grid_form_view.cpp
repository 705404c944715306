// The main window's presentation of the open test: the data grid, its filling, the window's
// size rules with the grid's write-back, and the switch between the normal and rounded views.
#include "grid_form.h"

#include "cmbgrid.h"
#include "derived.h"
#include "errors.h"
#include "events.h"
#include "formtexts.h"
#include "messages.h"
#include "presentation.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QResizeEvent>
#include <QToolButton>

namespace {

// One column of the data grid as the window description holds it.
struct TColumnDesign
{
    int Width;
    quint8 Kind;
    quint8 TitleAlign;
    quint8 Align;
    QStringList Items;
    int DropDownWidth;
    bool Editable;
};

constexpr quint8 kLeft = caLeft | caMiddle;     // 17
constexpr quint8 kCentre = caCenter | caMiddle; // 18
constexpr quint8 kRight = caRight | caMiddle;   // 20

// Text columns carry two empty entries: no edit mask, no number picture.
const QStringList kPlainText = {QString(), QString()};

const TColumnDesign kColumns[] = {
    // D (m)
    {55, ckText, kRight, kRight, kPlainText, 0, true},
    // Wsw(kN)
    {53, ckDropDown, kRight, kRight, {"1.00", "0.75", "0.50", "0.25", "0.15", "0.05"}, 50, true},
    // Na
    {64, ckText, kCentre, kRight, kPlainText, 0, true},
    // Nsw
    {64, ckText, kCentre, kRight, kPlainText, 0, false},
    // 観察: the observation texts of the reference tables come at start-up
    {64, ckDropDown, kLeft, kLeft, {}, 100, true},
    // 土質: replaced by the reference tables' soil types at start-up
    {64, ckDropDown, kLeft, kLeft, {"砂質土", "粘性土"}, 57, true},
    // 換算Ｎ値
    {64, ckText, kCentre, kRight, kPlainText, 0, false},
};

// The title row and the data rows; the rows a shown test adds take the data rows' height.
constexpr int kHeaderRowHeight = 19;
constexpr int kDataRowHeight = 24;
constexpr int kDesignRowCount = 8;

} // namespace

void Tgrid_form::createSoundGrid(QWidget *parent)
{
    SoundGrid = new TComboGrid(parent);
    SoundGrid->setObjectName(QStringLiteral("SoundGrid"));
    SoundGrid->SetColCount(int(std::size(kColumns)));
    SoundGrid->SetRowCount(kDesignRowCount);
    SoundGrid->SetFixedCols(0);
    SoundGrid->SetFixedRows(1);
    SoundGrid->SetDefaultRowHeight(kDataRowHeight);
    SoundGrid->SetRowHeights(0, kHeaderRowHeight);
    // Nothing is edited before a test is there; opening and manual input choose the behaviour.
    SoundGrid->SetOptions(kGridLines | goRangeSelect);

    const QStringList headers = GridHeaderTexts();
    for (int col = 0; col < int(std::size(kColumns)); ++col) {
        const TColumnDesign &design = kColumns[col];
        SoundGrid->SetColWidths(col, design.Width);
        SoundGrid->SetCells(col, 0, headers.value(col));
        TCellKind &kind = SoundGrid->GetCellKind(col);
        kind.SetKind(design.Kind);
        kind.SetTitleAlign(design.TitleAlign);
        kind.SetAlign(design.Align);
        kind.SetItems(design.Items);
        kind.SetDropDownWidth(design.DropDownWidth);
        kind.SetMargin(2);
        kind.SetMaxLength(0);
        kind.SetEditable(design.Editable);
    }
}

void Tgrid_form::fixWidth()
{
    // Fixed width and height-only sizing: equal smallest and largest widths are what the
    // window manager is told, so neither a side border nor maximising changes the width.
    setMinimumWidth(width());
    setMaximumWidth(width());
    setMinimumHeight(kMinimumWindowHeight);
}

void Tgrid_form::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // The rounded view's rows are not NormalLog's: taking them back would mix the two logs.
    if (Knd->isChecked())
        takeGridIntoNormalLog();
}

void Tgrid_form::takeGridIntoNormalLog()
{
    Tkannyu &log = Test.NormalLog;
    if (log.Count <= 0)
        return;
    // Rows the grid does not have (it was not filled to the end) keep what they hold.
    const int rows = qMin(log.Count, SoundGrid->RowCount() - 1);
    for (int i = 1; i <= rows; ++i) {
        Tvt_data &row = log.row(i);
        row.Doshitu = SoundGrid->Cells(kSoilColumn, i);
        double value = 0;
        if (TryStrToFloat(SoundGrid->Cells(kNValueColumn, i), value))
            row.NValue = value;
    }
    CopyLog(log, Test.DisplayLog);
}

bool Tgrid_form::set_grid()
{
    const Tkannyu &log = Test.DisplayLog;
    const int n = log.Count;
    QString failure;
    {
        TWaitCursor wait;
        SoundGrid->setUpdatesEnabled(false);
        SoundGrid->SetRowCount(qMax(n, 0) + 1);
        for (int i = 1; i <= n; ++i) {
            QStringList cells;
            try {
                cells = GridRowTexts(log.row(i), Setting.NaMode);
            } catch (const EConvertError &e) {
                failure = e.message();
                break;
            }
            for (int col = 0; col < cells.size(); ++col)
                SoundGrid->SetCells(col, i, cells.at(col));
        }
        SoundGrid->setUpdatesEnabled(true);
    }
    if (failure.isEmpty())
        return true;
    Messages().error(failure, this);
    return false;
}

void Tgrid_form::showDisplayLog()
{
    set_grid();
    Set_Inf(Test.DisplayLog.info());
    Set_GPS(Test.TestGps);
    PostGraphRefresh();
}

void Tgrid_form::PostGraphRefresh()
{
    if (m_graphWindow)
        QCoreApplication::postEvent(m_graphWindow, new TWindowMessage(WM_GRAPHREFRESH));
}

bool Tgrid_form::ShowRoundedData()
{
    QString failure;
    {
        TWaitCursor wait;
        try {
            ShowRoundedView(Test, Setting, Tables);
        } catch (const ETessmarkError &e) {
            failure = e.message();
        }
    }
    if (!failure.isEmpty()) {
        Messages().error(failure, this);
        return false;
    }
    ViewSuffix = RoundedViewSuffix(Setting);
    setWindowTitle(CaptionPrefix + ViewSuffix);
    Knd->setChecked(false);
    K25->setChecked(true);
    showDisplayLog();
    return true;
}

bool Tgrid_form::ShowNormalData()
{
    QString failure;
    {
        TWaitCursor wait;
        try {
            ShowNormalView(Test, Tables);
        } catch (const ETessmarkError &e) {
            failure = e.message();
        }
    }
    ViewSuffix = NormalViewSuffix();
    setWindowTitle(CaptionPrefix + ViewSuffix);
    Knd->setChecked(true);
    K25->setChecked(false);
    showDisplayLog();
    if (failure.isEmpty())
        return true;
    Messages().error(failure, this);
    return false;
}

// The tool button goes to the view the menu's check mark does not show.
void Tgrid_form::ChangeBtnClick()
{
    if (!ChangeBtn->isEnabled())
        return;
    if (Knd->isChecked()) {
        if (ShowRoundedData())
            RoundedView = true;
    } else {
        ShowNormalData();
        RoundedView = false;
    }
}

// The view items are reachable only while their menu is: their shortcuts work through the
// menu's state too. A triggered item has toggled its own check mark; the other item still
// tells which view is shown.
void Tgrid_form::KndClick()
{
    if (!KG1->menuAction()->isEnabled()) {
        Knd->setChecked(!K25->isChecked());
        return;
    }
    ShowNormalData();
}

void Tgrid_form::K25Click()
{
    if (!KG1->menuAction()->isEnabled() || !ShowRoundedData())
        K25->setChecked(!Knd->isChecked());
}
