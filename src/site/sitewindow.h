// The site window "現場": the points of a site in a table beside its location plan and
// cross-section, tests added, removed and put in the section's order, positions, levels and
// the base depth typed, the site saved as a .tsite file and its report printed or saved.
#pragma once

#include "site.h"
#include "surveyreport.h"

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QLineEdit;
class QPrinter;
class QTableView;
class TReferenceTables;
class TSiteDrawingView;
class TSiteSurveyPanel;
class TSiteTableModel;
struct TSetting;

// What the window works with from the main window.
struct TSiteWindowContext
{
    const TSetting *Setting = nullptr; // not owned; the rounding and where dialogs start
    const TReferenceTables *Tables = nullptr;
    // Shows a test in the main window; empty where there is none.
    std::function<void(const QString &file)> OpenTest;
    // The archived tests near the site for its report; empty: the report has no such part.
    std::function<TNearbyTests(const TSiteData &data)> NearbyTests;
};

class TSiteWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit TSiteWindow(const TSiteWindowContext &context, QWidget *parent = nullptr);
    ~TSiteWindow() override;

    // Each answers whether it was done; when not, the user has been told why and the window
    // shows what it showed before.
    // Reads a site file and its tests (a test that cannot be read stays a point without data).
    bool OpenSite(const QString &path);
    // An empty site, after the question about unsaved changes.
    bool NewSite();
    // Saves under the site's file, or asks for one.
    bool Save();
    bool SaveAs();
    bool SaveTo(const QString &path);
    // Appends tests in the given order (a .tsite among them is opened instead).
    bool AddTests(const QStringList &files);
    void RemoveSelected();
    // Moves the selected point `step` places along the section.
    void MoveSelected(int step);
    // Shows the selected point's test in the main window.
    void OpenSelectedTest();
    bool PrintReport();
    bool SaveReportAs();
    bool WriteReportPdf(const QString &path);

    // The question about unsaved changes: true when the caller may go on (the site was saved,
    // or its changes are to be dropped).
    bool MaySiteBeLost();

    const TSiteData &Data() const { return m_data; }
    QString SitePath() const { return m_path; }
    bool IsModified() const { return m_data.Site != m_saved; }

    QLineEdit *NameEdit = nullptr;
    QLineEdit *BaseEdit = nullptr;
    QTableView *PointTable = nullptr;
    TSiteDrawingView *PlanView = nullptr;
    TSiteDrawingView *SectionView = nullptr;
    QLabel *StatusLabel = nullptr;
    TSiteSurveyPanel *SurveyPanel = nullptr; // the site's and the selected point's particulars
    QAction *NewAction = nullptr;
    QAction *OpenAction = nullptr;
    QAction *SaveAction = nullptr;
    QAction *SaveAsAction = nullptr;
    QAction *PrintAction = nullptr;
    QAction *PdfAction = nullptr;
    QAction *ColorAction = nullptr;
    QAction *CloseAction = nullptr;
    QAction *AddAction = nullptr;
    QAction *RemoveAction = nullptr;
    QAction *UpAction = nullptr;
    QAction *DownAction = nullptr;
    QAction *OpenTestAction = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createActions();
    void createControls();
    // After every change: the table, the drawings, the caption and what can be done.
    void siteChanged();
    void showSite();
    void selectRow(qsizetype row);
    qsizetype selectedRow() const;
    void openFromDialog();
    void addFromDialog();
    void BaseEditChange();
    void NameEditChange();
    QString dialogFolder() const;
    // A file name to save under, with `suffix`, after the question about overwriting another.
    std::optional<QString> chooseSavePath(const QString &title, const QString &filter,
                                          const QString &suffix);
    // Colour as chosen, the report dated today unless the site says otherwise.
    TSurveyReportOptions reportOptions() const;

    TSiteWindowContext m_context;
    TSiteData m_data;
    TSite m_saved; // the site as last read or saved, to tell unsaved changes
    QString m_path;
    TSiteTableModel *m_model = nullptr;
    std::unique_ptr<QPrinter> m_printer;
};
