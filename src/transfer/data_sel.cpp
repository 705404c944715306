#include "data_sel.h"

#include "boundedread.h"
#include "drawtext.h"
#include "errors.h"
#include "events.h"
#include "messages.h"
#include "pavlink.h"
#include "placement.h"
#include "portmap.h"
#include "settings.h"
#include "testlist.h"
#include "tuusin.h"
#include "wire.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>
#include <QToolButton>

namespace {

// The instrument needs this pause between opening the port and the next command.
constexpr int kCommandPauseMs = 500;

const QString kRecoveryQuestion =
    QStringLiteral("通信に失敗しましたが、転送されたデータが残っています。\r転送されたデータを強制"
                   "的に読み込みますか?");
const QString kRecoveryNotice = QStringLiteral(
    "読み込んだデータは破壊されている可能性があります。\rプリンタ出力などで内容を確認してみてくださ"
    "い\rまた、このエラーのあった以降のデータは、転送されていません。現在読み込んだデータのファイル"
    "はありませんので、保存を行った後に残りのファイルの転送を行ってください。");

// Where the data of a test that was not written to its file are; the transfer stops there, since
// the next answer would replace them.
QString dataKeptText(const QString &source)
{
    return QStringLiteral("データは %1 に残っています。").arg(QDir::toNativeSeparators(source));
}

// The dialog that talks to the instrument, while it does.
QPointer<TTermDlg> &instrumentUser()
{
    static QPointer<TTermDlg> user;
    return user;
}

TInputQuery &inputQuery()
{
    static TInputQuery query;
    return query;
}

bool askText(QWidget *parent, const QString &caption, const QString &prompt, QString &value)
{
    if (inputQuery())
        return inputQuery()(parent, caption, prompt, value);
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, value, &ok);
    if (ok)
        value = text;
    return ok;
}

} // namespace

TInputQuery SetInputQuery(TInputQuery query)
{
    return std::exchange(inputQuery(), std::move(query));
}

TTermDlg::TTermDlg(const TTermContext &context, QWidget *parent)
    : QDialog(parent), m_context(context),
      m_work(std::make_unique<TTransferWorkFolder>(context.TempFolder)),
      m_library(context.Library ? context.Library : &Pavlink())
{
    setObjectName(QStringLiteral("TermDlg"));
    setWindowTitle(QStringLiteral("試験ﾃﾞｰﾀ読み込み"));
    setFixedSize(610, 254);

    const auto label = [this](const char *name, const QString &text, int x) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(x, 6, 240, 18);
        return l;
    };
    SrcLabel = label("SrcLabel", QStringLiteral("ﾃﾞｰﾀﾘｽﾄ"), 8);
    DstLabel = label("DstLabel", QStringLiteral("ﾌｧｲﾙに落とすﾃﾞｰﾀ"), 340);

    const auto list = [this](const char *name, int x) {
        auto *l = new QListWidget(this);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(x, 26, 262, 178);
        l->setSelectionMode(QAbstractItemView::ExtendedSelection);
        l->setSortingEnabled(true);
        // Fixed-pitch half-width digits: a whole test line fits the list's width.
        QFont font = l->font();
        font.setFamilies(GothicFamilies(false));
        font.setPixelSize(12);
        l->setFont(font);
        return l;
    };
    SrcList = list("SrcList", 8);
    DstList = list("DstList", 340);

    const auto mover = [this](const char *name, const QString &text, int y,
                              void (TTermDlg::*handler)()) {
        auto *b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setGeometry(282, y, 46, 28);
        b->setEnabled(false);
        connect(b, &QToolButton::clicked, this, handler);
        return b;
    };
    IncludeBtn = mover("IncludeBtn", QStringLiteral(">"), 40, &TTermDlg::IncludeBtnClick);
    IncAllBtn = mover("IncAllBtn", QStringLiteral(">>"), 76, &TTermDlg::IncAllBtnClick);
    ExcludeBtn = mover("ExcludeBtn", QStringLiteral("<"), 122, &TTermDlg::ExcludeBtnClick);
    ExAllBtn = mover("ExAllBtn", QStringLiteral("<<"), 158, &TTermDlg::ExcAllBtnClick);

    const auto button = [this](const char *name, const QString &text, int x, int width) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(x, 214, width, 30);
        b->setAutoDefault(false);
        return b;
    };
    ListBtn = button("ListBtn", QStringLiteral("試験ﾘｽﾄ受信"), 8, 150);
    DataBtn = button("DataBtn", QStringLiteral("試験ﾃﾞｰﾀ転送"), 166, 150);
    DataBtn->setEnabled(false);
    CancelBtn = button("CancelBtn", QStringLiteral("ｷｬﾝｾﾙ"), 492, 110);
    connect(ListBtn, &QPushButton::clicked, this, &TTermDlg::ListBtnClick);
    connect(DataBtn, &QPushButton::clicked, this, &TTermDlg::DataBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    CentreOnScreen(this);
}

TTermDlg::~TTermDlg()
{
    closeBusyWindow();
}

bool TTermDlg::InstrumentBusy()
{
    const TTermDlg *user = instrumentUser();
    return user && (user->m_waiting || user->m_answering || user->m_reading);
}

QString TTermDlg::InstrumentBusyText()
{
    return QStringLiteral("ほかの通信が終わるまでお待ちください");
}

bool TTermDlg::takeInstrument()
{
    if (!m_work->IsValid()) {
        Messages().error(
            QStringLiteral("通信用の作業フォルダを作成できません\r%1: %2")
                .arg(QDir::toNativeSeparators(m_work->Parent()), m_work->ErrorString()),
            this);
        return false;
    }
    if (instrumentUser() != this && InstrumentBusy()) {
        Messages().error(InstrumentBusyText(), this);
        return false;
    }
    instrumentUser() = this;
    return true;
}

QString TTermDlg::AddTemppath(const QString &name) const
{
    return m_work->FilePath(name);
}

void TTermDlg::keepWorkFolder()
{
    m_work->Keep();
    m_work = std::make_unique<TTransferWorkFolder>(m_context.TempFolder);
}

// Sending ------------------------------------------------------------------------------------

void TTermDlg::SendCommand(const QString &text)
{
    m_waiting = true;
    if (const TSetting *setting = m_context.Setting) {
        const TSetting copy = *setting;
        m_library->SetPortMap([copy](int n) { return CommDevicePath(copy, n); });
        m_library->SetCom(setting->Port);
    } else {
        m_library->SetCom(1);
    }
    // The pause runs on a timer: the window keeps painting and nothing is sent once it closed.
    QTimer::singleShot(kCommandPauseMs, this, [this, text] {
        m_library->DspMonitor(m_context.MonitorFlag, m_context.LogFlag);
        showBusyWindow();
        m_library->SetTempFolder(m_work->Path());
        m_library->Term_Command(text, this);
    });
}

void TTermDlg::SendRead(int number)
{
    m_waiting = true;
    showBusyWindow();
    QTimer::singleShot(kCommandPauseMs, this, [this, number] {
        m_library->SetTempFolder(m_work->Path());
        m_library->Term_Command(QStringLiteral("READ ") + QString::number(number), this);
    });
}

void TTermDlg::SendFreeCommand()
{
    if (!takeInstrument()) {
        close();
        return;
    }
    TransferMode = 2;
    QString text = QStringLiteral("CODE");
    if (!askText(this, QStringLiteral("任意コマンド発信"),
                 QStringLiteral("コマンドを入力してください"), text))
        text = QStringLiteral("CODE");
    SendCommand(text);
}

void TTermDlg::showBusyWindow()
{
    closeBusyWindow();
    m_busy = new TTuusinForm();
    m_busy->show();
    setCursor(Qt::WaitCursor);
}

void TTermDlg::closeBusyWindow()
{
    if (m_busy)
        m_busy->close();
    m_busy = nullptr;
}

// Buttons ------------------------------------------------------------------------------------

void TTermDlg::ListBtnClick()
{
    if (m_reading || !takeInstrument())
        return;
    TransferMode = 0;
    SendCommand(QStringLiteral("LIST"));
}

void TTermDlg::DataBtnClick()
{
    // One transfer at a time: a second one would interleave with the first.
    if (m_reading || (DstList->count() > 0 && !takeInstrument()))
        return;
    if (DstList->count() == 0)
        return;
    TransferMode = 1;
    ReadTotal = DstList->count();
    ReadCount = 0;
    m_readNumbers.clear();
    for (int i = 0; i < DstList->count(); ++i)
        m_readNumbers.append(TestNumberOfLine(DstList->item(i)->text()));
    m_reading = true;
    SetButtons();
    readNext();
}

// Reads the next picked test. The moving buttons and the transfer button stay off until the
// transfer ends or stops (SetButtons), so nothing can start a second transfer beside the first
// or change what is being fetched.
void TTermDlg::readNext()
{
    SendRead(m_readNumbers.value(ReadCount));
}

void TTermDlg::stopReading(const QString &message)
{
    if (m_reading) {
        m_reading = false;
        SetButtons();
    }
    if (!message.isEmpty())
        Messages().error(message, this);
    if (!m_keptNotes.isEmpty()) {
        Messages().information(m_keptNotes.join(u'\r'), this);
        m_keptNotes.clear();
    }
}

void TTermDlg::IncludeBtnClick()
{
    if (m_reading)
        return;
    const int first = GetFirstSelection(SrcList);
    MoveSelected(SrcList, DstList);
    SetItem(SrcList, first);
}

void TTermDlg::ExcludeBtnClick()
{
    if (m_reading)
        return;
    const int first = GetFirstSelection(DstList);
    MoveSelected(DstList, SrcList);
    SetItem(DstList, first);
}

void TTermDlg::IncAllBtnClick()
{
    if (m_reading)
        return;
    while (SrcList->count() > 0)
        DstList->addItem(SrcList->takeItem(0));
    SetItem(SrcList, 0);
}

void TTermDlg::ExcAllBtnClick()
{
    if (m_reading)
        return;
    while (DstList->count() > 0)
        SrcList->addItem(DstList->takeItem(0));
    SetItem(DstList, 0);
}

// Lists --------------------------------------------------------------------------------------

void TTermDlg::MoveSelected(QListWidget *list, QListWidget *target)
{
    for (int i = list->count() - 1; i >= 0; --i)
        if (list->item(i)->isSelected()) {
            QListWidgetItem *item = list->takeItem(i);
            item->setSelected(false);
            target->addItem(item);
        }
}

int TTermDlg::GetFirstSelection(QListWidget *list) const
{
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected())
            return i;
    return -1;
}

void TTermDlg::SetItem(QListWidget *list, int index)
{
    list->setFocus();
    index = std::clamp(index, 0, std::max(0, list->count() - 1));
    if (list->count() > 0) {
        list->clearSelection();
        list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    }
    SetButtons();
}

void TTermDlg::SetButtons()
{
    const bool left = !m_reading && SrcList->count() > 0;
    const bool right = !m_reading && DstList->count() > 0;
    IncludeBtn->setEnabled(left);
    IncAllBtn->setEnabled(left);
    ExcludeBtn->setEnabled(right);
    ExAllBtn->setEnabled(right);
    DataBtn->setEnabled(right);
}

void TTermDlg::FillTestList()
{
    SrcList->clear();
    SrcList->addItems(TestListLines(AnswerLines));
}

// Answers ------------------------------------------------------------------------------------

bool TTermDlg::event(QEvent *event)
{
    if (event->type() == WM_TERMANSWER) {
        const auto *message = static_cast<TWindowMessage *>(event);
        TermAnswer(int(message->WParam), int(message->LParam));
        return true;
    }
    return QDialog::event(event);
}

void TTermDlg::TermAnswer(int wParam, int lParam)
{
    m_waiting = false;
    const QScopedValueRollback<bool> answering(m_answering, true);
    closeBusyWindow();
    unsetCursor();
    // Every answer turns the transfer button on, except a read the transfer goes on from; a
    // failure ends the transfer. With no test picked there is nothing to transfer.
    if (wParam == 1)
        stopReading();
    if (wParam == 1 || TransferMode != 1)
        DataBtn->setEnabled(DstList->count() > 0);

    if (wParam == 1) {
        Messages().error(TermFailureText(lParam), this);
        // What arrived of a broken read stays where the question says, whatever the answer.
        const bool recoverable = ErrorDataExists();
        const QString errorData = AddTemppath(kErrorDataFileName);
        if (recoverable)
            keepWorkFolder();
        if (recoverable && TransferMode == 1 && lParam == ReceiveFailure &&
            Messages().ask(TMessageKind::Error, kRecoveryQuestion + u'\r' + dataKeptText(errorData),
                           QMessageBox::Yes | QMessageBox::No, this) == QMessageBox::Yes) {
            if (m_context.OpenDataFile)
                m_context.OpenDataFile(errorData);
            Messages().information(kRecoveryNotice, this);
            close();
        } else if (TransferMode == 2 && !isVisible()) {
            // A free command has no window to come back to.
            close();
        }
        return;
    }

    // Read once: its lines fill the list or name the test's file, its bytes are the file.
    QByteArray answer;
    try {
        // No more than the instrument may send, so a damaged answer file cannot fill memory.
        answer = ReadWholeFile(AddTemppath(kAnswerFileName), Wire::kMaxAnswerBytes);
    } catch (const EFileRefused &) {
        // An answer that cannot be read lists no test and names no file.
    }
    AnswerLines = AnswerLinesOf(answer);
    switch (TransferMode) {
    case 0:
        if (!AnswerLines.isEmpty()) {
            ListBtn->setEnabled(false);
            IncludeBtn->setEnabled(true);
            IncAllBtn->setEnabled(true);
            FillTestList();
        }
        break;
    case 1:
        readAnswer(answer);
        break;
    default:
        // The free command's answer stays in its "pavlink.tmp" for the service engineer.
        m_work->Keep();
        close();
        break;
    }
}

void TTermDlg::readAnswer(const QByteArray &answer)
{
    ++ReadCount;
    const QString source = AddTemppath(kAnswerFileName);
    const QString name = TransferFileName(AnswerLines);
    if (name.isEmpty()) {
        // A header whose date and time cannot name a file safely: a malformed answer.
        keepWorkFolder();
        stopReading(TermFailureText(AnswerFailure) + u'\r' + dataKeptText(source));
        return;
    }
    const QString folder = m_context.Setting ? m_context.Setting->FileMode.TempDir : QString();
    if (!MoveTransferFile(answer, source, folder, name)) {
        stopReading();
        return;
    }
    if (ReadCount < ReadTotal) {
        setCursor(Qt::WaitCursor);
        readNext();
    } else {
        stopReading();
        close();
    }
}

bool TTermDlg::MoveTransferFile(const QByteArray &bytes, const QString &source,
                                const QString &folder, const QString &name)
{
    const QDir into(folder);
    const QString target = into.filePath(name);
    TKeptTest kept;
    try {
        kept = KeepTransferredTest(into.absolutePath(), name, bytes);
    } catch (const ETessmarkError &failure) {
        // The archive keeps what the file could not.
        if (m_context.TestReceived)
            m_context.TestReceived(bytes, target);
        keepWorkFolder();
        Messages().error(QStringLiteral("転送されたデータを %1 に書き込めません。\r")
                                 .arg(QDir::toNativeSeparators(target)) +
                             failure.message() + u'\r' + dataKeptText(source),
                         this);
        return false;
    }
    if (m_context.TestReceived)
        m_context.TestReceived(bytes, kept.Path);
    if (kept.AlreadyThere)
        m_keptNotes.append(QStringLiteral("%1 は転送済みです（同じ内容のファイルがあります）")
                               .arg(QDir::toNativeSeparators(kept.Path)));
    else if (kept.Renamed)
        m_keptNotes.append(QStringLiteral("%1 は同名のファイルがあるため %2 として保存しました")
                               .arg(name, QFileInfo(kept.Path).fileName()));
    QFile::remove(source);
    return true;
}

bool TTermDlg::ErrorDataExists() const
{
    return QFileInfo::exists(AddTemppath(kErrorDataFileName));
}

void TTermDlg::done(int result)
{
    closeBusyWindow();
    QDialog::done(result);
}
