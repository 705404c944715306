#include "desktopopen.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

void OpenWithDesktop(const QUrl &url, QObject *context, std::function<void()> failed)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // The toolkit's own call only starts xdg-open and reports success even when xdg-open then
    // finds nothing to open the file with; its exit status tells. Unowned, so a browser that
    // xdg-open keeps in the foreground is not ended with the window.
    auto *process = new QProcess;
    QObject::connect(process, &QProcess::finished, context,
                     [failed](int code, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || code != 0)
                             failed();
                     });
    QObject::connect(process, &QProcess::errorOccurred, context,
                     [process, failed](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             failed();
                             process->deleteLater();
                         }
                     });
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->start(QStringLiteral("xdg-open"),
                   {url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
#else
    Q_UNUSED(context);
    if (!QDesktopServices::openUrl(url))
        failed();
#endif
}
