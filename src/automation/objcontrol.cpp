#include "objcontrol.h"

#include "commall.h"
#include "data_sel.h"
#include "errors.h"
#include "grid_form.h"
#include "holders.h"
#include "messages.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <iterator>
#include <optional>

namespace {

// What each operation takes and whether it needs a test: "s" a text, "i" a number per
// argument, in order.
struct TOperation
{
    int DispId;
    const char *Name;
    const char *Arguments;
    bool NeedsData;
};

const TOperation kOperations[] = {
    {dispOpen, "Open", "s", false},
    {dispPrintout, "Printout", "", true},
    {dispPrintOutType, "PrintOutType", "iiiiiiii", true},
    {dispCopyCell, "CopyCell", "iiii", true},
    {dispCopyGraph, "CopyGraph", "", true},
    {dispCommAll, "CommAll", "", false},
    {dispDspGraph, "DspGraph", "i", true},
    {dispChangeDspData, "ChangeDspData", "i", true},
    {dispCopyInf, "CopyInf", "", true},
    {dispNumRows, "NumRows", "", false},
    {dispSave, "Save", "s", true},
};

const TOperation *operationOf(int dispid)
{
    for (const TOperation &operation : kOperations)
        if (operation.DispId == dispid)
            return &operation;
    return nullptr;
}

// A caller's argument as it arrived: variants in variants are opened.
QVariant plain(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QDBusVariant>())
        return plain(value.value<QDBusVariant>().variant());
    return value;
}

// Arguments of a call by number checked against what the operation takes; empty when they
// fit, else why not.
QString argumentProblem(const TOperation &operation, QVariantList &args)
{
    const qsizetype wanted = qstrlen(operation.Arguments);
    if (args.size() != wanted)
        return QStringLiteral("%1 takes %2 arguments, %3 given")
            .arg(QLatin1String(operation.Name))
            .arg(wanted)
            .arg(args.size());
    for (qsizetype i = 0; i < wanted; ++i) {
        QVariant value = plain(args[i]);
        if (operation.Arguments[i] == 's') {
            if (value.metaType() != QMetaType::fromType<QString>())
                return QStringLiteral("argument %1 of %2 must be a string")
                    .arg(i + 1)
                    .arg(QLatin1String(operation.Name));
        } else {
            bool isNumber = false;
            const qlonglong number = value.toLongLong(&isNumber);
            const bool integral = value.metaType() != QMetaType::fromType<QString>() &&
                                  value.metaType() != QMetaType::fromType<double>();
            if (!isNumber || !integral || number < INT_MIN || number > INT_MAX)
                return QStringLiteral("argument %1 of %2 must be a 32-bit integer")
                    .arg(i + 1)
                    .arg(QLatin1String(operation.Name));
            value = int(number);
        }
        args[i] = value;
    }
    return QString();
}

const QString kCloseCaption = QStringLiteral("オートメーションサーバーから警告");
const QString kCloseText =
    QStringLiteral("作動中の COM オブジェクトがアプリケーション内に残っています。"
                   "クライアントアプリケーションから参照している可能性がありますから，"
                   "このアプリケーションを直接終了した場合にはクライアント側で問題が生じるかも"
                   "しれません。\r\r終了させてもよろしいですか?");

// What the boxes of a call over the bus would have said: each text, and for a question, the answer
// given in the caller's place (the one that never confirms anything).
QString toldText(const TScriptedMessages &boxes)
{
    QStringList texts;
    for (const TScriptedMessages::Asked &asked : boxes.AskedBoxes) {
        QString text = asked.Text;
        if (asked.ButtonSet != QMessageBox::Ok)
            text += QStringLiteral("\r（自動操作のため「%1」と答えました）")
                        .arg(EscapeButtonOf(asked.ButtonSet) == QMessageBox::Cancel
                                 ? QStringLiteral("キャンセル")
                                 : QStringLiteral("いいえ"));
        texts.append(text);
    }
    return texts.join(u'\r');
}

} // namespace

TObjControl::TObjControl(Tgrid_form &window, TAutomationHolders &holders, QObject *parent)
    : QObject(parent), m_window(&window), m_holders(holders)
{}

bool TObjControl::ConfirmClose()
{
    if (m_holders.Count() == 0)
        return true;
    return Messages().askCaptioned(TMessageKind::Warning, kCloseCaption, kCloseText,
                                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No,
                                   m_window) == QMessageBox::Yes;
}

int TObjControl::Serve(int dispid, const QVariantList &args, bool asVariant)
{
    const bool fromBus = calledFromDBus();
    if (fromBus)
        m_holders.Hold(message().service());
    const TOperation *operation = operationOf(dispid);
    if (operation == nullptr || !m_window)
        return 1;
    if (operation->NeedsData && m_window->DataState == 3)
        return 1;

    // The caller cannot click a box and must not wait for someone who might: while a call over
    // the bus runs, its boxes are collected instead of shown, and each question gets the
    // answer that never confirms anything.
    TScriptedMessages boxes;
    std::optional<TScopedMessages> quiet;
    if (fromBus)
        quiet.emplace(boxes);
    QString failure;
    int status = 1;
    try {
        status = Perform(dispid, args, asVariant);
    } catch (const ETessmarkError &error) {
        failure = error.message();
    } catch (const std::exception &error) {
        failure = QString::fromUtf8(error.what());
    }
    quiet.reset();
    if (!fromBus)
        return failure.isEmpty() ? status : 1;

    // What the boxes said is the failure of an operation that was not done; after one that was
    // done it is only a note in the status bar.
    const QString told = toldText(boxes);
    if (failure.isEmpty() && status != 0 && dispid != dispNumRows)
        failure = told;
    if (!failure.isEmpty()) {
        sendErrorReply(kAutomationError, failure);
        return 1;
    }
    if (!told.isEmpty())
        m_window->SetStatusText(1, MessageBoxText(told).section(u'\n', 0, 0));
    return status;
}

int TObjControl::Perform(int dispid, const QVariantList &args, bool asVariant)
{
    Tgrid_form &window = *m_window;
    switch (dispid) {
    case dispOpen:
        // Typed data not yet saved are asked about first, as every other way of opening does.
        if (window.AskSaveManualData())
            return 1;
        return window.OpenDataFile(args.at(0).toString());
    case dispPrintout:
        return window.Printout();
    case dispPrintOutType: {
        bool printouts[8];
        for (int i = 0; i < 8; ++i)
            printouts[i] = (args.at(i).toInt() & 0xFF) != 0;
        return window.PrintOutType(printouts);
    }
    case dispCopyCell: {
        const int left = args.at(0).toInt(), top = args.at(1).toInt();
        const int right = args.at(2).toInt(), bottom = args.at(3).toInt();
        // Negative starts are refused too: there is no cell before the first.
        if (left < 0 || top < 0 || right < left || bottom < top || right > 6 ||
            bottom > window.NumRows() - 1)
            return 1;
        window.CopyCellRange(left, top, right, bottom);
        return 0;
    }
    case dispCopyGraph:
        try {
            return window.CopyGraph();
        } catch (const std::exception &) {
            return 1;
        }
    case dispCommAll:
        return StartCommAll(asVariant);
    case dispDspGraph:
        try {
            return window.DspGraph(args.at(0).toInt());
        } catch (const std::exception &) {
            return 1;
        }
    case dispChangeDspData:
        return window.ChangeDspData(args.at(0).toInt());
    case dispCopyInf:
        window.CopyTestInfo();
        return 0;
    case dispNumRows:
        return window.DataState == 3 ? 0 : window.NumRows();
    case dispSave:
        // A save the user declined to let overwrite a file has not saved anything.
        return window.SaveDataFile(args.at(0).toString()) ? 0 : 1;
    }
    return 1;
}

int TObjControl::Open(const QString &fname)
{
    return Serve(dispOpen, {fname}, false);
}

int TObjControl::Printout()
{
    return Serve(dispPrintout, {}, false);
}

int TObjControl::CopyCell(int Xst, int Yst, int Xend, int Yend)
{
    return Serve(dispCopyCell, {Xst, Yst, Xend, Yend}, false);
}

int TObjControl::CopyGraph()
{
    return Serve(dispCopyGraph, {}, false);
}

int TObjControl::CommAll()
{
    return Serve(dispCommAll, {}, false);
}

int TObjControl::DspGraph(int status)
{
    return Serve(dispDspGraph, {status}, false);
}

int TObjControl::ChangeDspData(int status)
{
    return Serve(dispChangeDspData, {status}, false);
}

int TObjControl::NumRows()
{
    return Serve(dispNumRows, {}, false);
}

int TObjControl::PrintOutType(int StdTbl, int StdNswGrp, int StdNGrp, int MrmTbl, int MrmNswGrp,
                              int MrmNGrp, int MrmTpNsw, int MrmTpN)
{
    return Serve(dispPrintOutType,
                 {StdTbl, StdNswGrp, StdNGrp, MrmTbl, MrmNswGrp, MrmNGrp, MrmTpNsw, MrmTpN}, false);
}

int TObjControl::CopyInf()
{
    return Serve(dispCopyInf, {}, false);
}

int TObjControl::Save(const QString &fname)
{
    return Serve(dispSave, {fname}, false);
}

QDBusVariant TObjControl::Invoke(int dispid, const QVariantList &args)
{
    if (calledFromDBus())
        m_holders.Hold(message().service());
    const TOperation *operation = operationOf(dispid);
    if (operation == nullptr) {
        if (calledFromDBus())
            sendErrorReply(QDBusError::UnknownMethod,
                           QStringLiteral("no operation has dispatch number %1").arg(dispid));
        return QDBusVariant(1);
    }
    QVariantList checked = args;
    const QString problem = argumentProblem(*operation, checked);
    if (!problem.isEmpty()) {
        if (calledFromDBus())
            sendErrorReply(QDBusError::InvalidArgs, problem);
        return QDBusVariant(1);
    }
    return QDBusVariant(Serve(dispid, checked, true));
}

int TObjControl::StartCommAll(bool asVariant)
{
    // A second fetch beside a running one would mix their answers in the one work file.
    if (TTermDlg::InstrumentBusy())
        throw ETessmarkError(TTermDlg::InstrumentBusyText());
    // The answer waits for the list while the program goes on serving the user and others.
    std::function<void(int)> reply = [](int) {
    };
    if (calledFromDBus()) {
        setDelayedReply(true);
        reply = [request = message(), bus = connection(), asVariant](int status) {
            bus.send(asVariant ? request.createReply(QVariant::fromValue(QDBusVariant(status)))
                               : request.createReply(status));
        };
    }
    TCommAllRun::Start(*m_window, std::move(reply));
    return 0;
}
