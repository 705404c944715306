#include "gpsposition.h"

#include "errors.h"

#include <QRegularExpression>
#include <cmath>
#include <numbers>

namespace {

// WGS 84, the datum of every GPS receiver.
constexpr double kSemiMajorAxis = 6378137.0;
constexpr double kFlattening = 1 / 298.257223563;
constexpr double kEccentricitySquared = kFlattening * (2 - kFlattening);

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180;
}

QString angleName(bool isLongitude)
{
    return isLongitude ? QStringLiteral("経度") : QStringLiteral("緯度");
}

} // namespace

double ReadGpsAngle(const QString &text, const QString &hemisphere, bool isLongitude)
{
    static const QRegularExpression number(QStringLiteral("^(\\d+)(?:\\.\\d*)?$"));
    const QString trimmed = text.trimmed();
    const QRegularExpressionMatch match = number.match(trimmed);
    const auto refuse = [&](const QString &why) {
        throw EConvertError(QStringLiteral("GPSの%1「%2」%3")
                                .arg(angleName(isLongitude), ExcerptForMessage(trimmed), why));
    };
    if (!match.hasMatch())
        refuse(QStringLiteral("は数値ではありません"));

    // Decimal degrees have at most two (three) digits before the point; more means the
    // degrees-and-minutes form, also when a receiver leaves out its leading zeros.
    const qsizetype degreeDigits = isLongitude ? 3 : 2;
    const qsizetype digits = match.capturedLength(1);
    if (digits > degreeDigits + 2)
        refuse(QStringLiteral("は度でも度分でもありません"));
    double degrees = trimmed.toDouble();
    if (digits > degreeDigits) {
        const double wholeDegrees = std::floor(degrees / 100);
        const double minutes = degrees - 100 * wholeDegrees;
        if (minutes >= 60)
            refuse(QStringLiteral("の分が60以上です"));
        degrees = wholeDegrees + minutes / 60;
    }
    if (degrees > (isLongitude ? 180 : 90))
        refuse(QStringLiteral("は範囲外です"));

    const QString letter = hemisphere.trimmed().toUpper();
    const QString positive = isLongitude ? QStringLiteral("E") : QStringLiteral("N");
    const QString negative = isLongitude ? QStringLiteral("W") : QStringLiteral("S");
    if (letter == positive)
        return degrees;
    if (letter == negative)
        return -degrees;
    throw EConvertError(QStringLiteral("GPSの%1の方位「%2」は%3でも%4でもありません")
                            .arg(angleName(isLongitude), ExcerptForMessage(hemisphere.trimmed()),
                                 positive, negative));
}

std::optional<TGeoPosition> ReadGpsPosition(const TGPSData &gps)
{
    if (!gps.hasPosition())
        return std::nullopt;
    return TGeoPosition{ReadGpsAngle(gps.Latitude, gps.LatitudeUnit, false),
                        ReadGpsAngle(gps.Longitude, gps.LongitudeUnit, true)};
}

std::optional<double> ReadGpsAltitude(const TGPSData &gps)
{
    if (!gps.hasPosition() || gps.Altitude.trimmed().isEmpty())
        return std::nullopt;
    double metres = 0;
    if (!TryStrToFloat(gps.Altitude.trimmed(), metres) || !std::isfinite(metres))
        throw EConvertError(QStringLiteral("GPSの海抜高度「%1」は数値ではありません")
                                .arg(ExcerptForMessage(gps.Altitude.trimmed())));
    const QString unit = gps.AltitudeUnit.trimmed();
    if (!unit.isEmpty() && unit.compare(QLatin1String("m"), Qt::CaseInsensitive) != 0)
        throw EConvertError(QStringLiteral("GPSの海抜高度の単位「%1」はmではありません")
                                .arg(ExcerptForMessage(unit)));
    return metres;
}

std::optional<TGeoPosition> ParseDecimalPlace(const QString &text)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 2)
        return std::nullopt;
    bool okLatitude = false;
    bool okLongitude = false;
    const TGeoPosition place{parts.at(0).trimmed().toDouble(&okLatitude),
                             parts.at(1).trimmed().toDouble(&okLongitude)};
    if (!okLatitude || !okLongitude || std::abs(place.Latitude) > 90 ||
        std::abs(place.Longitude) > 180)
        return std::nullopt;
    return place;
}

QPointF LocalPlaneOffset(const TGeoPosition &origin, const TGeoPosition &position)
{
    const double meanLatitude = radians((origin.Latitude + position.Latitude) / 2);
    const double sine = std::sin(meanLatitude);
    const double w = 1 - kEccentricitySquared * sine * sine;
    const double meridian = kSemiMajorAxis * (1 - kEccentricitySquared) / (w * std::sqrt(w));
    const double primeVertical = kSemiMajorAxis / std::sqrt(w);
    // The short way round, also across the date line.
    double longitudeDifference = position.Longitude - origin.Longitude;
    longitudeDifference -= 360 * std::round(longitudeDifference / 360);
    return {radians(longitudeDifference) * primeVertical * std::cos(meanLatitude),
            radians(position.Latitude - origin.Latitude) * meridian};
}
