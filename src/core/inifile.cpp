#include "inifile.h"

#include "boundedread.h"
#include "codec.h"
#include "errors.h"

namespace {

// The profile functions trim blanks and tabs only; other white space belongs to the text.
QString trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    auto isBlank = [](QChar c) {
        return c == u' ' || c == u'\t';
    };
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin).toString();
}

// A value wholly enclosed in a matching pair of quotes is read without them.
QString unquoted(const QString &value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            return value.sliced(1, value.size() - 2);
    }
    return value;
}

QString folded(const QString &name)
{
    return name.toCaseFolded();
}

} // namespace

TIniFile::TIniFile(const QString &path)
{
    // Only a regular file, as every file the program opens by name; anything else reads as a
    // missing table.
    try {
        parse(ReadWholeFile(path, kMaxTableBytes));
    } catch (const EFileRefused &) {
    }
}

TIniFile TIniFile::FromBytes(const QByteArray &bytes)
{
    TIniFile ini;
    ini.parse(bytes);
    return ini;
}

void TIniFile::parse(const QByteArray &bytes)
{
    // CP932 trail bytes never take the value of LF, so splitting the decoded text is safe.
    const QString text = Cp932::decode(bytes);
    // Keys go to this section; none before the first section and inside a repeated
    // section, whose keys the first section of that name hides.
    qsizetype current = -1;
    for (QStringView rawLine : QStringView(text).split(u'\n')) {
        if (rawLine.endsWith(u'\r'))
            rawLine.chop(1);
        const QString line = trimBlanks(rawLine);
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            const qsizetype close = line.lastIndexOf(u']');
            if (close < 0)
                continue; // not a section header; keys go on into the current section
            const QString name = trimBlanks(QStringView(line).sliced(1, close - 1));
            current = -1;
            if (name.isEmpty())
                continue;
            const QString key = folded(name);
            if (m_index.contains(key))
                continue;
            m_index.insert(key, m_sections.size());
            m_sections.append(Section{name, {}, {}});
            current = m_sections.size() - 1;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (current < 0 || eq < 0)
            continue;
        const QString name = trimBlanks(QStringView(line).first(eq));
        if (name.isEmpty())
            continue;
        const QString key = folded(name);
        Section &target = m_sections[current];
        if (target.values.contains(key))
            continue;
        target.keys.append(name);
        target.values.insert(key, unquoted(trimBlanks(QStringView(line).sliced(eq + 1))));
    }
}

const TIniFile::Section *TIniFile::find(const QString &section) const
{
    const auto it = m_index.constFind(folded(section));
    return it == m_index.constEnd() ? nullptr : &m_sections[*it];
}

QStringList TIniFile::ReadSections() const
{
    QStringList names;
    names.reserve(m_sections.size());
    for (const Section &s : m_sections)
        names.append(s.name);
    return names;
}

QStringList TIniFile::ReadSection(const QString &section) const
{
    const Section *s = find(section);
    return s ? s->keys : QStringList();
}

bool TIniFile::SectionExists(const QString &section) const
{
    return find(section) != nullptr;
}

bool TIniFile::ValueExists(const QString &section, const QString &key) const
{
    const Section *s = find(section);
    return s && s->values.contains(folded(key));
}

QString TIniFile::ReadString(const QString &section, const QString &key,
                             const QString &fallback) const
{
    const Section *s = find(section);
    if (!s)
        return fallback;
    return s->values.value(folded(key), fallback);
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int fallback) const
{
    if (!ValueExists(section, key))
        return fallback;
    return StrToIntDef(ReadString(section, key, QString()), fallback);
}
