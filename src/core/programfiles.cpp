#include "programfiles.h"

#include <QDir>
#include <QFileInfo>

QString ProgramFilesFolder(const QString &programFolder, const QString &name)
{
    const QDir beside(programFolder);
    if (QFileInfo::exists(beside.filePath(name)))
        return beside.path();
    const QString shared = QDir::cleanPath(beside.filePath(QStringLiteral("../share/tessmark")));
    if (QFileInfo::exists(QDir(shared).filePath(name)))
        return shared;
    return beside.path();
}

QString ProgramFilePath(const QString &programFolder, const QString &name)
{
    return QDir(ProgramFilesFolder(programFolder, name)).filePath(name);
}
