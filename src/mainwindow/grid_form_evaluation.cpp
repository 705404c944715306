// The main window's ground evaluation: the "地盤評価" item of the data menu and its dialog.
#include "grid_form.h"

#include "evaluationdlg.h"
#include "events.h"

#include <QAction>
#include <QMenu>

// Below the view switch of the data menu, so it is enabled with the other data commands.
void Tgrid_form::createEvaluationItem()
{
    KG1->addSeparator();
    KEvaluate = new QAction(QStringLiteral("地盤評価(&V)..."), this);
    KEvaluate->setObjectName(QStringLiteral("KEvaluate"));
    KEvaluate->setStatusTip(QStringLiteral("基礎底面下の許容支持力と自沈層を評価します"));
    KEvaluate->setShortcut(QKeySequence(Qt::Key_F6));
    connect(KEvaluate, &QAction::triggered, this, &Tgrid_form::KEvaluateClick);
    KG1->addAction(KEvaluate);
}

void Tgrid_form::KEvaluateClick()
{
    // The shortcut reaches here even while the data menu is disabled.
    if (!KG1->menuAction()->isEnabled())
        return;
    std::unique_ptr<TEvaluationDlg> dialog;
    {
        TWaitCursor wait;
        dialog = std::make_unique<TEvaluationDlg>(Test, Setting, Tables, this);
    }
    dialog->exec();
}
