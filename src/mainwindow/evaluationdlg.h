// The "地盤評価" dialog: the ground evaluation of the open test for a base depth the user types,
// recomputed as it changes, and copied to the clipboard as text.
#pragma once

#include "bearing.h"
#include "record.h"

#include <QDialog>
#include <optional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TReferenceTables;
struct TSetting;

class TEvaluationDlg : public QDialog
{
    Q_OBJECT

public:
    // Rounds `test` once with the current settings; `setting.BaseDepth` is where the typed base
    // depth is remembered (normalised to two decimals) while it is a valid one.
    TEvaluationDlg(const TSoundingTest &test, TSetting &setting, const TReferenceTables &tables,
                   QWidget *parent = nullptr);

    // The result shown; none while the base depth is not a number or the test cannot be rounded.
    const std::optional<TBearingResult> &Result() const { return m_result; }
    // The text "ｺﾋﾟｰ" puts on the clipboard: the test code, then the result.
    QString ResultText() const;

    QLineEdit *BaseEdit = nullptr;
    QLabel *MeanLabel = nullptr;
    QLabel *QaLabel = nullptr;
    QLabel *QaShortLabel = nullptr;
    QLabel *RangeLabel = nullptr;
    QListWidget *LayerList = nullptr;
    QLabel *VerdictLabel = nullptr;
    QPushButton *CopyBtn = nullptr;
    QPushButton *CloseBtn = nullptr;

private:
    void BaseEditChange();
    void CopyBtnClick();
    void showResult();

    TSetting &m_setting;
    TTestInfo m_info;
    Tkannyu m_rounded;
    QString m_roundingError; // why the test could not be rounded; empty when it could
    std::optional<TBearingResult> m_result;
};
