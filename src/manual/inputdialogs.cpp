#include "inputdialogs.h"

#include "numedit.h"
#include "placement.h"
#include "settings.h"
#include "updown.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Field widths for the longest number a field takes.
constexpr int kFieldWidth = 56;

} // namespace

TManualDialog::TManualDialog(const QString &caption, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(caption);
    // Only the system menu: no help button, no resizing.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    m_rows = new QGridLayout;
    m_rows->setHorizontalSpacing(6);
    m_rows->setVerticalSpacing(4);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

TUpDown *TManualDialog::addNumberRow(QLabel *&label, const QString &caption, QLineEdit *field,
                                     int maxLength, int min, int max, const QString &unit)
{
    const int row = m_rows->rowCount();
    label = new QLabel(caption, this);
    label->setTextFormat(Qt::PlainText);
    field->setParent(this);
    field->setMaxLength(maxLength);
    field->setFixedWidth(kFieldWidth);
    field->setAttribute(Qt::WA_InputMethodEnabled, false);
    auto *upDown = new TUpDown(field, min, max, this);
    m_fields.append(field);
    m_rows->addWidget(label, row, 0);
    m_rows->addWidget(field, row, 1);
    m_rows->addWidget(upDown, row, 2);
    if (!unit.isEmpty())
        m_rows->addWidget(new QLabel(unit, this), row, 3);
    return upDown;
}

void TManualDialog::finish(const QSize &clientSize)
{
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    // The rows share the designed height rather than leaving a gap above the buttons.
    layout->addLayout(m_rows, 1);
    layout->addLayout(buttons);
    setFixedSize(clientSize.expandedTo(sizeHint()));
    CentreOnScreen(this);

    // The fields first, then the buttons; the dialog opens on the first field with its text
    // selected, so typing replaces the value and Enter answers OK.
    QList<QWidget *> order(m_fields.cbegin(), m_fields.cend());
    order << OKBtn << CancelBtn;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
    if (!m_fields.isEmpty()) {
        m_fields.first()->setFocus();
        m_fields.first()->selectAll();
    }
}

TInpRawsForm::TInpRawsForm(TSetting &setting, QWidget *parent)
    : TManualDialog(QStringLiteral("入力行数設定"), parent), m_setting(setting)
{
    setObjectName(QStringLiteral("InpRawsForm"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    RawsUD = addNumberRow(Label1, QStringLiteral("行数"), Edit1, 3, 1, 999);
    RawsUD->SetPosition(setting.Raws);
    connect(OKBtn, &QPushButton::clicked, this, &TInpRawsForm::OKBtnClick);
    finish(QSize(260, 91));
}

void TInpRawsForm::OKBtnClick()
{
    m_setting.Raws = RawsUD->Position();
    accept();
}

namespace {

struct TInfoRow
{
    const char *Caption;
    int MaxLength;
    int Min;
    int Max;
    int TTestInfo::*Field;
};

// In the order the fields are stored on OK.
const TInfoRow kInfoRows[TInfInputForm::kRows] = {
    {"試験番号1", 3, 0, 999, &TTestInfo::Code1},     {"試験番号2", 3, 0, 999, &TTestInfo::Code2},
    {"試験番号3", 3, 0, 999, &TTestInfo::Code3},     {"試験番号4", 4, 0, 9999, &TTestInfo::Code4},
    {"測点番号", 2, 0, 20, &TTestInfo::PointNo},     {"試験実施年", 2, 0, 99, &TTestInfo::Year},
    {"試験実施月", 2, 1, 12, &TTestInfo::Month},     {"試験実施日", 2, 1, 31, &TTestInfo::Day},
    {"試験開始時", 2, 0, 24, &TTestInfo::StartHour}, {"試験開始分", 2, 0, 59, &TTestInfo::StartMin},
    {"試験終了時", 2, 0, 24, &TTestInfo::EndHour},   {"試験終了分", 2, 0, 59, &TTestInfo::EndMin},
};

} // namespace

TInfInputForm::TInfInputForm(TTestInfo &info, QWidget *parent)
    : TManualDialog(QStringLiteral("試験情報入力"), parent), m_info(info)
{
    setObjectName(QStringLiteral("InfInputForm"));
    for (int i = 0; i < kRows; ++i) {
        const TInfoRow &row = kInfoRows[i];
        NumEdits[i] = new TNumEdit(this);
        NumEdits[i]->setObjectName(QStringLiteral("NumEdit%1").arg(i + 1));
        UpDowns[i] = addNumberRow(Labels[i], QString::fromUtf8(row.Caption), NumEdits[i],
                                  row.MaxLength, row.Min, row.Max);
        UpDowns[i]->SetPosition(info.*row.Field);
    }
    connect(OKBtn, &QPushButton::clicked, this, &TInfInputForm::OKBtnClick);
    finish(QSize(234, 423));
}

void TInfInputForm::OKBtnClick()
{
    for (int i = 0; i < kRows; ++i)
        m_info.*kInfoRows[i].Field = UpDowns[i]->Position();
    accept();
}

TSetDepthForm::TSetDepthForm(QWidget *parent)
    : TManualDialog(QStringLiteral("貫入深さ入力"), parent)
{
    setObjectName(QStringLiteral("SetDepthForm"));
    NumEdit1 = new TNumEdit(this);
    NumEdit1->setObjectName(QStringLiteral("NumEdit1"));
    NumEdit2 = new TNumEdit(this);
    NumEdit2->setObjectName(QStringLiteral("NumEdit2"));
    StartUD =
        addNumberRow(Label1, QStringLiteral("開始値"), NumEdit1, 4, 0, 4000, QStringLiteral("cm"));
    IncUD =
        addNumberRow(Label2, QStringLiteral("増分値"), NumEdit2, 3, 0, 100, QStringLiteral("cm"));
    StartUD->SetPosition(25);
    IncUD->SetPosition(25);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    finish(QSize(182, 121));
}
