// The main window's ground evaluation: the "地盤評価" item of the data menu and its dialog.
#include "grid_form.h"

#include "evaluationdlg.h"
#include "events.h"
#include "menutexts.h"

#include <QAction>
#include <QMenu>

// Below the view switch of the data menu, so it is enabled with the other data commands.
void Tgrid_form::createEvaluationItem()
{
    KG1->addSeparator();
    const TCommandText &texts = CommandText("KEvaluate");
    KEvaluate = new QAction(texts.Caption, this);
    KEvaluate->setObjectName(QStringLiteral("KEvaluate"));
    KEvaluate->setStatusTip(texts.Hint);
    KEvaluate->setShortcut(texts.Shortcut);
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
