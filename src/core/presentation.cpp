#include "presentation.h"

#include "errors.h"
#include "numtext.h"

#include <QTextStream>

QStringList GridHeaderTexts()
{
    return {QStringLiteral("D (m) "),  QStringLiteral("Wsw(kN)"), QStringLiteral("Na"),
            QStringLiteral("Nsw"),     QStringLiteral("観察"),    QStringLiteral("土質"),
            QStringLiteral("換算Ｎ値")};
}

namespace {

// The grid's cells that are numbers: depth in metres, load in kN, converted N.
void appendDepthCell(QString &out, const Tvt_data &row)
{
    AppendScaled(out, row.Depth, 2); // "%2.2f" of Depth / 100
}

void appendLoadCell(QString &out, const Tvt_data &row)
{
    AppendFixed(out, StrToFloat(row.Wsw) / 100, 2);
}

QString halfTurnCell(const Tvt_data &row, bool naMode)
{
    return row.Na == kSelfSinking ? row.Na : NaText(NaValue(row.Na, naMode), naMode);
}

void appendNValueCell(QString &out, const Tvt_data &row)
{
    AppendFixed(out, row.NValue, 1);
}

} // namespace

QStringList GridRowTexts(const Tvt_data &row, bool naMode)
{
    QString depth;
    appendDepthCell(depth, row);
    QString load;
    appendLoadCell(load, row);
    QString nValue;
    appendNValueCell(nValue, row);
    return {depth, load, halfTurnCell(row, naMode), row.Nsw, row.Obs, row.Doshitu, nValue};
}

void AppendGridRowLine(QString &out, const Tvt_data &row, bool naMode)
{
    // The cells of GridRowTexts appended in place: a list of texts per row costs more than the row.
    appendDepthCell(out, row);
    out += u'\t';
    appendLoadCell(out, row);
    out += u'\t';
    out += halfTurnCell(row, naMode);
    out += u'\t';
    out += row.Nsw;
    out += u'\t';
    out += row.Obs;
    out += u'\t';
    out += row.Doshitu;
    out += u'\t';
    appendNValueCell(out, row);
    out += u'\n';
}

void WriteTestText(const TSoundingTest &test, bool naMode, QTextStream &out)
{
    const Tkannyu &log = test.DisplayLog;
    out << TestCodeText(log) << '\n'
        << PointNoText(log) << '\n'
        << TestTimeText(log) << '\n'
        << FinalDepthText(log) << '\n'
        << GpsText(test.TestGps) << '\n'
        << '\n'
        << GridHeaderTexts().join(u'\t') << '\n';
    // Rows go out in blocks: one stream write per row costs more than building the row.
    constexpr qsizetype kBlock = 32 * 1024;
    QString block;
    block.reserve(kBlock + 256);
    try {
        for (int i = 1; i <= log.Count; ++i) {
            AppendGridRowLine(block, log.row(i), naMode);
            if (block.size() >= kBlock) {
                out << block;
                block.resize(0);
            }
        }
    } catch (...) {
        // The rows before a bad one are shown, as when each row went out at once.
        out << block;
        throw;
    }
    out << block;
}

QString TestCodeText(const TTestInfo &info)
{
    return QString::asprintf("試験コード  %.3d-%.3d-%.3d-%.4d", info.Code1, info.Code2, info.Code3,
                             info.Code4);
}

QString PointNoText(const TTestInfo &info)
{
    return QString::asprintf("測点番号 %.2d", info.PointNo);
}

QString TestTimeText(const TTestInfo &info)
{
    return QString::asprintf("試験時間       %.4d年 %2d月 %2d日 %.2d時%.2d分～%.2d時%.2d分",
                             info.fullYear(), info.Month, info.Day, info.StartHour, info.StartMin,
                             info.EndHour, info.EndMin);
}

QString FinalDepthText(const TTestInfo &info)
{
    return QString::asprintf("最終貫入深さ   %2.2f m", info.FinalDepth / 100.0);
}

QString GpsText(const TGPSData &gps)
{
    if (!gps.hasPosition())
        return QStringLiteral("GPS未測位");
    return QStringLiteral("GPS測位  緯度 %1%2 経度%3%4 海抜高度%5%6")
        .arg(gps.Latitude, gps.LatitudeUnit, gps.Longitude, gps.LongitudeUnit, gps.Altitude,
             gps.AltitudeUnit);
}
