#include "transferfiles.h"

#include "boundedread.h"
#include "errors.h"
#include "safewrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// More names than any folder of one day's tests needs; beyond them something is wrong.
constexpr int kMaxNameNumber = 9999;

QString workFolderTemplate(const QString &parent)
{
    return QDir(parent).filePath(
        QStringLiteral("tessmark-transfer-%1-XXXXXX").arg(QCoreApplication::applicationPid()));
}

// "name.ktd" for the first, "name_2.ktd" and on for the others.
QString numberedName(const QString &name, int number)
{
    if (number == 1)
        return name;
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString stem = dot < 0 ? name : name.first(dot);
    const QString suffix = dot < 0 ? QString() : name.sliced(dot);
    return stem + u'_' + QString::number(number) + suffix;
}

bool holdsBytes(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() != bytes.size())
        return false;
    try {
        return ReadWholeFile(path, bytes.size() + 1) == bytes;
    } catch (const EFileRefused &) {
        return false;
    }
}

} // namespace

TTransferWorkFolder::TTransferWorkFolder(const QString &parent)
    : m_parent(parent.isEmpty() ? QDir::tempPath() : parent), m_dir(workFolderTemplate(m_parent))
{}

TKeptTest KeepTransferredTest(const QString &folder, const QString &name, const QByteArray &bytes)
{
    const QDir target(folder);
    for (int number = 1; number <= kMaxNameNumber; ++number) {
        const QString path = target.filePath(numberedName(name, number));
        // A name taken between the look and the write is looked at again.
        for (;;) {
            if (holdsBytes(path, bytes))
                return {path, true, number > 1};
            if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
                break;
            if (WriteNewFileAtomically(path, bytes))
                return {path, false, number > 1};
        }
    }
    throw ECantWriteFile(QStringLiteral("データを保存できません\r%1: 空いている名前がありません")
                             .arg(QDir::toNativeSeparators(target.filePath(name))));
}
