// Reader of INI files (section names in brackets, key=value lines) that answers like the
// Windows profile functions: file order kept, first occurrence wins, names case-insensitive.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class TIniFile
{
public:
    // Reads the CP932 file at `path`; a file that cannot be read has no sections.
    explicit TIniFile(const QString &path);
    // Reads CP932 bytes already in memory.
    static TIniFile FromBytes(const QByteArray &bytes);

    // Section names in file order, each name once, spelled as at its first occurrence.
    QStringList ReadSections() const;
    // Key names of `section` in file order, each once; empty when the section is missing.
    QStringList ReadSection(const QString &section) const;
    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;

    // The value, or `fallback` when the section or key is missing. A key present with an
    // empty value answers the empty text.
    QString ReadString(const QString &section, const QString &key, const QString &fallback) const;
    // The value as a decimal integer, or `fallback` when missing or not a decimal integer.
    int ReadInteger(const QString &section, const QString &key, int fallback) const;

private:
    TIniFile() = default;
    void parse(const QByteArray &bytes);

    struct Section
    {
        QString name;
        QStringList keys;               // in file order, first spelling
        QHash<QString, QString> values; // folded key name -> value
    };
    const Section *find(const QString &section) const;

    QList<Section> m_sections;
    QHash<QString, qsizetype> m_index; // folded section name -> position in m_sections
};
