#include "commall.h"

#include "data_sel.h"
#include "grid_form.h"

#include <QEvent>
#include <QListWidget>
#include <QPushButton>
#include <utility>

namespace {

int listWaitMs = TCommAllRun::kListWaitMs;

} // namespace

int TCommAllRun::SetListWait(int ms)
{
    return std::exchange(listWaitMs, ms);
}

void TCommAllRun::Start(Tgrid_form &window, std::function<void(int)> finished)
{
    TTermDlg *dialog = window.CreateTermDlg();
    // Lives as long as it waits; the dialog may go first when the user closes it.
    auto *run = new TCommAllRun(dialog, std::move(finished));
    try {
        dialog->show();
        dialog->ListBtnClick();
    } catch (const std::exception &) {
        delete dialog;
        run->Finish(1);
    }
}

TCommAllRun::TCommAllRun(TTermDlg *dialog, std::function<void(int)> finished)
    : m_dialog(dialog), m_finished(std::move(finished))
{
    dialog->ListBtn->installEventFilter(this);
    // The dialog is half destroyed when it says so: forget it before anything looks at it.
    connect(dialog, &QObject::destroyed, this, [this] {
        m_dialog.clear();
        Finish(1);
    });
    m_wait.setSingleShot(true);
    connect(&m_wait, &QTimer::timeout, this, &TCommAllRun::Decide);
    m_wait.start(listWaitMs);
}

bool TCommAllRun::eventFilter(QObject *watched, QEvent *event)
{
    // The dialog disables its list button once a list with tests has arrived; the list is
    // filled right after, so the decision waits for the dialog to finish its answer.
    if (event->type() == QEvent::EnabledChange && m_dialog && watched == m_dialog->ListBtn &&
        !m_dialog->ListBtn->isEnabled())
        QMetaObject::invokeMethod(this, &TCommAllRun::Decide, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}

void TCommAllRun::Decide()
{
    if (!m_finished)
        return;
    // No tests listed: nothing has answered, or the list failed or was empty. Either way there
    // is nothing to fetch. (The transfer button stays off until tests are picked, so it cannot
    // tell an answer from none.)
    if (!m_dialog || m_dialog->SrcList->count() == 0) {
        Finish(1);
        return;
    }
    try {
        m_dialog->IncAllBtnClick();
        m_dialog->DataBtnClick();
        Finish(0);
    } catch (const std::exception &) {
        delete m_dialog;
        Finish(1);
    }
}

void TCommAllRun::Finish(int status)
{
    if (!m_finished)
        return;
    const std::function<void(int)> finished = std::move(m_finished);
    m_finished = nullptr;
    m_wait.stop();
    if (m_dialog)
        m_dialog->ListBtn->removeEventFilter(this);
    deleteLater();
    finished(status);
}
