#include "sandbox.h"

#include "codec.h"

#include <QFileInfo>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

TestSandbox::TestSandbox()
    : m_settings(std::make_unique<TSettingsStore>(m_dir.filePath("settings.ini")))
{
    EXPECT_TRUE(m_dir.isValid());
}

QString TestSandbox::writeFile(const QString &name, const QByteArray &bytes) const
{
    const QString path = filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
    return path;
}

QString TestSandbox::writeCp932Lines(const QString &name, const QStringList &lines) const
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += Cp932::encode(line) + "\r\n";
    return writeFile(name, bytes);
}

QByteArray TestSandbox::readFile(const QString &name) const
{
    QFile file(QFileInfo(name).isAbsolute() ? name : filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString TestSandbox::copyShippedTables() const
{
    for (const char *name : {"Obstbl.tbl", "Weighttbl.tbl"})
        QFile::copy(QDir(shippedDataDir()).filePath(name), filePath(name));
    return path();
}

QMap<QString, QByteArray> FolderContents(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        files.insert(QDir(folder).relativeFilePath(path),
                     file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)"));
    }
    return files;
}

QString shippedDataDir()
{
    return QStringLiteral(TESSMARK_TEST_DATA_DIR);
}

QString samplesDir()
{
    return QStringLiteral(TESSMARK_SAMPLES_DIR);
}
