// What the automation server does on the main window: printing without the dialog on screen,
// the printout choices, the graph window and the view switch.
#include "grid_form.h"

#include "graphunit.h"
#include "programfiles.h"
#include "prtdlg.h"
#include "tableprint.h"

namespace {

QPointer<TGraphForm> graphFormOf(const QPointer<QWidget> &window)
{
    return qobject_cast<TGraphForm *>(window.data());
}

} // namespace

int Tgrid_form::Printout()
{
    // The header picture lies where the print dialog finds it, also in an installed tree.
    TPrintDlgForm dialog(Test, Setting, Tables, DataKind,
                         ProgramFilesFolder(ProgramFolder, HeaderPictureFileName()), this,
                         sessionPrinterAccess());
    // Nothing chosen is nothing to do; a printout that could not be made is not done.
    if (!dialog.Selection().anyPrintout())
        return 0;
    return dialog.PrintChosen() ? 0 : 1;
}

int Tgrid_form::PrintOutType(const bool (&printouts)[8])
{
    // The header picture lies where the print dialog finds it, also in an installed tree.
    TPrintDlgForm dialog(Test, Setting, Tables, DataKind,
                         ProgramFilesFolder(ProgramFolder, HeaderPictureFileName()), this,
                         sessionPrinterAccess());
    TPrintSelection selection = dialog.Selection();
    selection.Table = printouts[0];
    selection.Nsw = printouts[1];
    selection.N = printouts[2];
    selection.Table25 = printouts[3];
    selection.Nsw25 = printouts[4];
    selection.N25 = printouts[5];
    selection.TNsw25 = printouts[6];
    selection.TN25 = printouts[7];
    dialog.SetSelection(selection);
    // Closing stores the choices, as every close of the dialog does.
    dialog.close();
    return 0;
}

int Tgrid_form::CopyGraph()
{
    const QPointer<TGraphForm> form = graphFormOf(m_graphWindow);
    if (!form)
        return 1;
    form->copyselClick();
    return 0;
}

int Tgrid_form::DspGraph(int kind)
{
    MakeGraphClick();
    const QPointer<TGraphForm> form = graphFormOf(m_graphWindow);
    if (!form || (kind != 0 && kind != 1))
        return 1;
    form->ShowKind(TGraphKind(kind));
    return 0;
}

int Tgrid_form::ChangeDspData(int kind)
{
    switch (kind) {
    case 0:
        Knd->setChecked(true);
        KndClick();
        return 0;
    case 1:
        K25->setChecked(true);
        K25Click();
        // A log that could not be derived leaves the normal view, which is not what was asked.
        return K25->isChecked() ? 0 : 1;
    default:
        return 1;
    }
}

int Tgrid_form::NumRows() const
{
    return SoundGrid->RowCount();
}
