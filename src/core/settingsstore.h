// The store the options live in: text values under "Section/Key" names, read whole when the
// store is opened and written back whole through the one write routine, so a failed write keeps
// the old settings. On Windows it is the registry; elsewhere an INI file that the program reads
// only when it is a regular file, so a pipe or a device in its place never keeps it waiting.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

class TSettingsStore
{
public:
    // Reads the store at `path` (an INI file; on Windows the registry key of that name when the
    // path is not absolute). A missing file is an empty store.
    explicit TSettingsStore(const QString &path);

    QString fileName() const { return m_path; }
    // Why the file was not read, naming it, or empty. A file that is not a regular file is left
    // alone: the store starts empty and sync() never replaces it.
    QString problem() const { return m_problem; }

    QVariant value(const QString &key, const QVariant &fallback = {}) const;
    void setValue(const QString &key, const QVariant &value);
    bool contains(const QString &key) const { return m_values.contains(key); }
    QStringList allKeys() const { return m_values.keys(); }
    void clear();

    // Writes the values when they changed since they were read or last written. Raises
    // ECantWriteFile with the system's reason; the file keeps its old content then.
    void sync();

    // The INI text of `values` and the values an INI text holds, as this store writes and reads
    // them (and as the toolkit's own INI files hold plain texts).
    static QByteArray IniText(const QMap<QString, QString> &values);
    static QMap<QString, QString> ParseIni(const QByteArray &text);

private:
    QString m_path;
    QMap<QString, QString> m_values;
    QString m_problem;
    bool m_changed = false;
};
