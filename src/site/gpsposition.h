// Positions from the instrument's GPS record: latitude and longitude texts in the forms
// receivers write them, and a site's local plane in metres east and north of one point.
#pragma once

#include "record.h"

#include <QPointF>
#include <QString>
#include <optional>

// A place on the earth: decimal degrees, north and east positive.
struct TGeoPosition
{
    double Latitude = 0;
    double Longitude = 0;

    bool operator==(const TGeoPosition &) const = default;
};

// A latitude (longitude: `isLongitude`) text with its hemisphere letter, in decimal degrees.
// Read forms: decimal degrees ("35.6812", "139.7671") and degrees with minutes as NMEA writes
// them, ddmm.mmmm for a latitude ("3540.8720") and dddmm.mmmm for a longitude ("13946.0260"),
// told apart by the number of digits before the point (a latitude with three or four, a
// longitude with four or five, is in minutes). The letter is N or S (E or W) in either case.
// Raises EConvertError naming the text when it is not such a number or the letter is wrong.
double ReadGpsAngle(const QString &text, const QString &hemisphere, bool isLongitude);

// The record's position; none when it holds no position (Status not "1" or "2"). Raises
// EConvertError as ReadGpsAngle does.
std::optional<TGeoPosition> ReadGpsPosition(const TGPSData &gps);

// The record's altitude in metres; none when it holds no position or no altitude. The unit is
// "m" (or empty). Raises EConvertError when the text is not a number or the unit another one.
std::optional<double> ReadGpsAltitude(const TGPSData &gps);

// "LAT,LON" in decimal degrees, south and west negative; none when it is not two numbers
// within ±90 and ±180.
std::optional<TGeoPosition> ParseDecimalPlace(const QString &text);

// `position` as metres east (x) and north (y) of `origin` on the WGS 84 ellipsoid: the
// longitude and latitude differences times the radii of curvature at the mean latitude
// (x = Δλ · N(φm) · cos φm, y = Δφ · M(φm)). Within 300 m of the origin this is within 1 cm of
// the geodesic distance and bearing, within 500 m within 2 cm.
QPointF LocalPlaneOffset(const TGeoPosition &origin, const TGeoPosition &position);
