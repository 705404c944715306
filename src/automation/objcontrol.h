// The automation object ObjControl: the operations other programs call over the session bus,
// each carried out on the one main window.
#pragma once

#include <QDBusContext>
#include <QDBusVariant>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantList>

class TAutomationHolders;
class Tgrid_form;

// The dispatch numbers of the operations.
enum TDispId {
    dispOpen = 0,
    dispPrintout = 1,
    dispPrintOutType = 2,
    dispCopyCell = 3,
    dispCopyGraph = 4,
    dispCommAll = 5,
    dispDspGraph = 6,
    dispChangeDspData = 7,
    dispCopyInf = 8,
    dispNumRows = 9,
    dispSave = 10,
};

// The error name every failure of an operation reaches the client with.
inline const QString kAutomationError = QStringLiteral("Tessmark.Error");

// Carries out the operations the adaptor generated from the interface description forwards to
// it. It holds no data: everything is the main window's. Calls arrive on the user-interface
// thread between other events.
class TObjControl : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_PROPERTY(int NumRows READ NumRows)

public:
    // `holders` notes every caller; both must outlive the object.
    TObjControl(Tgrid_form &window, TAutomationHolders &holders, QObject *parent = nullptr);

    int NumRows();

    // The warning asked when the window is closed while clients hold the object; true when
    // it may close.
    bool ConfirmClose();

public slots:
    int Open(const QString &fname);
    int Printout();
    int CopyCell(int Xst, int Yst, int Xend, int Yend);
    int CopyGraph();
    int CommAll();
    int DspGraph(int status);
    int ChangeDspData(int status);
    int PrintOutType(int StdTbl, int StdNswGrp, int StdNGrp, int MrmTbl, int MrmNswGrp, int MrmNGrp,
                     int MrmTpNsw, int MrmTpN);
    int CopyInf();
    int Save(const QString &fname);
    QDBusVariant Invoke(int dispid, const QVariantList &args);

private:
    // Runs the operation numbered `dispid` for the current caller: notes it as a holder,
    // applies the needs-data rule, and turns an error into the error reply. `asVariant`: the
    // reply carries the status in a variant (dispatch by number).
    int Serve(int dispid, const QVariantList &args, bool asVariant);
    int Perform(int dispid, const QVariantList &args, bool asVariant);
    int StartCommAll(bool asVariant);

    QPointer<Tgrid_form> m_window;
    TAutomationHolders &m_holders;
};
