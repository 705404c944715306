#include "settingsstore.h"

#include "boundedread.h"
#include "errors.h"
#include "safewrite.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_WIN
#include <QSettings>
#endif

namespace {

// Far beyond what the program writes (a few kilobytes): anything larger is not its settings.
constexpr qint64 kMaxSettingsBytes = 1 << 20;

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// A value as the INI file holds it: quotes and escapes undone, as the toolkit reads its own.
QString unescapedValue(QStringView text)
{
    QString value;
    value.reserve(text.size());
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"') {
            quoted = !quoted;
            continue;
        }
        if (c != u'\\' || i + 1 == text.size()) {
            value += c;
            continue;
        }
        const QChar e = text[++i];
        switch (e.unicode()) {
        case 'a':
            value += u'\a';
            break;
        case 'b':
            value += u'\b';
            break;
        case 'f':
            value += u'\f';
            break;
        case 'n':
            value += u'\n';
            break;
        case 'r':
            value += u'\r';
            break;
        case 't':
            value += u'\t';
            break;
        case 'v':
            value += u'\v';
            break;
        case 'x': {
            char32_t code = 0;
            while (i + 1 < text.size() && isHexDigit(text[i + 1]) && code < 0x10000)
                code = code * 16 + char32_t(QStringView(text).sliced(++i, 1).toUInt(nullptr, 16));
            value += QChar(char16_t(code));
            break;
        }
        default:
            value += e;
            break;
        }
    }
    // A text that begins with "@" is written with a second one; "@…(…)" forms hold other types.
    if (value.startsWith(QLatin1String("@@")))
        value.remove(0, 1);
    return value;
}

QByteArray escapedValue(const QString &text)
{
    QString value = text.startsWith(u'@') ? u'@' + text : text;
    const bool quote =
        !value.isEmpty() && (value.front().isSpace() || value.back().isSpace() ||
                             std::any_of(value.cbegin(), value.cend(), [](QChar c) {
                                 return c == u';' || c == u',' || c == u'=' || c == u'"';
                             }));
    QString out;
    bool escapeHexDigit = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        // A lone half of a surrogate pair has no UTF-8 form: it is kept as its number.
        const bool pairStart =
            c.isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate();
        if (pairStart) {
            out += c;
            out += value[++i];
            escapeHexDigit = false;
            continue;
        }
        if (escapeHexDigit && isHexDigit(c)) {
            out += QStringLiteral("\\x%1").arg(c.unicode(), 0, 16);
            continue;
        }
        escapeHexDigit = false;
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.isSurrogate()) {
                out += QStringLiteral("\\x%1").arg(c.unicode(), 0, 16);
                escapeHexDigit = true;
            } else {
                out += c;
            }
        }
    }
    if (quote)
        out = u'"' + out + u'"';
    return out.toUtf8();
}

} // namespace

QMap<QString, QString> TSettingsStore::ParseIni(const QByteArray &text)
{
    QMap<QString, QString> values;
    QString section;
    const QString decoded = QString::fromUtf8(text);
    for (QStringView line : QStringView(decoded).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            const qsizetype end = line.indexOf(u']');
            section = end < 0 ? QString() : line.sliced(1, end - 1).trimmed().toString();
            if (section.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
                section.clear();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        const QString key = line.first(equals).trimmed().toString();
        if (key.isEmpty())
            continue;
        const QStringView raw = line.sliced(equals + 1).trimmed();
        // "@Invalid()" and the other typed forms are no text this program wrote.
        if (raw.startsWith(u'@') && !raw.startsWith(QLatin1String("@@")))
            continue;
        values.insert(section.isEmpty() ? key : section + u'/' + key, unescapedValue(raw));
    }
    return values;
}

QByteArray TSettingsStore::IniText(const QMap<QString, QString> &values)
{
    QByteArray text;
    QString section;
    bool first = true;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const qsizetype slash = it.key().indexOf(u'/');
        const QString keySection = slash < 0 ? QStringLiteral("General") : it.key().first(slash);
        const QString key = slash < 0 ? it.key() : it.key().sliced(slash + 1);
        if (first || keySection != section) {
            if (!first)
                text += '\n';
            text += '[' + keySection.toUtf8() + "]\n";
            section = keySection;
            first = false;
        }
        text += key.toUtf8() + '=' + escapedValue(it.value()) + '\n';
    }
    return text;
}

TSettingsStore::TSettingsStore(const QString &path) : m_path(path)
{
#ifdef Q_OS_WIN
    if (!QDir::isAbsolutePath(path)) {
        const QSettings registry(QStringLiteral("HKEY_CURRENT_USER\\Software\\") + path,
                                 QSettings::NativeFormat);
        for (const QString &key : registry.allKeys())
            m_values.insert(key, registry.value(key).toString());
        return;
    }
#endif
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return;
    try {
        m_values = ParseIni(ReadWholeFile(path, kMaxSettingsBytes));
    } catch (const EFileRefused &refused) {
        // Whatever stands in the settings' place is not ours to replace.
        m_problem = refused.reason() == EFileRefused::Unreadable
                        ? QDir::toNativeSeparators(path) + QStringLiteral(": ") + refused.message()
                        : refused.message();
    }
}

QVariant TSettingsStore::value(const QString &key, const QVariant &fallback) const
{
    const auto it = m_values.constFind(key);
    return it == m_values.cend() ? fallback : QVariant(*it);
}

void TSettingsStore::setValue(const QString &key, const QVariant &value)
{
    const QString text = value.toString();
    const auto it = m_values.constFind(key);
    if (it != m_values.cend() && *it == text)
        return;
    m_values.insert(key, text);
    m_changed = true;
}

void TSettingsStore::clear()
{
    m_changed |= !m_values.isEmpty();
    m_values.clear();
}

void TSettingsStore::sync()
{
    // A file that could not be read (problem() says why) is left alone.
    if (!m_changed || !m_problem.isEmpty())
        return;
#ifdef Q_OS_WIN
    if (!QDir::isAbsolutePath(m_path)) {
        QSettings registry(QStringLiteral("HKEY_CURRENT_USER\\Software\\") + m_path,
                           QSettings::NativeFormat);
        registry.clear();
        for (auto it = m_values.cbegin(); it != m_values.cend(); ++it)
            registry.setValue(it.key(), *it);
        registry.sync();
        m_changed = false;
        return;
    }
#endif
    // A new account has no config folder yet.
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    WriteFileAtomically(m_path, IniText(m_values));
    m_changed = false;
}
