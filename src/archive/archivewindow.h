// The window "試験一覧": the archived tests in a table, found by text, by date and by distance
// from the open test, the open site or a typed place; a test opened in the main window, added to
// the open site or saved elsewhere.
#pragma once

#include "catalogue.h"

#include <QMainWindow>
#include <functional>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class QTimer;
class TArchiveKeeper;
class TArchiveTableModel;
struct TSetting;

// What the window works with from the main window.
struct TArchiveWindowContext
{
    const TSetting *Setting = nullptr; // not owned; which catalogue, the default radius
    TArchiveKeeper *Keeper = nullptr;  // not owned
    // Where a test whose file is gone is written again to be opened.
    QString RestoreFolder;
    // The places "near" measures from; none (with the reason in `why`) when there is none.
    std::function<std::optional<TGeoPosition>(QString &why)> OpenTestPlace;
    std::function<std::optional<TGeoPosition>(QString &why)> OpenSitePlace;
    // Shows a test in the main window.
    std::function<void(const QString &file)> OpenTest;
    // Adds a test file to the open site; false, the user told why, when it could not.
    std::function<bool(const QString &file)> AddToSite;
};

class TArchiveWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Where "near" measures from, in the order of NearCombo.
    enum NearFrom { NearNone, NearOpenTest, NearOpenSite, NearTypedPlace };

    explicit TArchiveWindow(const TArchiveWindowContext &context, QWidget *parent = nullptr);
    ~TArchiveWindow() override;

    // Reads the list again with the filters as they stand.
    void Search();
    // The actions on the selected test; each answers whether it was done (the user has been
    // told why not).
    bool OpenSelected();
    bool AddSelectedToSite();
    bool SaveSelectedAs();

    TArchiveTableModel *Model() const { return m_model; }

    QLineEdit *SearchEdit = nullptr;
    QCheckBox *FromCheck = nullptr;
    QDateEdit *FromEdit = nullptr;
    QCheckBox *ToCheck = nullptr;
    QDateEdit *ToEdit = nullptr;
    QComboBox *NearCombo = nullptr;
    QLineEdit *PlaceEdit = nullptr;
    QSpinBox *RadiusSpin = nullptr;
    QTableView *TestTable = nullptr;
    QLabel *CountLabel = nullptr;
    QPushButton *OpenButton = nullptr;
    QPushButton *AddButton = nullptr;
    QPushButton *SaveButton = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void updateButtons();
    // The selected test's entry; none (after telling the user) when no row is selected.
    std::optional<TArchiveEntry> selectedEntry();
    TCatalogue *catalogue();
    // The query the filters make; none, with the reason, when "near" has no place.
    std::optional<TArchiveQuery> queryOfFilters(QString &why);
    void showProblem(const QString &text);
    // Writes the entry's bytes where the user chooses; the path written, or none.
    std::optional<QString> saveCopy(const TArchiveEntry &entry);

    TArchiveWindowContext m_context;
    TArchiveTableModel *m_model = nullptr;
    QTimer *m_typing = nullptr;
};
