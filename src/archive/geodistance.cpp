#include "geodistance.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// WGS 84.
constexpr double kSemiMajorAxis = 6378137.0;
constexpr double kFlattening = 1 / 298.257223563;
constexpr double kEccentricitySquared = kFlattening * (2 - kFlattening);
// The smallest radius of curvature of the meridian (at the equator), and the mean radius.
constexpr double kMeridianRadiusAtEquator = kSemiMajorAxis * (1 - kEccentricitySquared);
constexpr double kMeanRadius = 6371008.8;
// The box is made this much larger than the circle, for the ellipsoid's uneven curvature.
constexpr double kBoxMargin = 1.01;

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180;
}

double degrees(double radians)
{
    return radians * 180 / std::numbers::pi;
}

struct Cartesian
{
    double x, y, z;
};

// The place on the ellipsoid's surface in earth-centred coordinates (metres).
Cartesian cartesian(const TGeoPosition &p)
{
    const double phi = radians(p.Latitude);
    const double lambda = radians(p.Longitude);
    const double sine = std::sin(phi);
    const double primeVertical = kSemiMajorAxis / std::sqrt(1 - kEccentricitySquared * sine * sine);
    return {primeVertical * std::cos(phi) * std::cos(lambda),
            primeVertical * std::cos(phi) * std::sin(lambda),
            primeVertical * (1 - kEccentricitySquared) * sine};
}

} // namespace

double GeoDistance(const TGeoPosition &a, const TGeoPosition &b)
{
    const Cartesian p = cartesian(a);
    const Cartesian q = cartesian(b);
    const double chord = std::hypot(p.x - q.x, p.y - q.y, p.z - q.z);
    // Over a few kilometres the arc is longer than its chord by chord³/24R²: below a millionth,
    // but kept so the figure stays right over longer distances too.
    return 2 * kMeanRadius * std::asin(std::min(1.0, chord / (2 * kMeanRadius)));
}

bool TGeoBox::Contains(const TGeoPosition &position) const
{
    if (position.Latitude < South || position.Latitude > North)
        return false;
    if (AllLongitudes)
        return true;
    if (West <= East)
        return position.Longitude >= West && position.Longitude <= East;
    return position.Longitude >= West || position.Longitude <= East;
}

TGeoBox GeoBoxAround(const TGeoPosition &centre, double radius)
{
    TGeoBox box;
    const double latitudeSpan = degrees(radius / kMeridianRadiusAtEquator) * kBoxMargin;
    box.South = std::max(-90.0, centre.Latitude - latitudeSpan);
    box.North = std::min(90.0, centre.Latitude + latitudeSpan);
    // A parallel is shortest at the box's latitude farthest from the equator; its radius is at
    // least the semi-major axis times the cosine there.
    const double farthest = std::max(std::abs(box.South), std::abs(box.North));
    const double parallelRadius = kSemiMajorAxis * std::cos(radians(farthest));
    const double longitudeSpan =
        parallelRadius > 0 ? degrees(radius / parallelRadius) * kBoxMargin : 360;
    if (farthest >= 90 || longitudeSpan >= 180) {
        box.AllLongitudes = true;
        box.West = -180;
        box.East = 180;
        return box;
    }
    const auto wrap = [](double longitude) {
        return longitude - 360 * std::round(longitude / 360);
    };
    box.West = wrap(centre.Longitude - longitudeSpan);
    box.East = wrap(centre.Longitude + longitudeSpan);
    return box;
}
