#include "option.h"

#include "numedit.h"
#include "placement.h"
#include "portmap.h"
#include "setdir.h"
#include "settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// The Nsw graph's axis starts this far left of its zero line, so the dialog shows the part
// right of zero.
constexpr int kNswAxisLead = 50;
constexpr int kFieldWidth = 64;

QLabel *label(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    return l;
}

} // namespace

TSettingUpDown::TSettingUpDown(TNumEdit *buddy, int minimum, int maximum, int step, QWidget *parent)
    : QSpinBox(parent), m_buddy(buddy)
{
    setLineEdit(buddy);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setRange(minimum, maximum);
    setSingleStep(step);
    setFixedWidth(kFieldWidth);
}

std::optional<int> PortOfCommText(const QString &text)
{
    if (text.size() < 5)
        return std::nullopt;
    const QChar c = text.at(4);
    if (c < u'0' || c > u'9')
        return std::nullopt;
    return c.unicode() - u'0';
}

TPagesDlg::TPagesDlg(TSetting &setting, QWidget *parent) : QDialog(parent), m_setting(setting)
{
    PortPath = [](int n) {
        return CommDevicePath(TSetting(), n);
    };
    m_comm = setting.Comm;
    setObjectName(QStringLiteral("PagesDlg"));
    setWindowTitle(QStringLiteral("Tessmark　各種設定"));
    ChooseDir = [this](const QString &start) {
        return ChooseFolder(start, this);
    };

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    createDspSheet();
    createDataSheet();
    createEtcSheet();
    createArchiveSheet();

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(OKBtn, &QPushButton::clicked, this, &TPagesDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TPagesDlg::CancelBtnClick);

    auto *strip = new QHBoxLayout;
    strip->addStretch(1);
    strip->addWidget(OKBtn);
    strip->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(strip);

    for (TSettingUpDown *field : UpDowns()) {
        field->installEventFilter(this);
        field->Buddy()->installEventFilter(this);
    }
    FormCreate();
    setFixedSize(QSize(376, 259).expandedTo(sizeHint()));
    CentreOnScreen(this);
}

TSettingUpDown *TPagesDlg::upDown(QWidget *parent, const char *name, const char *editName,
                                  int minimum, int maximum, int step)
{
    auto *edit = new TNumEdit;
    edit->setObjectName(QLatin1String(editName));
    auto *field = new TSettingUpDown(edit, minimum, maximum, step, parent);
    field->setObjectName(QLatin1String(name));
    return field;
}

void TPagesDlg::createDspSheet()
{
    DspSheet = new QWidget;
    DspSheet->setObjectName(QStringLiteral("DspSheet"));
    auto *grid = new QGridLayout(DspSheet);
    UDDepth1 = upDown(DspSheet, "UDDepth1", "NumEdit5", 1, 50, 1);
    UDNswMax = upDown(DspSheet, "UDNswMax", "NumEdit6", 10, 500, 10);
    UDNmax = upDown(DspSheet, "UDNmax", "NumEdit7", 1, 50, 1);
    UDTorqueMax = upDown(DspSheet, "UDTorqueMax", "NumEdit9", 10, 200, 10);
    const struct
    {
        const char *text;
        TSettingUpDown *field;
        const char *unit;
    } rows[] = {
        {"貫入深さ切り替えポイント", UDDepth1, "m"},
        {"NswグラフＸ軸最大値", UDNswMax, ""},
        {"換算Ｎ値グラフＸ軸最大値", UDNmax, ""},
        {"トルクグラフＸ軸最大値", UDTorqueMax, ""},
    };
    int row = 0;
    for (const auto &r : rows) {
        grid->addWidget(label(QString::fromUtf8(r.text), DspSheet), row, 0);
        grid->addWidget(r.field, row, 1);
        grid->addWidget(label(QString::fromUtf8(r.unit), DspSheet), row, 2);
        ++row;
    }
    WswModeCB = new QCheckBox(QStringLiteral("Wswグラフ 0側塗り潰し"), DspSheet);
    WswModeCB->setObjectName(QStringLiteral("WswModeCB"));
    NaModeCB = new QCheckBox(QStringLiteral("Na、Nsw小数点表示"), DspSheet);
    NaModeCB->setObjectName(QStringLiteral("NaModeCB"));
    TorqueGraphCB = new QCheckBox(QStringLiteral("トルクグラフ表示"), DspSheet);
    TorqueGraphCB->setObjectName(QStringLiteral("TorqueGraphCB"));
    for (QCheckBox *box : {WswModeCB, NaModeCB, TorqueGraphCB})
        grid->addWidget(box, row++, 0, 1, 3);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(row, 1);
    PageControl1->addTab(DspSheet, QStringLiteral("画面表示"));
}

void TPagesDlg::createDataSheet()
{
    DataSheet = new QWidget;
    DataSheet->setObjectName(QStringLiteral("DataSheet"));
    auto *grid = new QGridLayout(DataSheet);
    UDDNsw = upDown(DataSheet, "UDDNsw", "NumEdit1", 0, 500, 1);
    grid->addWidget(label(QStringLiteral("打撃時対応Nsw"), DataSheet), 0, 0);
    grid->addWidget(UDDNsw, 0, 1);
    KutenNukiCB = new QCheckBox(QStringLiteral("まるめ処理時空転削除"), DataSheet);
    KutenNukiCB->setObjectName(QStringLiteral("KutenNukiCB"));
    connect(KutenNukiCB, &QCheckBox::clicked, this, &TPagesDlg::KutenNukiCBClick);
    grid->addWidget(KutenNukiCB, 1, 0, 1, 3);

    KutenNukiGB = new QGroupBox(QStringLiteral("空転削除判定"), DataSheet);
    KutenNukiGB->setObjectName(QStringLiteral("KutenNukiGB"));
    auto *group = new QGridLayout(KutenNukiGB);
    UDmaxD = upDown(KutenNukiGB, "UDmaxD", "NumEdit2", 1, 5, 1);
    UDminN = upDown(KutenNukiGB, "UDminN", "NumEdit3", 0, 100, 1);
    group->addWidget(label(QStringLiteral("最大貫入量"), KutenNukiGB), 0, 0);
    group->addWidget(UDmaxD, 0, 1);
    group->addWidget(label(QStringLiteral("cm"), KutenNukiGB), 0, 2);
    group->addWidget(label(QStringLiteral("最小Ｎ値"), KutenNukiGB), 1, 0);
    group->addWidget(UDminN, 1, 1);
    group->setColumnStretch(3, 1);
    grid->addWidget(KutenNukiGB, 2, 0, 1, 4);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(3, 1);
    PageControl1->addTab(DataSheet, QStringLiteral("データ加工"));
}

void TPagesDlg::createEtcSheet()
{
    etcSheet = new QWidget;
    etcSheet->setObjectName(QStringLiteral("etcSheet"));
    auto *grid = new QGridLayout(etcSheet);

    CommCombo = new QComboBox(etcSheet);
    CommCombo->setObjectName(QStringLiteral("CommCombo"));
    CommCombo->setEditable(true);
    CommCombo->setInsertPolicy(QComboBox::NoInsert);
    for (int n = 1; n <= 9; ++n)
        CommCombo->addItem(QStringLiteral("Comm%1").arg(n));
    CommPathLabel = label(QString(), etcSheet);
    CommPathLabel->setObjectName(QStringLiteral("CommPathLabel"));
    connect(CommCombo, &QComboBox::editTextChanged, this, &TPagesDlg::UpdatePortPath);
    grid->addWidget(label(QStringLiteral("通信ﾎﾟｰﾄ"), etcSheet), 0, 0);
    grid->addWidget(CommCombo, 0, 1);
    grid->addWidget(CommPathLabel, 0, 2, 1, 2);
    // The device of the chosen port: typed, it is that port's device from now on; left empty,
    // the port is the system's n-th serial port by name.
    CommDeviceEdit = new QLineEdit(etcSheet);
    CommDeviceEdit->setObjectName(QStringLiteral("CommDeviceEdit"));
    CommDeviceEdit->setToolTip(
        QStringLiteral("空欄のときは、システムのシリアルポートを名前順に並べたN番目です"));
    connect(CommDeviceEdit, &QLineEdit::textEdited, this, &TPagesDlg::CommDeviceEditChange);
    grid->addWidget(label(QStringLiteral("ﾃﾞﾊﾞｲｽ"), etcSheet), 1, 0);
    grid->addWidget(CommDeviceEdit, 1, 1, 1, 3);

    DirEdit = new QLineEdit(etcSheet);
    DirEdit->setObjectName(QStringLiteral("DirEdit"));
    SpeedButton1 = new QToolButton(etcSheet);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("…"));
    connect(SpeedButton1, &QToolButton::clicked, this, &TPagesDlg::SpeedButton1Click);
    grid->addWidget(label(QStringLiteral("一時ﾌｧｲﾙ保存位置"), etcSheet), 2, 0, 1, 4);
    grid->addWidget(DirEdit, 3, 0, 1, 3);
    grid->addWidget(SpeedButton1, 3, 3);

    UDRowNum = upDown(etcSheet, "UDRowNum", "NumEdit8", 40, 48, 4);
    grid->addWidget(label(QStringLiteral("１ページ印刷行数"), etcSheet), 4, 0);
    grid->addWidget(UDRowNum, 4, 1, Qt::AlignLeft);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(5, 1);
    PageControl1->addTab(etcSheet, QStringLiteral("その他"));
}

QList<TSettingUpDown *> TPagesDlg::UpDowns() const
{
    return {UDDepth1, UDNswMax, UDNmax, UDTorqueMax, UDDNsw, UDmaxD, UDminN, UDRowNum};
}

void TPagesDlg::FormCreate()
{
    const TSetting &s = m_setting;
    UDDepth1->setValue(s.Depth1);
    UDNswMax->setValue(s.NswMax - kNswAxisLead);
    UDNmax->setValue(s.NMax);
    UDTorqueMax->setValue(s.TorqueMax);
    WswModeCB->setChecked(s.WswMode);
    NaModeCB->setChecked(s.NaMode);
    TorqueGraphCB->setChecked(s.TorqueGraph);
    UDDNsw->setValue(s.DNsw);
    KutenNukiCB->setChecked(s.KutenFlag);
    UDmaxD->setValue(s.KutenMaxD);
    UDminN->setValue(s.KutenMinN);
    CommCombo->setEditText(QStringLiteral("Comm%1").arg(s.Port));
    DirEdit->setText(s.FileMode.TempDir);
    UDRowNum->setValue(s.RowNum);
    KutenNukiCBClick();
    UpdatePortPath();
    loadArchiveSheet();
}

void TPagesDlg::KutenNukiCBClick()
{
    // The group's children follow the group box's own enabled state.
    KutenNukiGB->setEnabled(KutenNukiCB->isChecked());
}

std::optional<int> TPagesDlg::chosenPort() const
{
    const std::optional<int> port = PortOfCommText(CommCombo->currentText());
    if (port && *port >= 1 && *port <= int(m_comm.size()))
        return port;
    return std::nullopt;
}

void TPagesDlg::UpdatePortPath()
{
    const std::optional<int> port = chosenPort();
    const QString system = port && PortPath ? PortPath(*port) : QString();
    const QString typed = port ? m_comm[*port - 1] : QString();
    const QString noPort = QStringLiteral("(ﾎﾟｰﾄなし)");
    CommPathLabel->setText(!typed.isEmpty() ? typed : system.isEmpty() ? noPort : system);
    CommDeviceEdit->setEnabled(port.has_value());
    CommDeviceEdit->setText(typed);
    CommDeviceEdit->setPlaceholderText(system.isEmpty() ? noPort : system);
}

void TPagesDlg::CommDeviceEditChange()
{
    // Only the label follows the typing: setting the field's text again would move the cursor
    // and drop a space typed before the next character. The placeholder holds the port's own
    // device.
    if (const std::optional<int> port = chosenPort()) {
        const QString &typed = m_comm[*port - 1] = CommDeviceEdit->text().trimmed();
        CommPathLabel->setText(typed.isEmpty() ? CommDeviceEdit->placeholderText() : typed);
    }
}

void TPagesDlg::SpeedButton1Click()
{
    const QString folder = ChooseDir ? ChooseDir(DirEdit->text()) : QString();
    if (!folder.isEmpty())
        DirEdit->setText(folder);
}

void TPagesDlg::OKBtnClick()
{
    // A number typed but not yet taken by its up-down counts as its position.
    for (TSettingUpDown *field : UpDowns())
        field->interpretText();
    if (!storeArchiveSheet())
        return;
    TSetting &s = m_setting;
    s.Depth1 = UDDepth1->value();
    s.NswMax = UDNswMax->value() + kNswAxisLead;
    s.NMax = UDNmax->value();
    s.TorqueMax = UDTorqueMax->value();
    s.WswMode = WswModeCB->isChecked();
    s.NaMode = NaModeCB->isChecked();
    s.TorqueGraph = TorqueGraphCB->isChecked();
    s.DNsw = UDDNsw->value();
    s.KutenFlag = KutenNukiCB->isChecked();
    s.KutenMaxD = UDmaxD->value();
    s.KutenMinN = UDminN->value();
    // A text without a digit in the port's place names no port: the old one stays.
    if (const std::optional<int> port = PortOfCommText(CommCombo->currentText()))
        s.Port = *port;
    s.Comm = m_comm;
    s.FileMode.TempDir = DirEdit->text();
    s.RowNum = UDRowNum->value() / 4 * 4;
    if (OnStored)
        OnStored();
    accept();
}

void TPagesDlg::CancelBtnClick()
{
    reject();
}

bool TPagesDlg::NumEdit4KeyDown(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        OKBtnClick();
        return true;
    }
    if (key == Qt::Key_Escape) {
        CancelBtnClick();
        return true;
    }
    return false;
}

bool TPagesDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress &&
        NumEdit4KeyDown(static_cast<QKeyEvent *>(event)->key()))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TPagesDlg::done(int result)
{
    QDialog::done(result);
    FormClose();
}

void TPagesDlg::FormClose()
{
    if (OnClosed)
        OnClosed();
}
