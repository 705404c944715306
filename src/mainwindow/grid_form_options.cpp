// The main window's settings dialog and About box.
#include "grid_form.h"

#include "derived.h"
#include "errors.h"
#include "events.h"
#include "messages.h"
#include "option.h"
#include "version.h"

#include <QAction>

// "設定(&S)...": the settings dialog, modal; it deletes itself once closed.
void Tgrid_form::KS1Click()
{
    CreatePagesDlg()->exec();
}

TPagesDlg *Tgrid_form::CreatePagesDlg()
{
    auto *dialog = new TPagesDlg(Setting, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->OnStored = [this] {
        recomputeForOptions();
    };
    dialog->OnClosed = [this] {
        showAgainAfterOptions();
    };
    return dialog;
}

// New hammering Nsw or removal options change the derived values of a shown test.
void Tgrid_form::recomputeForOptions()
{
    if (DataKind == 0)
        return;
    QString failure;
    {
        TWaitCursor wait;
        try {
            ComputeNsw(Test.NormalLog, false, Setting, Tables);
            ComputeNValue(Test.NormalLog, Tables);
            // The rounded view builds its log again when it is shown after the dialog.
            if (Knd->isChecked())
                BuildRoundedView(Test, Setting, Tables);
        } catch (const ETessmarkError &e) {
            failure = e.message();
        }
    }
    if (!failure.isEmpty())
        Messages().error(failure, this);
}

// The test is shown again in the chosen view, so the grid, the caption and an open graph window
// (whose axes follow NswMax and NMax when it reloads) take on the settings.
void Tgrid_form::showAgainAfterOptions()
{
    if (DataKind == 0)
        return;
    if (Knd->isChecked())
        ShowNormalData();
    else
        ShowRoundedData();
}

// "ﾊﾞｰｼﾞｮﾝ情報(&A)...": the About box, modal; it deletes itself once closed.
void Tgrid_form::About1Click()
{
    CreateAboutBox()->exec();
}

TAboutBox *Tgrid_form::CreateAboutBox()
{
    auto *box = new TAboutBox(this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Switched on for the rest of the run: nothing clears them.
    box->OnServiceCode = [this](TServiceCode code) {
        switch (code) {
        case TServiceCode::Log:
            LogFlag = true;
            break;
        case TServiceCode::Command:
            CommandMode = true;
            break;
        case TServiceCode::Monitor:
            MonitorFlag = true;
            break;
        case TServiceCode::None:
            break;
        }
    };
    return box;
}
