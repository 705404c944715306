// The main window's road to the instrument: "通信..." (F5) and the tool button "通信".
#include "grid_form.h"

#include "data_sel.h"

TTermDlg *Tgrid_form::CreateTermDlg()
{
    TTermContext context;
    context.Setting = &Setting;
    context.TempFolder = TempFolder;
    context.MonitorFlag = &MonitorFlag;
    context.LogFlag = &LogFlag;
    context.OpenDataFile = [this](const QString &path) {
        return OpenDataFile(path);
    };
    context.TestReceived = [this](const QByteArray &bytes, const QString &path) {
        ArchiveTransferred(bytes, path);
    };
    auto *dialog = new TTermDlg(context, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    return dialog;
}

void Tgrid_form::ToolButton3Click()
{
    TTermDlg *dialog = CreateTermDlg();
    if (CommandMode)
        dialog->SendFreeCommand();
    else
        dialog->exec();
}
