// The print dialog: which printouts of the open test to produce, colour or hatches, and the
// printer (or PDF file) they go to; starts the print run and remembers the choices.
#pragma once

#include "printout.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QCheckBox;
class QCloseEvent;
class QGroupBox;
class QLabel;
class QPrinter;
class QPushButton;
class QShowEvent;
class TReferenceTables;
struct TSetting;

// Where the dialog prints and how the printer is chosen. Every empty member takes the
// system's own; tests put a PDF file in place of the printer and skip the dialogs.
struct TPrinterAccess
{
    // The printer to print on, not owned. A caller that keeps one for the whole session keeps
    // the user's choice from one opening of the dialog to the next; null: the dialog makes one
    // for the default printer.
    QPrinter *Printer = nullptr;
    // Runs the printer set-up on `printer`; true when the user confirmed it. Default: the
    // toolkit's print dialog, which also offers printing into a PDF file.
    std::function<bool(QPrinter &printer, QWidget *parent)> SetUp;
    // Names of the installed printers. Default: the printers the system knows.
    std::function<QStringList()> InstalledPrinters;
};

// The print target chosen last in the printer set-up (a printer, or a PDF file), as the
// settings remember it from one session to the next.
void RememberPrintTarget(const QPrinter &printer, TSetting &setting);
// Points a new session's printer at the remembered target: the PDF file, or the printer when it
// is still installed; otherwise the printer stays the system's default.
void ApplyRememberedPrintTarget(QPrinter &printer, const TSetting &setting,
                                const QStringList &installedPrinters);

class TPrintDlgForm : public QDialog
{
    Q_OBJECT

public:
    // Runs the opening steps: the rounded log of `test` is recomputed with the current settings
    // and the boxes show the remembered choices of `setting`. `pictureFolder` holds the header
    // picture; `dataKind` (1 measured) chooses the page title.
    TPrintDlgForm(TSoundingTest &test, TSetting &setting, const TReferenceTables &tables,
                  int dataKind, const QString &pictureFolder, QWidget *parent = nullptr,
                  TPrinterAccess access = {});
    ~TPrintDlgForm() override;

    // The states of the eight printout boxes and the colour box.
    TPrintSelection Selection() const;
    void SetSelection(const TPrintSelection &selection);

    // Prints the ticked printouts on the current printer without asking, with the hourglass.
    // Problems are told to the user; false when nothing was printed.
    bool PrintChosen();

    // Writes the nine boxes into the settings; every close of the dialog does this.
    void StoreChoices();

    // Pages of the last print run, 0 before the first.
    int LastPageCount() const { return m_lastPages; }

    QPrinter &Printer() const { return *m_printer; }

    // Controls, named as the components they stand for.
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    QCheckBox *TableCB = nullptr;
    QCheckBox *NswCB = nullptr;
    QCheckBox *NCB = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QCheckBox *Table25CB = nullptr;
    QCheckBox *Nsw25CB = nullptr;
    QCheckBox *N25CB = nullptr;
    QCheckBox *TNsw25CB = nullptr;
    QCheckBox *TN25CB = nullptr;
    QCheckBox *ColorCB = nullptr;
    QPushButton *PSButton = nullptr;
    QPushButton *P_Button = nullptr;
    QPushButton *CanButton = nullptr;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void FormCreate();
    void ShowPrinterName();
    // The toolkit's print dialog on `printer`; a cancelled dialog leaves the printer as it was.
    bool SetUpPrinter(QPrinter &printer, QWidget *dialogParent);
    // What the printer would print on now; empty when it cannot print.
    QString PrinterName() const;
    QString NoPrinterText() const;
    // Tells the user why the selection cannot be printed now; true when it can.
    bool ReadyToPrint(const TPrintSelection &selection);

    void TableCBClick();
    void PSButtonClick();
    void P_ButtonClick();
    void CanButtonClick();

    TSoundingTest &m_test;
    TSetting &m_setting;
    const TReferenceTables &m_tables;
    int m_dataKind;
    QString m_pictureFolder;
    TPrinterAccess m_access;
    std::unique_ptr<QPrinter> m_ownedPrinter;
    QPrinter *m_printer = nullptr;
    QString m_roundingError; // why the rounded log could not be made; empty when it was
    int m_lastPages = 0;
    bool m_placed = false;
};
