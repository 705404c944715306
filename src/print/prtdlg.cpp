#include "prtdlg.h"

#include "derived.h"
#include "drawtext.h"
#include "errors.h"
#include "events.h"
#include "messages.h"
#include "reftables.h"
#include "settings.h"
#include "tableprint.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <exception>

namespace {

// Room for the printer name beside its caption; longer names are shortened in the middle.
constexpr int kPrinterNameWidth = 250;

QString NoPrinterInstalledText()
{
    return QStringLiteral("プリンタがインストールされていません");
}

QString PdfFileLabel(const QString &path)
{
    return QStringLiteral("PDFファイル  ") + QFileInfo(path).fileName();
}

bool UsesRoundedLog(const TPrintSelection &selection)
{
    return selection.Table25 || selection.Nsw25 || selection.N25 || selection.TNsw25 ||
           selection.TN25;
}

QString RoundingFailedText(const QString &reason)
{
    return QStringLiteral("25cmまるめデータを作成できないため、まるめデータは印刷できません。\r") +
           reason;
}

bool RunPrintDialog(QPrinter &printer, QWidget *parent)
{
    QPrintDialog dialog(&printer, parent);
    // A print run always prints every page of the chosen printouts.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace

void RememberPrintTarget(const QPrinter &printer, TSetting &setting)
{
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        setting.PrnPdfFile = printer.outputFileName();
        setting.PrnPrinter.clear();
    } else {
        setting.PrnPrinter = printer.printerName();
        setting.PrnPdfFile.clear();
    }
}

void ApplyRememberedPrintTarget(QPrinter &printer, const TSetting &setting,
                                const QStringList &installedPrinters)
{
    if (!setting.PrnPdfFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(setting.PrnPdfFile);
    } else if (!setting.PrnPrinter.isEmpty() && installedPrinters.contains(setting.PrnPrinter)) {
        // A printer that has gone since would turn the printer into a file without a name.
        printer.setPrinterName(setting.PrnPrinter);
    }
}

TPrintDlgForm::TPrintDlgForm(TSoundingTest &test, TSetting &setting, const TReferenceTables &tables,
                             int dataKind, const QString &pictureFolder, QWidget *parent,
                             TPrinterAccess access)
    : QDialog(parent), m_test(test), m_setting(setting), m_tables(tables), m_dataKind(dataKind),
      m_pictureFolder(pictureFolder), m_access(std::move(access))
{
    if (!m_access.SetUp)
        m_access.SetUp = [this](QPrinter &printer, QWidget *dialogParent) {
            return SetUpPrinter(printer, dialogParent);
        };
    if (!m_access.InstalledPrinters)
        m_access.InstalledPrinters = [] {
            return QPrinterInfo::availablePrinterNames();
        };
    if (m_access.Printer != nullptr) {
        m_printer = m_access.Printer;
    } else {
        m_ownedPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer = m_ownedPrinter.get();
    }
    createControls();
    FormCreate();
}

TPrintDlgForm::~TPrintDlgForm() = default;

void TPrintDlgForm::createControls()
{
    setObjectName(QStringLiteral("PrintDlgForm"));
    setWindowTitle(QStringLiteral("印刷"));
    setFont(GothicFont(false, 12));

    auto checkBox = [](QWidget *owner, const char *name, const QString &caption) {
        auto *box = new QCheckBox(caption, owner);
        box->setObjectName(QLatin1String(name));
        return box;
    };
    auto button = [this](const char *name, const QString &caption) {
        auto *pushButton = new QPushButton(caption, this);
        pushButton->setObjectName(QLatin1String(name));
        pushButton->setMinimumWidth(96);
        return pushButton;
    };

    Label1 = new QLabel(QStringLiteral("現在設定されているプリンタ　："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFixedWidth(kPrinterNameWidth);

    GroupBox2 = new QGroupBox(QStringLiteral("通常のデータ"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    TableCB = checkBox(GroupBox2, "TableCB", QStringLiteral("表"));
    NswCB = checkBox(GroupBox2, "NswCB", QStringLiteral("Nswｸﾞﾗﾌ"));
    NCB = checkBox(GroupBox2, "NCB", QStringLiteral("換算Nｸﾞﾗﾌ"));
    auto *normalLayout = new QVBoxLayout(GroupBox2);
    normalLayout->addWidget(TableCB);
    normalLayout->addWidget(NswCB);
    normalLayout->addWidget(NCB);
    normalLayout->addStretch();

    GroupBox1 = new QGroupBox(QStringLiteral("25cmまるめデータ"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Table25CB = checkBox(GroupBox1, "Table25CB", QStringLiteral("表"));
    Nsw25CB = checkBox(GroupBox1, "Nsw25CB", QStringLiteral("Nswｸﾞﾗﾌ"));
    N25CB = checkBox(GroupBox1, "N25CB", QStringLiteral("換算Nｸﾞﾗﾌ"));
    TNsw25CB = checkBox(GroupBox1, "TNsw25CB", QStringLiteral("表･Nswｸﾞﾗﾌ"));
    TN25CB = checkBox(GroupBox1, "TN25CB", QStringLiteral("表･換算Nｸﾞﾗﾌ"));
    // The single printouts in the first column, the tables beside graphs in the second.
    auto *roundedLayout = new QGridLayout(GroupBox1);
    roundedLayout->addWidget(Table25CB, 0, 0);
    roundedLayout->addWidget(Nsw25CB, 1, 0);
    roundedLayout->addWidget(N25CB, 2, 0);
    roundedLayout->addWidget(TNsw25CB, 0, 1);
    roundedLayout->addWidget(TN25CB, 1, 1);
    roundedLayout->setRowStretch(3, 1);

    ColorCB = checkBox(this, "ColorCB", QStringLiteral("カラー印刷"));

    PSButton = button("PSButton", QStringLiteral("設定(&T)..."));
    PSButton->setFont(GothicFont(true, 12));
    P_Button = button("P_Button", QStringLiteral("印刷"));
    P_Button->setDefault(true);
    P_Button->setEnabled(false);
    CanButton = button("CanButton", QStringLiteral("ｷｬﾝｾﾙ"));

    auto *printerLine = new QHBoxLayout;
    printerLine->addWidget(Label1);
    printerLine->addWidget(Label2);
    printerLine->addStretch();

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(PSButton);
    buttons->addWidget(P_Button);
    buttons->addWidget(CanButton);
    buttons->addStretch();

    auto *main = new QGridLayout(this);
    main->addLayout(printerLine, 0, 0, 1, 3);
    main->addWidget(GroupBox2, 1, 0);
    main->addWidget(GroupBox1, 1, 1);
    main->addLayout(buttons, 1, 2, 2, 1);
    main->addWidget(ColorCB, 2, 0, 1, 2);
    main->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(TableCB, NswCB);
    setTabOrder(NswCB, NCB);
    setTabOrder(NCB, Table25CB);
    setTabOrder(Table25CB, Nsw25CB);
    setTabOrder(Nsw25CB, N25CB);
    setTabOrder(N25CB, TNsw25CB);
    setTabOrder(TNsw25CB, TN25CB);
    setTabOrder(TN25CB, PSButton);
    setTabOrder(PSButton, P_Button);
    setTabOrder(P_Button, CanButton);
    setTabOrder(CanButton, ColorCB);

    for (QCheckBox *box : {TableCB, NswCB, NCB, Table25CB, Nsw25CB, N25CB, TNsw25CB, TN25CB})
        connect(box, &QCheckBox::toggled, this, &TPrintDlgForm::TableCBClick);
    connect(PSButton, &QPushButton::clicked, this, &TPrintDlgForm::PSButtonClick);
    connect(P_Button, &QPushButton::clicked, this, &TPrintDlgForm::P_ButtonClick);
    connect(CanButton, &QPushButton::clicked, this, &TPrintDlgForm::CanButtonClick);
}

void TPrintDlgForm::FormCreate()
{
    // The rounded printouts show the current data with the current rounding options.
    try {
        TWaitCursor wait;
        BuildRoundedView(m_test, m_setting, m_tables);
    } catch (const ETessmarkError &error) {
        m_roundingError = error.message();
    }
    SetSelection(PrintSelectionFromSettings(m_setting));
    ShowPrinterName();
    if (!m_roundingError.isEmpty())
        Messages().error(RoundingFailedText(m_roundingError), parentWidget());
}

TPrintSelection TPrintDlgForm::Selection() const
{
    TPrintSelection selection;
    selection.Table = TableCB->isChecked();
    selection.Nsw = NswCB->isChecked();
    selection.N = NCB->isChecked();
    selection.Table25 = Table25CB->isChecked();
    selection.Nsw25 = Nsw25CB->isChecked();
    selection.N25 = N25CB->isChecked();
    selection.TNsw25 = TNsw25CB->isChecked();
    selection.TN25 = TN25CB->isChecked();
    selection.Color = ColorCB->isChecked();
    return selection;
}

void TPrintDlgForm::SetSelection(const TPrintSelection &selection)
{
    TableCB->setChecked(selection.Table);
    NswCB->setChecked(selection.Nsw);
    NCB->setChecked(selection.N);
    Table25CB->setChecked(selection.Table25);
    Nsw25CB->setChecked(selection.Nsw25);
    N25CB->setChecked(selection.N25);
    TNsw25CB->setChecked(selection.TNsw25);
    TN25CB->setChecked(selection.TN25);
    ColorCB->setChecked(selection.Color);
    TableCBClick();
}

void TPrintDlgForm::StoreChoices()
{
    const TPrintSelection selection = Selection();
    m_setting.PrnTable = selection.Table;
    m_setting.PrnNsw = selection.Nsw;
    m_setting.PrnN = selection.N;
    m_setting.PrnTable25 = selection.Table25;
    m_setting.PrnNsw25 = selection.Nsw25;
    m_setting.PrnN25 = selection.N25;
    m_setting.PrnTNsw25 = selection.TNsw25;
    m_setting.PrnTN25 = selection.TN25;
    m_setting.PrnColor = selection.Color;
}

QString TPrintDlgForm::PrinterName() const
{
    if (m_printer->outputFormat() == QPrinter::PdfFormat)
        return m_printer->outputFileName().isEmpty() ? QString()
                                                     : PdfFileLabel(m_printer->outputFileName());
    return m_printer->printerName();
}

QString TPrintDlgForm::NoPrinterText() const
{
    if (m_access.InstalledPrinters().isEmpty())
        return NoPrinterInstalledText();
    return QStringLiteral("プリンタが選択されていません");
}

bool TPrintDlgForm::SetUpPrinter(QPrinter &printer, QWidget *dialogParent)
{
    const QString previousFile = printer.outputFileName();
    const QPrinter::OutputFormat previousFormat = printer.outputFormat();
    // Without a printer the file is the only choice: offer one beside the data file.
    if (previousFile.isEmpty() && !m_test.CurrentFile.isEmpty() &&
        m_access.InstalledPrinters().isEmpty()) {
        const QFileInfo data(m_test.CurrentFile);
        printer.setOutputFileName(
            data.absoluteDir().filePath(data.completeBaseName() + QStringLiteral(".pdf")));
    }
    if (RunPrintDialog(printer, dialogParent))
        return true;
    printer.setOutputFileName(previousFile);
    printer.setOutputFormat(previousFormat);
    return false;
}

void TPrintDlgForm::ShowPrinterName()
{
    QString name = PrinterName();
    if (name.isEmpty()) {
        name = NoPrinterText();
        Label2->setToolTip(QStringLiteral("「設定」でPDFファイルへの印刷を選べます"));
    } else {
        Label2->setToolTip(
            m_printer->outputFormat() == QPrinter::PdfFormat ? m_printer->outputFileName() : name);
    }
    Label2->setText(
        QFontMetrics(Label2->font()).elidedText(name, Qt::ElideMiddle, kPrinterNameWidth));
}

bool TPrintDlgForm::ReadyToPrint(const TPrintSelection &selection)
{
    if (!selection.anyPrintout())
        return false;
    if (PrinterName().isEmpty()) {
        const QString what = NoPrinterText();
        Messages().warning(
            what == NoPrinterInstalledText()
                ? what + QStringLiteral("。\r「設定」で印刷先のPDFファイルを選んでください。")
                : what + QStringLiteral("。\r「設定」でプリンタを選んでください。"),
            this);
        return false;
    }
    if (!m_roundingError.isEmpty() && UsesRoundedLog(selection)) {
        Messages().error(RoundingFailedText(m_roundingError), this);
        return false;
    }
    return true;
}

bool TPrintDlgForm::PrintChosen()
{
    const TPrintSelection selection = Selection();
    if (!ReadyToPrint(selection))
        return false;

    QPrinter &printer = *m_printer;
    const bool toPdf = printer.outputFormat() == QPrinter::PdfFormat;
    const TPrintInput input{m_test, m_setting, m_tables, m_dataKind, m_pictureFolder};
    TPrintHooks hooks;
    // A run stopped by an error leaves no half document in the printer's queue.
    hooks.Abandon = [&printer] {
        printer.abort();
    };
    QString failure;
    TPrintResult result;
    {
        TWaitCursor wait;
        printer.setDocName(PrintDocumentTitle());
        try {
            if (toPdf) {
                // A PDF file is written as every file is, whole or the old one kept, at the
                // program's own PDF resolution so its pen widths match; on the paper chosen.
                WritePdfFile(printer.outputFileName(), [&](QPdfWriter &pdf) {
                    pdf.setPageLayout(printer.pageLayout());
                    result = PrintSelected(pdf, selection, input, {});
                });
            } else {
                result = PrintSelected(printer, selection, input, hooks);
            }
        } catch (const ETessmarkError &error) {
            failure = error.message();
        } catch (const std::exception &error) {
            failure = QString::fromUtf8(error.what());
        }
    }
    if (!failure.isEmpty()) {
        if (toPdf)
            failure += QStringLiteral("\r") + printer.outputFileName();
        Messages().error(failure, this);
        return false;
    }
    m_lastPages = result.Pages;
    if (result.PictureMissing)
        Messages().warning(QStringLiteral("ヘッダーの画像ファイル ") + HeaderPictureFileName() +
                               QStringLiteral(" を読み込めないため、画像なしで印刷しました。"),
                           this);
    return true;
}

void TPrintDlgForm::TableCBClick()
{
    P_Button->setEnabled(Selection().anyPrintout());
}

void TPrintDlgForm::PSButtonClick()
{
    if (!m_access.SetUp(*m_printer, this))
        return;
    RememberPrintTarget(*m_printer, m_setting);
    ShowPrinterName();
}

void TPrintDlgForm::P_ButtonClick()
{
    // Nothing to ask about when the printout could not go anywhere.
    if (!ReadyToPrint(Selection()))
        return;
    if (Messages().confirmPlain(QStringLiteral("印刷を行いますか?"), this) != QMessageBox::Ok)
        return;
    if (PrintChosen())
        accept();
}

void TPrintDlgForm::CanButtonClick()
{
    reject();
}

void TPrintDlgForm::done(int result)
{
    StoreChoices();
    QDialog::done(result);
}

void TPrintDlgForm::showEvent(QShowEvent *event)
{
    if (!m_placed) {
        m_placed = true;
        adjustSize();
        const QScreen *shown = parentWidget() ? parentWidget()->screen() : screen();
        if (shown != nullptr)
            move(shown->availableGeometry().center() - rect().center());
    }
    QDialog::showEvent(event);
}

void TPrintDlgForm::closeEvent(QCloseEvent *event)
{
    // A shown dialog closes through done(); one that was never shown stores here.
    if (!isVisible())
        StoreChoices();
    QDialog::closeEvent(event);
}
