#include "portmap.h"

#include "settings.h"

#include <QSerialPortInfo>
#include <algorithm>

QString CommDevicePath(const TSetting &setting, int n)
{
    if (n < 1 || n > int(setting.Comm.size()))
        return QString();
    if (!setting.Comm[n - 1].isEmpty())
        return setting.Comm[n - 1];
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(n);
#else
    QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    std::sort(ports.begin(), ports.end(), [](const QSerialPortInfo &a, const QSerialPortInfo &b) {
        return a.portName() < b.portName();
    });
    return n <= ports.size() ? ports.at(n - 1).systemLocation() : QString();
#endif
}
