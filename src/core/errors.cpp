#include "errors.h"

ECantWriteFile::ECantWriteFile()
    : ETessmarkError(QStringLiteral("データを保存できません\r"
                                    "保存するディスクに十分に空き容量があるかを確認してください"))
{}

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
        throw EConvertError(QStringLiteral("'%1' は整数ではありません").arg(text));
    return value;
}

int StrToIntDef(const QString &text, int fallback)
{
    int value = 0;
    return parseInt(text, value) ? value : fallback;
}

double StrToFloat(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' は有効な浮動小数点数ではありません").arg(text));
    return value;
}
