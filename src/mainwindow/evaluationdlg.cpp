#include "evaluationdlg.h"

#include "errors.h"
#include "placement.h"
#include "presentation.h"
#include "settings.h"

#include <QClipboard>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *valueLabel(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

} // namespace

TEvaluationDlg::TEvaluationDlg(const TSoundingTest &test, TSetting &setting,
                               const TReferenceTables &tables, QWidget *parent)
    : QDialog(parent), m_setting(setting), m_info(test.NormalLog.info())
{
    setObjectName(QStringLiteral("EvaluationDlg"));
    setWindowTitle(QStringLiteral("地盤評価"));

    // Rounded once: only the base depth changes while the dialog is open.
    try {
        m_rounded = EvaluationLog(test, setting, tables);
    } catch (const ETessmarkError &e) {
        m_roundingError = e.message();
    }

    auto *form = new QFormLayout;
    auto *code = new QLabel(TestCodeText(m_info), this);
    form->addRow(code);
    BaseEdit = new QLineEdit(setting.BaseDepth, this);
    BaseEdit->setObjectName(QStringLiteral("BaseEdit"));
    BaseEdit->setMaxLength(5);
    BaseEdit->setToolTip(QStringLiteral("基礎底面の地表面からの深さ（0.00～99.99 m）"));
    form->addRow(QStringLiteral("基礎底面の深さ(&B) [m]"), BaseEdit);
    MeanLabel = valueLabel(this, "MeanLabel");
    form->addRow(QStringLiteral("平均Nsw（基礎底面下2 m）"), MeanLabel);
    QaLabel = valueLabel(this, "QaLabel");
    form->addRow(QStringLiteral("長期許容支持力 qa"), QaLabel);
    QaShortLabel = valueLabel(this, "QaShortLabel");
    form->addRow(QStringLiteral("短期許容支持力"), QaShortLabel);
    RangeLabel = valueLabel(this, "RangeLabel");
    form->addRow(QStringLiteral("自沈層の確認範囲"), RangeLabel);
    LayerList = new QListWidget(this);
    LayerList->setObjectName(QStringLiteral("LayerList"));
    LayerList->setMinimumHeight(fontMetrics().height() * 5);
    form->addRow(QStringLiteral("自沈層"), LayerList);
    VerdictLabel = valueLabel(this, "VerdictLabel");
    QFont bold = VerdictLabel->font();
    bold.setBold(true);
    VerdictLabel->setFont(bold);
    form->addRow(QStringLiteral("判定"), VerdictLabel);

    CopyBtn = new QPushButton(QStringLiteral("ｺﾋﾟｰ"), this);
    CopyBtn->setObjectName(QStringLiteral("CopyBtn"));
    CloseBtn = new QPushButton(QStringLiteral("閉じる"), this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    CloseBtn->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CopyBtn);
    buttons->addWidget(CloseBtn);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setMinimumWidth(fontMetrics().averageCharWidth() * 70);

    connect(BaseEdit, &QLineEdit::textChanged, this, &TEvaluationDlg::BaseEditChange);
    connect(CopyBtn, &QPushButton::clicked, this, &TEvaluationDlg::CopyBtnClick);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    BaseEditChange();
    adjustSize();
    CentreOnScreen(this);
}

void TEvaluationDlg::BaseEditChange()
{
    m_result.reset();
    const std::optional<int> base = ParseBaseDepth(BaseEdit->text());
    if (base && m_roundingError.isEmpty()) {
        try {
            m_result = EvaluateBearing(m_rounded, *base);
            m_setting.BaseDepth = MetresText(*base);
        } catch (const ETessmarkError &e) {
            m_roundingError = e.message();
        }
    }
    showResult();
}

void TEvaluationDlg::showResult()
{
    LayerList->clear();
    CopyBtn->setEnabled(m_result.has_value());
    VerdictLabel->setStyleSheet(QString());
    if (!m_result) {
        for (QLabel *label : {MeanLabel, QaLabel, QaShortLabel, RangeLabel})
            label->clear();
        VerdictLabel->setText(
            m_roundingError.isEmpty()
                ? QStringLiteral("基礎底面の深さを 0.00～99.99 m の数値で入力してください")
                : QString(m_roundingError).replace(u'\r', u'\n'));
        return;
    }
    const TBearingResult &r = *m_result;
    if (r.Covered) {
        MeanLabel->setText(TenthsText(r.MeanNswTenths));
        QaLabel->setText(TenthsText(r.QaTenths) + QStringLiteral(" kN/m²"));
        QaShortLabel->setText(TenthsText(r.QaShortTenths) + QStringLiteral(" kN/m²"));
    } else {
        MeanLabel->setText(NotCoveredText(r));
        QaLabel->setText(QStringLiteral("－"));
        QaShortLabel->setText(QStringLiteral("－"));
    }
    RangeLabel->setText(CheckedRangeText(r));
    for (const TSelfSinkingLayer &layer : r.Layers)
        LayerList->addItem(
            QStringLiteral("%1～%2 m    Wsw %3 kN")
                .arg(MetresText(layer.Top), MetresText(layer.Bottom), MetresText(layer.Load)));
    if (r.Layers.isEmpty())
        LayerList->addItem(QStringLiteral("なし"));
    VerdictLabel->setText(VerdictText(r));
    if (r.SettlementStudyNeeded())
        VerdictLabel->setStyleSheet(QStringLiteral("color: #c00000"));
}

QString TEvaluationDlg::ResultText() const
{
    if (!m_result)
        return {};
    return TestCodeText(m_info) + u'\n' + PointNoText(m_info) + u'\n' +
           BearingReportText(*m_result);
}

void TEvaluationDlg::CopyBtnClick()
{
    if (m_result)
        QGuiApplication::clipboard()->setText(ResultText());
}
