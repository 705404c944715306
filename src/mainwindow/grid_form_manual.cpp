// Manual input in the main window: a new test typed into the grid, the switches between input
// and edit mode, the grid's context menus and their actions, and the soil-type correction of
// measured data. The work on grid and test is manual input's own (manualinput.h).
#include "grid_form.h"

#include "cmbgrid.h"
#include "derived.h"
#include "errors.h"
#include "events.h"
#include "formtexts.h"
#include "inputdialogs.h"
#include "manualinput.h"
#include "messages.h"
#include "reader.h"
#include "updown.h"

#include <QAction>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace {

const QString kNewManualFile = QStringLiteral("新規手入力データ");
const QString kInputStatus = QStringLiteral("手入力 -入力");
const QString kEditStatus = QStringLiteral("手入力 -編集");
const QString kOneByOneCaption = QStringLiteral("逐一入力");
const QString kCopyCaption = QStringLiteral("ｺﾋﾟｰ");
const QStringList kLoadItems = {"1.00", "0.75", "0.50", "0.25", "0.15", "0.05"};

constexpr TGridOptions kOneByOneBehaviour = kGridLines | goEditing;
constexpr TGridOptions kRangeBehaviour = kGridLines | goRangeSelect;

// Calls `clicked` when the watched widget is clicked with the left button.
class TClickFilter : public QObject
{
public:
    TClickFilter(QObject *parent, std::function<void()> clicked)
        : QObject(parent), m_clicked(std::move(clicked))
    {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            m_clicked();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_clicked;
};

} // namespace

void Tgrid_form::createManualInput()
{
    const auto popup = [this](const char *name) {
        auto *menu = new QMenu(this);
        menu->setObjectName(QLatin1String(name));
        return menu;
    };
    const auto item = [this](QMenu *menu, const char *name, const QString &caption,
                             void (Tgrid_form::*handler)()) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    // Every input menu ends with the way back to one-by-one input.
    const auto endInputMenu = [this](QMenu *menu) {
        menu->addSeparator();
        connect(menu->addAction(kOneByOneCaption), &QAction::triggered, this,
                &Tgrid_form::TikuitiMenuClick);
    };

    DepthPopup = popup("DepthPopup");
    K5 = item(DepthPopup, "K5", QStringLiteral("埋め込み"), &Tgrid_form::K5Click);
    endInputMenu(DepthPopup);

    WeightPopup = popup("WeightPopup");
    for (const QString &load : kLoadItems)
        connect(WeightPopup->addAction(load), &QAction::triggered, this,
                [this, load] { N1001Click(load); });
    endInputMenu(WeightPopup);

    NaPopup = popup("NaPopup");
    connect(NaPopup->addAction(kSelfSinking), &QAction::triggered, this,
            [this] { N1001Click(kSelfSinking); });
    endInputMenu(NaPopup);

    InsPopup = popup("InsPopup");
    K20 = item(InsPopup, "K20", QStringLiteral("行追加"), &Tgrid_form::K20Click);
    K21 = item(InsPopup, "K21", QStringLiteral("行削除"), &Tgrid_form::K21Click);
    N13 = item(InsPopup, "N13", QStringLiteral("消去"), &Tgrid_form::N13Click);
    Copy1 = item(InsPopup, "Copy1", kCopyCaption, &Tgrid_form::Copy1Click);
    Paste1 = item(InsPopup, "Paste1", QStringLiteral("貼り付け"), &Tgrid_form::Paste1Click);
    Paste1->setEnabled(false);
    endInputMenu(InsPopup);

    InputPopup = popup("InputPopup");
    TikuitiMenu = item(InputPopup, "TikuitiMenu", kOneByOneCaption, &Tgrid_form::TikuitiMenuClick);
    TikuitiMenu->setEnabled(false);
    IkkatuMenu =
        item(InputPopup, "IkkatuMenu", QStringLiteral("一括入力"), &Tgrid_form::IkkatuMenuClick);

    CopyPopup = popup("CopyPopup");
    copysel = item(CopyPopup, "copysel", kCopyCaption, &Tgrid_form::copyselClick);

    connect(SoundGrid, &TComboGrid::OnMouseDown, this, &Tgrid_form::SoundGridMouseDown);
    connect(SoundGrid, &TComboGrid::OnMouseUp, this, &Tgrid_form::SoundGridMouseUp);
    connect(SoundGrid, &TComboGrid::OnKeyPress, this, &Tgrid_form::SoundGridKeyPress);
    GroupBox1->installEventFilter(new TClickFilter(GroupBox1, [this] { GroupBox1Click(); }));
}

void Tgrid_form::New1Click()
{
    // Typed rows not saved yet are not thrown away without asking.
    if (AskSaveManualData())
        return;
    TInpRawsForm rowsDialog(Setting, this);
    if (rowsDialog.exec() != QDialog::Accepted)
        return;

    // A new test owns nothing of the one shown before: no GPS position, side lists or lines
    // that a later save would write with the typed rows.
    CloseGraph();
    Test = TSoundingTest{};
    Test.NormalLog.reset();
    Test.RoundedLog.reset();
    Test.DisplayLog.reset();
    SoundGrid->SetRowCount(Setting.Raws + 1);
    EnterInputMode();
    DataKind = DataKindManual;
    ClearGridRows(*SoundGrid, 1, SoundGrid->RowCount() - 1);
    K3->menuAction()->setEnabled(true);
    Set_Inf(Test.NormalLog.info());
    Set_GPS(Test.TestGps);

    Test.CurrentFile = kNewManualFile;
    CaptionPrefix = kCaptionWord + kNewManualFile;
    ViewSuffix = NormalViewSuffix();
    setWindowTitle(CaptionPrefix + ViewSuffix);
    GroupBox1Click();
}

void Tgrid_form::EnterInputMode()
{
    EditMode = false;
    KManuEdit->setEnabled(true);
    KManuInp->setEnabled(false);
    OneByOneInput = true;
    SoundGrid->SetOptions(kOneByOneBehaviour);
    SetStatusText(0, kInputStatus);
    // The rounded mark keeps the grid's typed rows from being taken into the log on a resize.
    Knd->setChecked(false);
    K25->setChecked(true);
    SetDataActions(false);
    Paste1->setEnabled(false);
    IkkatuMenu->setEnabled(true);
    TikuitiMenu->setEnabled(false);
    CloseGraph();
    DataState = 2;
}

void Tgrid_form::KManuInpClick()
{
    // The shortcut works only while the menu does.
    if (!K3->menuAction()->isEnabled() || DataKind != DataKindManual || !EditMode)
        return;
    DataState = 2;
    ShowNormalData();
    RoundedView = false;
    EnterInputMode();
}

void Tgrid_form::KManuEditClick()
{
    if (!K3->menuAction()->isEnabled() || DataKind != DataKindManual || EditMode)
        return;
    EnterManualEditMode();
}

void Tgrid_form::EnterManualEditMode()
{
    const int incompleteRow = MarkSelfSinking(*SoundGrid);
    if (incompleteRow != 0) {
        Messages().error(IncompleteRowText(*SoundGrid, incompleteRow), this);
        if (incompleteRow < SoundGrid->RowCount())
            SoundGrid->FocusCell(gcDepth, incompleteRow);
        leaveFailedEditSwitch();
        return;
    }
    QString failure;
    int failedRow = 0;
    int failedColumn = 0;
    {
        TWaitCursor wait;
        try {
            TakeManualGrid(Test, *SoundGrid, Setting, Tables);
        } catch (const ETypedRowError &e) {
            failure = e.message();
            failedRow = e.Row;
            failedColumn = GridColumnOf(e.Field);
        } catch (const ETessmarkError &e) {
            failure = e.message();
        }
    }
    if (!failure.isEmpty()) {
        Messages().error(failure, this);
        // Every typed cell stays; the cursor goes to the value to mend.
        if (failedRow > 0)
            SoundGrid->FocusCell(failedColumn, failedRow);
        leaveFailedEditSwitch();
        return;
    }
    Set_Inf(Test.NormalLog.info());
    Set_GPS(Test.TestGps);
    set_grid();
    ShowManualEditMode();
}

void Tgrid_form::ShowManualEditMode()
{
    EditMode = true;
    KManuInp->setEnabled(true);
    KManuEdit->setEnabled(false);
    SoundGrid->SetOptions(kRangeBehaviour);
    SetStatusText(0, kEditStatus);
    Knd->setChecked(true);
    K25->setChecked(false);
    RoundedView = false;
    SetDataActions(true);
    IkkatuMenu->setEnabled(true);
    TikuitiMenu->setEnabled(false);
    CopiedRows.reset();
}

// A switch from input mode leaves the window as it was; an opened manual-input file that
// cannot be taken is shown in input mode, where it can be mended.
void Tgrid_form::leaveFailedEditSwitch()
{
    if (EditMode || DataState != 2)
        EnterInputMode();
}

void Tgrid_form::GroupBox1Click()
{
    if (DataKind != DataKindManual)
        return;
    TTestInfo info = Test.NormalLog.info();
    TInfInputForm dialog(info, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Every log carries the new header, so a save of any of them writes it; the final depth
    // stays each log's own.
    for (Tkannyu *log : {&Test.NormalLog, &Test.DisplayLog, &Test.RoundedLog}) {
        const int finalDepth = log->FinalDepth;
        log->info() = info;
        log->FinalDepth = finalDepth;
    }
    Set_Inf(Test.NormalLog.info());
    Clear_GPS(Test.TestGps);
    Set_GPS(Test.TestGps);
    DataState = 2;
}

void Tgrid_form::TikuitiMenuClick()
{
    SoundGrid->SetOptions(kOneByOneBehaviour);
    OneByOneInput = true;
}

void Tgrid_form::IkkatuMenuClick()
{
    SoundGrid->SetOptions(kRangeBehaviour);
    OneByOneInput = false;
}

void Tgrid_form::N1001Click(const QString &text)
{
    WriteColumnText(*SoundGrid, SelRight, SelTop, SelBottom, text);
}

void Tgrid_form::K5Click()
{
    TSetDepthForm dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    FillDepths(*SoundGrid, SelRight, SelTop, SelBottom, dialog.StartUD->Position(),
               dialog.IncUD->Position());
}

void Tgrid_form::K20Click()
{
    InsertGridRows(*SoundGrid, SelTop, SelBottom);
}

void Tgrid_form::K21Click()
{
    DeleteGridRows(*SoundGrid, SelTop, SelBottom);
}

void Tgrid_form::N13Click()
{
    ClearGridRows(*SoundGrid, SelTop, SelBottom);
}

void Tgrid_form::d_selPopUpClick(const QString &soil)
{
    WriteColumnText(*SoundGrid, kSoilColumn, SelTop, SelBottom, soil + u'*');
    soilWriteBack();
}

void Tgrid_form::Undo1Click()
{
    const Tkannyu &log = Test.NormalLog;
    for (int row = SelTop; row <= SelBottom && row <= log.Count; ++row)
        SoundGrid->SetCells(kSoilColumn, row, TableSoilOf(Tables, log.row(row).ObsCode));
    soilWriteBack();
}

// The grid's soil types go into the test, the converted N values follow them, and the grid
// and an open graph window show the result.
void Tgrid_form::soilWriteBack()
{
    takeGridIntoNormalLog();
    QString failure;
    try {
        ComputeNValue(Test.DisplayLog, Tables);
    } catch (const ETessmarkError &e) {
        failure = e.message();
    }
    set_grid();
    takeGridIntoNormalLog();
    PostGraphRefresh();
    CopyLog(Test.DisplayLog, Test.NormalLog);
    if (!failure.isEmpty())
        Messages().error(failure, this);
}

void Tgrid_form::SoundGridMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int X, int Y)
{
    if (button == Qt::RightButton)
        popUpGridMenu(SoundGrid->mapToGlobal(QPoint(X, Y)));
}

void Tgrid_form::SoundGridMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, int, int)
{
    if (button == Qt::RightButton && K25->isChecked() && DataKind != DataKindManual)
        SetStatusText(1, QString());
}

void Tgrid_form::SoundGridKeyPress(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        event->accept();
        RememberSelection();
        copyselClick();
    } else if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        // Under the current cell, where the keyboard user is looking.
        const QRect cell = SoundGrid->CellRect(SoundGrid->Col(), SoundGrid->Row());
        const QPoint at = cell.isEmpty() ? QPoint(0, 0) : cell.bottomLeft();
        popUpGridMenu(SoundGrid->mapToGlobal(at));
    }
}

void Tgrid_form::popUpGridMenu(const QPoint &globalPos)
{
    RememberSelection();
    const TGridMenuState state{DataKind, EditMode, OneByOneInput, K25->isChecked()};
    QMenu *menu = nullptr;
    switch (ChooseGridMenu(state, {SelLeft, SelTop, SelRight, SelBottom})) {
    case TGridMenu::None:
        return;
    case TGridMenu::RoundedRefusal:
        SetStatusText(1, kRoundedSoilRefusal);
        return;
    case TGridMenu::InputChoice:
        menu = InputPopup;
        break;
    case TGridMenu::Depth:
        menu = DepthPopup;
        break;
    case TGridMenu::Load:
        menu = WeightPopup;
        break;
    case TGridMenu::Na:
        menu = NaPopup;
        break;
    case TGridMenu::Obs:
        menu = ObsPopUp;
        break;
    case TGridMenu::Soil:
        menu = DoshituPopup;
        break;
    case TGridMenu::Row:
        menu = InsPopup;
        break;
    case TGridMenu::SoilChange:
        menu = d_selPopup;
        break;
    case TGridMenu::Copy:
        menu = CopyPopup;
        break;
    }
    m_openGridMenu = menu;
    menu->popup(globalPos);
}

QMenu *Tgrid_form::OpenGridMenu() const
{
    return m_openGridMenu && m_openGridMenu->isVisible() ? m_openGridMenu.data() : nullptr;
}
