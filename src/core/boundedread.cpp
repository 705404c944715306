#include "boundedread.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QByteArray ReadWholeFile(const QString &path, qint64 maxBytes)
{
    // Checked before opening: opening a pipe waits for a writer, and a device may never end.
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (info.exists() && !info.isFile())
        throw EFileRefused(EFileRefused::NotRegular,
                           QStringLiteral("%1 は通常のファイルではありません").arg(shown));
    const auto tooLarge = [&] {
        return EFileRefused(EFileRefused::TooLarge,
                            QStringLiteral("%1 は大きすぎるため開けません（上限 %2 MiB）")
                                .arg(shown)
                                .arg(maxBytes / (1024 * 1024)));
    };
    if (info.size() > maxBytes)
        throw tooLarge();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EFileRefused(EFileRefused::Unreadable, file.errorString());
    // As much as was looked at, and one byte more to notice a file that grew since: it is read
    // on, but never beyond the limit.
    QByteArray all = file.read(info.size() + 1);
    if (all.size() > info.size())
        all += file.read(maxBytes + 1 - all.size());
    if (file.error() != QFileDevice::NoError)
        throw EFileRefused(EFileRefused::Unreadable, file.errorString());
    if (all.size() > maxBytes)
        throw tooLarge();
    return all;
}
