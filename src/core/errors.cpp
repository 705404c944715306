#include "errors.h"

#include <QDir>
#include <QFileDevice>
#include <QtGlobal>

#include <cerrno>

namespace {
const QString kCantSave = QStringLiteral("データを保存できません");
}

ECantWriteFile::ECantWriteFile()
    : ETessmarkError(kCantSave +
                     QStringLiteral("\r保存するディスクに十分に空き容量があるかを確認してください"))
{}

ECantWriteFile ECantWriteFile::Of(const QFileDevice &file)
{
    // The toolkit reports a full disk (and a full quota) as a lack of resources.
    if (file.error() == QFileDevice::ResourceError)
        return ECantWriteFile();
    return ECantWriteFile(kCantSave + u'\r' + QDir::toNativeSeparators(file.fileName()) +
                          QStringLiteral(": ") + file.errorString());
}

ECantWriteFile ECantWriteFile::OfSystemError(const QString &path, int error)
{
    bool full = error == ENOSPC;
#ifdef EDQUOT
    full = full || error == EDQUOT;
#endif
    if (full)
        return ECantWriteFile();
    return ECantWriteFile(kCantSave + u'\r' + QDir::toNativeSeparators(path) +
                          QStringLiteral(": ") + qt_error_string(error));
}

QString ExcerptForMessage(const QString &text)
{
    constexpr qsizetype kLength = 40;
    if (text.size() <= kLength)
        return text;
    // A surrogate pair is not cut in half: the excerpt ends before it.
    qsizetype end = kLength;
    if (text.at(end - 1).isHighSurrogate())
        --end;
    return text.first(end) + u'…';
}

namespace {

bool parseInt(const QString &text, int &value)
{
    bool ok = false;
    value = text.trimmed().toInt(&ok, 10);
    return ok;
}

} // namespace

int StrToInt(const QString &text)
{
    int value = 0;
    if (!parseInt(text, value))
        throw EConvertError(
            QStringLiteral("'%1' は整数ではありません").arg(ExcerptForMessage(text)));
    return value;
}

int StrToIntDef(const QString &text, int fallback)
{
    int value = 0;
    return parseInt(text, value) ? value : fallback;
}

// Digits with at most one decimal point, as data files write loads and half-turns, are read
// here: derived values convert such texts many times per row, and the general conversion costs
// far more. Both integers are exact, so the one division rounds exactly as the general one.
static bool plainDecimalValue(QStringView text, double &value)
{
    long long mantissa = 0;
    long long scale = 1;
    int digits = 0;
    bool point = false;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9') {
            if (++digits > 15)
                return false;
            mantissa = mantissa * 10 + (c.unicode() - u'0');
            if (point)
                scale *= 10;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (digits == 0)
        return false;
    value = double(mantissa) / double(scale);
    return true;
}

bool TryStrToFloat(QStringView text, double &value)
{
    if (plainDecimalValue(text, value))
        return true;
    bool ok = false;
    value = text.trimmed().toDouble(&ok);
    return ok;
}

double StrToFloat(const QString &text)
{
    double value = 0;
    if (!TryStrToFloat(text, value))
        throw EConvertError(
            QStringLiteral("'%1' は有効な浮動小数点数ではありません").arg(ExcerptForMessage(text)));
    return value;
}
