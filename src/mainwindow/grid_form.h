// The main window: tool bar, menus, header panel, grid and status bar, the open test, the
// settings and the reference tables, and the start and close sequences.
#pragma once

#include "clipboard.h"
#include "cmbgrid.h"
#include "record.h"
#include "reftables.h"
#include "settings.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QPrinter;
struct TPrinterAccess;
class TTermDlg;

class QAction;
class QKeyEvent;
class QGroupBox;
class QLabel;
class QMenu;
class TSettingsStore;
class QStatusBar;
class QToolBar;
class QToolButton;
class QUrl;
class TAboutBox;
class TArchiveKeeper;
class TPagesDlg;
struct TFileDialogRequest;

// Where the window finds its surroundings; every empty field takes the program's real one.
struct TGridFormOptions
{
    QString ProgramFolder;              // reference tables and help; default: the executable's
    TSettingsStore *Settings = nullptr; // not owned; default: the program's own store
    QString DocumentsFolder;            // default: the user's documents folder
    QString TempFolder;                 // default: the system's temporary folder
    QStringList Arguments;              // command-line arguments after the program name
    QString DataFolder;                 // the default archive's folder; default: the program's own
    // Opens a help file or web page, false when nothing could; default: the desktop's handler,
    // whose failure is learnt when it has ended.
    std::function<bool(const QUrl &)> OpenUrl;
};

class Tgrid_form : public QMainWindow
{
    Q_OBJECT

public:
    explicit Tgrid_form(const TGridFormOptions &options = {}, QWidget *parent = nullptr);
    ~Tgrid_form() override;

    // Enables or disables together every command that needs a loaded test.
    void SetDataActions(bool on);
    // Asks about unsaved manual input; true when the pending action must be abandoned.
    bool AskSaveManualData();
    // Save As with its dialog; a failed write is shown in the error box. True when the test was
    // saved; false when the user cancelled, declined to overwrite or the write failed.
    bool SaveAsDialog();
    // Writes the open test to `path` in the type its extension names, asking first when the
    // file exists. False when the user declined to overwrite. Raises ECantWriteFile (and
    // EConvertError for a load that is no whole number) with nothing changed.
    bool SaveDataFile(const QString &path);

    // Opens a data file and shows it: 0 when it was read and shown, 1 when not (the user has
    // been told why, and the window still shows what it showed before).
    int OpenDataFile(const QString &path);
    // The same for a test another window asks to show (the site's points, the archive's list),
    // after the question about a typed test, bringing this window to the front.
    void ShowTestFromWindow(const QString &path);

    // The view switch: DisplayLog shows the rounded or the normal log, with caption, check
    // marks, grid, header panel and graph window following. False (after the error box) when
    // the log could not be derived; the rounded switch then changes nothing.
    bool ShowRoundedData();
    bool ShowNormalData();

    // A new transfer dialog working for this window (its settings, temporary folder, service
    // flags and OpenDataFile); it deletes itself when it closes.
    TTermDlg *CreateTermDlg();

    // The site window "現場" with the site file `path` read into it (a new site when empty),
    // made when none is open; null when the open window kept its unsaved site.
    QWidget *OpenSiteWindow(const QString &path = {});
    QWidget *SiteWindow() const { return m_siteWindow; }

    // The window "試験一覧" of the archived tests, made when none is open.
    QWidget *OpenArchiveWindow();
    QWidget *ArchiveWindow() const { return m_archiveWindow; }
    // The archive this window adds opened, saved and transferred tests to.
    TArchiveKeeper &Archive() { return *m_archive; }
    // Adds a test file to the archive when the settings ask for it; a failure is a note in the
    // status bar, never a stop.
    void ArchiveOpenedOrSaved(const QString &path, const QByteArray &bytes, bool opened);
    // Adds a test the instrument transferred, kept as `path` (or meant to be, when its file
    // could not be written); a failure is a note in the status bar.
    void ArchiveTransferred(const QByteArray &bytes, const QString &path);

    // The graph window, told about every change of the shown test; null while none is open.
    QWidget *GraphWindow() const { return m_graphWindow; }
    void SetGraphWindow(QWidget *window) { m_graphWindow = window; }
    // The settings dialog on Setting, recomputing and showing the test again as it closes, and
    // the About box, whose service codes switch the flags below. Both delete themselves on close.
    TPagesDlg *CreatePagesDlg();
    TAboutBox *CreateAboutBox();

    // Asks an open graph window to reload DisplayLog and repaint.
    void PostGraphRefresh();
    // Closes an open graph window the way the user would (its place goes into the settings).
    void CloseGraph();

    // Writes the long part of a "short|long" hint (or the whole hint) into the second panel.
    void ShowHint(const QString &hint);
    // Closes as the program ends with nobody at the screen (its bus clients gone): what cannot
    // be done then is reported on standard error instead of in a box.
    void CloseUnattended();
    void SetStatusText(int panel, const QString &text);
    QString StatusText(int panel) const;

    // Fills the grid from DisplayLog. A load or half-turn text that is no number stops at its
    // row (the rows before stay filled) and is shown in the error box; false then.
    bool set_grid();

    // Header panel.
    void Set_Inf(const TTestInfo &info);
    void Set_GPS(const TGPSData &gps);
    // Resets a GPS record to "no position".
    void Clear_GPS(TGPSData &gps);

    // Reads Weighttbl.tbl and Obstbl.tbl from the program folder and rebuilds what depends on
    // them; false (after telling the user and asking the window to close) when Weighttbl.tbl
    // cannot be read.
    bool ReadReferenceTables();
    // Rebuilds ObsPopUp, d_selPopup and DoshituPopup and the grid's pick lists from Tables.
    void RebuildTablePopups();
    // The pick lists of the grid's observation (4) and soil-type (5) columns.
    void SetGridPickLists(const QStringList &observations, const QStringList &soilTypes);

    // Clipboard: a range of grid cells, and the header of NormalLog, as text.
    void CopyCellRange(int left, int top, int right, int bottom);
    void CopyTestInfo();
    // SelLeft .. SelBottom := the grid's selection.
    void RememberSelection();

    // State of the window.
    quint8 DataState = 3; // 3 nothing loaded, 0 opened, 1 saved, 2 manual input not saved
    quint8 DataKind = 0;  // 0 none, 1 measured, 2 manual input
    bool EditMode = false;
    bool OneByOneInput = false;
    bool RoundedView = false;
    bool MonitorFlag = false;
    bool LogFlag = false;
    bool CommandMode = false;
    int SelLeft = 0;
    int SelTop = 0;
    int SelRight = 0;
    int SelBottom = 0;
    // Whole rows held for pasting while a test is typed in.
    std::optional<TCopyCells> CopiedRows;
    QString CaptionPrefix;
    QString ViewSuffix;

    QString ProgramFolder;
    QString DocumentsDir; // with a trailing separator
    QString TempFolder;
    QString HelpFile;
    QStringList StartArguments;

    TSetting Setting;
    TReferenceTables Tables;
    TSoundingTest Test;

    // What the automation server does on the window (grid_form_automation.cpp); each answers 0
    // when done and 1 when not, the user having been told why.
    // Prints the remembered choices without showing the print dialog.
    int Printout();
    // Stores the eight printout choices as the print dialog's close does.
    int PrintOutType(const bool (&printouts)[8]);
    // The open graph window's copy to the clipboard; 1 when none is open.
    int CopyGraph();
    // Opens the graph window and shows the Nsw (0) or converted-N (1) graph; 1 for any other
    // kind, the window staying open.
    int DspGraph(int kind);
    // The switch to the normal (0) or rounded (1) view, as the menu items perform it.
    int ChangeDspData(int kind);
    // Rows of the grid, header row included.
    int NumRows() const;
    // Asked before the window closes; false keeps it open. Set by the automation server while
    // it runs, so the window needs nothing of it.
    std::function<bool()> ConfirmClose;

    // The pick lists of the grid's observation and soil-type columns.
    QStringList ObsPickList() const;
    QStringList SoilPickList() const;

    // Controls, named as the components they stand for.
    QToolBar *ToolBar1 = nullptr;
    QToolButton *ToolButton1 = nullptr;
    QToolButton *SaveBtn = nullptr;
    QToolButton *PrintBtn = nullptr;
    QToolButton *ToolButton3 = nullptr;
    QToolButton *GraphBtn = nullptr;
    QToolButton *ChangeBtn = nullptr;

    QMenu *File1 = nullptr;
    QAction *New1 = nullptr;
    QAction *SaveAs1 = nullptr;
    QAction *Open1 = nullptr;
    QAction *N14 = nullptr;
    QAction *KNewSite = nullptr;  // "新規現場..."
    QAction *KOpenSite = nullptr; // "現場を開く..."
    QAction *KArchive = nullptr;  // "試験一覧..."
    QAction *Print1 = nullptr;
    QAction *Exit1 = nullptr;
    QMenu *Term = nullptr;
    QAction *TermStart = nullptr;
    QMenu *K3 = nullptr;
    QAction *KManuInp = nullptr;
    QAction *KManuEdit = nullptr;
    QAction *KManuInf = nullptr; // the header panel's test information, by keyboard
    QMenu *G1 = nullptr;
    QAction *MakeGraph = nullptr;
    QAction *N3 = nullptr;
    QMenu *KG1 = nullptr;
    QAction *Knd = nullptr;
    QAction *K25 = nullptr;
    QAction *KEvaluate = nullptr; // "地盤評価(&V)..."
    QMenu *O1 = nullptr;
    QAction *KS1 = nullptr;
    QMenu *Help1 = nullptr;
    QAction *khelp = nullptr;
    QAction *Homepage1 = nullptr;
    QAction *About1 = nullptr;

    QGroupBox *GroupBox1 = nullptr;
    QLabel *lblTestCode = nullptr;
    QLabel *lblPCode = nullptr;
    QLabel *lblDepth = nullptr;
    QLabel *lblTime = nullptr;
    QLabel *lblGPS = nullptr;
    TComboGrid *SoundGrid = nullptr;
    QStatusBar *StatusBar1 = nullptr;

    QMenu *ObsPopUp = nullptr;
    QMenu *d_selPopup = nullptr;
    QMenu *DoshituPopup = nullptr;

    // Manual input's grid menus (the table-driven ones above come with the tables).
    QMenu *DepthPopup = nullptr;  // "埋め込み"
    QMenu *WeightPopup = nullptr; // the six loads
    QMenu *NaPopup = nullptr;     // "自沈"
    QMenu *InsPopup = nullptr;    // rows: add, delete, clear, copy, paste
    QMenu *InputPopup = nullptr;  // one-by-one or batch input
    QMenu *CopyPopup = nullptr;   // "ｺﾋﾟｰ"
    QAction *K5 = nullptr;
    QAction *K20 = nullptr;
    QAction *K21 = nullptr;
    QAction *N13 = nullptr;
    QAction *Copy1 = nullptr;
    QAction *Paste1 = nullptr;
    QAction *TikuitiMenu = nullptr;
    QAction *IkkatuMenu = nullptr;
    QAction *copysel = nullptr;
    // The grid menu open at the moment (a pop-up), null when none.
    QMenu *OpenGridMenu() const;

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createToolBar();
    void createMenus();
    void createEvaluationItem();
    void createSiteItems();
    void createArchiveItem();
    QWidget *createArchiveWindow();
    void createPanels();
    void createSoundGrid(QWidget *parent);
    void fixWidth();
    void FormCreate();
    void FormShow();
    void setToolButtonEnabled(QToolButton *button, bool on);
    void OpenStartFile();
    // Opens the help file or the maker's page outside the program; `failure` is told when no
    // program could.
    void openOutside(const QUrl &url, const QString &failure);
    void openFromDialog(const TFileDialogRequest &request, bool remembersFolder);
    void openDroppedFiles(const QStringList &paths);
    // Typed rows become the test (the grid is checked and read), then the window shows edit
    // mode; a refusal leaves the window in input mode with every typed cell kept.
    void EnterManualEditMode();
    // The window's side of edit mode, for a test already taken from typed rows.
    void ShowManualEditMode();
    void showDisplayLog();
    void takeGridIntoNormalLog();
    void recomputeForOptions();
    void showAgainAfterOptions();

    // Command handlers.
    void SaveAs1Click() { SaveAsDialog(); }
    void ToolButton1Click();
    void PrintBtnClick();
    void MakeGraphClick();
    void ToolButton3Click();
    void GraphBtnClick();
    void ChangeBtnClick();
    void New1Click();
    void Open1Click();
    void Exit1Click();
    void KManuInpClick();
    void KManuEditClick();
    void N3Click();
    void KndClick();
    void K25Click();
    void KEvaluateClick();
    void OpenSiteClick();
    void KS1Click();
    void khelpClick();
    void Homepage1Click();
    void About1Click();

    // Handlers of the table-driven pop-up menus.
    void N1001Click(const QString &text);
    void TikuitiMenuClick();
    void d_selPopUpClick(const QString &soil);
    void Undo1Click();
    void copyselClick();
    void Copy1Click();
    void Paste1Click();

    // Manual input: the grid's menus and the switches between input and edit mode.
    void createManualInput();
    void EnterInputMode();
    void leaveFailedEditSwitch();
    void GroupBox1Click();
    void IkkatuMenuClick();
    void K5Click();
    void K20Click();
    void K21Click();
    void N13Click();
    void soilWriteBack();
    void SoundGridMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int X, int Y);
    void SoundGridMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, int X, int Y);
    void SoundGridKeyPress(QKeyEvent *event);
    void popUpGridMenu(const QPoint &globalPos);

    std::unique_ptr<TSettingsStore> m_ownedSettings;
    TSettingsStore *m_settings = nullptr;
    std::function<bool(const QUrl &)> m_openUrl;
    QLabel *m_statusPanels[2] = {nullptr, nullptr};
    bool m_shownOnce = false;
    bool m_closingUnattended = false;
    // The graph window (or, in tests, any window told about refreshes).
    QPointer<QWidget> m_graphWindow;
    // Kept for the whole session, so the printer or PDF file chosen once stays chosen; it
    // starts at the target the settings remember.
    std::unique_ptr<QPrinter> m_printer;
    // The print dialog's access to that printer, made on first use.
    TPrinterAccess sessionPrinterAccess();
    bool m_startFileDone = false;
    QPointer<QMenu> m_openGridMenu;
    QPointer<QWidget> m_siteWindow;
    QPointer<QWidget> m_archiveWindow;
    std::unique_ptr<TArchiveKeeper> m_archive;
};

// The one main window of the process, for the windows that work on its test; null when none.
Tgrid_form *grid_form();
