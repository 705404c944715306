// Helper processes a test starts (instrument simulator, private bus daemon) end with the test
// process, also when a test crashes or a sanitizer stops it before its clean-up runs.
#pragma once

#include <QProcess>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#endif

inline void EndWithTestProcess(QProcess &process)
{
#ifdef Q_OS_LINUX
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
#else
    Q_UNUSED(process);
#endif
}
