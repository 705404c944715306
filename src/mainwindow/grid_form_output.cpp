// The main window's graph window and print dialog.
#include "grid_form.h"

#include "events.h"
#include "graphunit.h"
#include "programfiles.h"
#include "prtdlg.h"
#include "tableprint.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace {

QPointer<TGraphForm> graphFormOf(const QPointer<QWidget> &window)
{
    return qobject_cast<TGraphForm *>(window.data());
}

} // namespace

// "ｸﾞﾗﾌ作成": opens the graph window, or brings an open one to the front.
void Tgrid_form::MakeGraphClick()
{
    TWaitCursor wait;
    QPointer<TGraphForm> form = graphFormOf(m_graphWindow);
    OpenGraphWindow(
        form, Test, Setting, Tables, [this] { return RoundedView; }, this);
    m_graphWindow = form.data();
}

// "グラフ": switches the open graph window between Nsw and converted N, or opens one.
void Tgrid_form::GraphBtnClick()
{
    if (!ToggleGraph(graphFormOf(m_graphWindow)))
        MakeGraphClick();
}

// "ｸﾞﾗﾌ切り替え": switches an open graph window only.
void Tgrid_form::N3Click()
{
    ToggleGraph(graphFormOf(m_graphWindow));
}

void Tgrid_form::CloseGraph()
{
    QPointer<TGraphForm> form = graphFormOf(m_graphWindow);
    if (form)
        CloseGraphWindow(form);
    else if (m_graphWindow)
        m_graphWindow->close();
}

// "印刷" and "印刷(&P)...": the print dialog, which stores its choices on every close.
void Tgrid_form::PrintBtnClick()
{
    TPrintDlgForm dialog(Test, Setting, Tables, DataKind,
                         ProgramFilesFolder(ProgramFolder, HeaderPictureFileName()), this,
                         sessionPrinterAccess());
    dialog.exec();
}

TPrinterAccess Tgrid_form::sessionPrinterAccess()
{
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        ApplyRememberedPrintTarget(*m_printer, Setting, QPrinterInfo::availablePrinterNames());
    }
    TPrinterAccess access;
    access.Printer = m_printer.get();
    return access;
}
