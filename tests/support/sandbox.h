// A private folder and settings store for one test, removed when the test ends.
#pragma once

#include "settingsstore.h"
#include <QByteArray>
#include <QMap>

#include <QString>
#include <QTemporaryDir>
#include <memory>

class TestSandbox
{
public:
    TestSandbox();

    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    // A settings store that lives in this sandbox only.
    TSettingsStore &settings() { return *m_settings; }

    // Writes bytes to a file of the sandbox and answers its path.
    QString writeFile(const QString &name, const QByteArray &bytes) const;
    // Writes UTF-8 text converted to CP932, lines joined with CR LF.
    QString writeCp932Lines(const QString &name, const QStringList &lines) const;
    QByteArray readFile(const QString &name) const;

    // Copies the shipped reference tables into the sandbox and answers the folder.
    QString copyShippedTables() const;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TSettingsStore> m_settings;
};

// Every file under `folder` (hidden ones and subfolders' too) with its bytes, by relative path.
QMap<QString, QByteArray> FolderContents(const QString &folder);

// The folder of the shipped data files in the source tree.
QString shippedDataDir();
QString samplesDir();
