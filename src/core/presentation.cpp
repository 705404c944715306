#include "presentation.h"

#include "errors.h"

QStringList GridHeaderTexts()
{
    return {QStringLiteral("D (m) "),  QStringLiteral("Wsw(kN)"), QStringLiteral("Na"),
            QStringLiteral("Nsw"),     QStringLiteral("観察"),    QStringLiteral("土質"),
            QStringLiteral("換算Ｎ値")};
}

QStringList GridRowTexts(const Tvt_data &row, bool naMode)
{
    const QString na = row.Na == kSelfSinking ? row.Na : NaText(NaValue(row.Na, naMode), naMode);
    return {QString::asprintf("%2.2f", row.Depth / 100.0),
            QString::asprintf("%4.2f", StrToFloat(row.Wsw) / 100),
            na,
            row.Nsw,
            row.Obs,
            row.Doshitu,
            QString::asprintf("%2.1f", row.NValue)};
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
