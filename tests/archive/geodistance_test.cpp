// Distances on the earth against an independent reference (Vincenty's inverse formula on the
// WGS 84 ellipsoid), and the box a search by place reads.
#include "geodistance.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace {

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180;
}

// Vincenty (1975), inverse problem: the ellipsoidal distance, iterated to 1e-12 rad.
double vincenty(const TGeoPosition &p, const TGeoPosition &q)
{
    const double a = 6378137.0;
    const double f = 1 / 298.257223563;
    const double b = a * (1 - f);
    const double u1 = std::atan((1 - f) * std::tan(radians(p.Latitude)));
    const double u2 = std::atan((1 - f) * std::tan(radians(q.Latitude)));
    const double l = radians(q.Longitude - p.Longitude);
    double lambda = l;
    double sinSigma = 0, cosSigma = 0, sigma = 0, cos2Alpha = 0, cos2SigmaM = 0;
    for (int i = 0; i < 200; ++i) {
        const double sinLambda = std::sin(lambda);
        const double cosLambda = std::cos(lambda);
        sinSigma =
            std::hypot(std::cos(u2) * sinLambda,
                       std::cos(u1) * std::sin(u2) - std::sin(u1) * std::cos(u2) * cosLambda);
        if (sinSigma == 0)
            return 0;
        cosSigma = std::sin(u1) * std::sin(u2) + std::cos(u1) * std::cos(u2) * cosLambda;
        sigma = std::atan2(sinSigma, cosSigma);
        const double sinAlpha = std::cos(u1) * std::cos(u2) * sinLambda / sinSigma;
        cos2Alpha = 1 - sinAlpha * sinAlpha;
        cos2SigmaM = cos2Alpha != 0 ? cosSigma - 2 * std::sin(u1) * std::sin(u2) / cos2Alpha : 0;
        const double c = f / 16 * cos2Alpha * (4 + f * (4 - 3 * cos2Alpha));
        const double previous = lambda;
        lambda =
            l + (1 - c) * f * sinAlpha *
                    (sigma + c * sinSigma *
                                 (cos2SigmaM + c * cosSigma * (-1 + 2 * cos2SigmaM * cos2SigmaM)));
        if (std::abs(lambda - previous) < 1e-12)
            break;
    }
    const double uSquared = cos2Alpha * (a * a - b * b) / (b * b);
    const double bigA =
        1 + uSquared / 16384 * (4096 + uSquared * (-768 + uSquared * (320 - 175 * uSquared)));
    const double bigB =
        uSquared / 1024 * (256 + uSquared * (-128 + uSquared * (74 - 47 * uSquared)));
    const double deltaSigma =
        bigB * sinSigma *
        (cos2SigmaM + bigB / 4 *
                          (cosSigma * (-1 + 2 * cos2SigmaM * cos2SigmaM) -
                           bigB / 6 * cos2SigmaM * (-3 + 4 * sinSigma * sinSigma) *
                               (-3 + 4 * cos2SigmaM * cos2SigmaM)));
    return b * bigA * (sigma - deltaSigma);
}

struct Pair
{
    const char *name;
    TGeoPosition from;
    TGeoPosition to;
};

} // namespace

TEST(GeoDistance, IsWithinAThousandthOfTheEllipsoidalDistanceUpTo10Km)
{
    const Pair pairs[] = {
        {"one metre north in Tokyo", {35.6812, 139.7671}, {35.68120902, 139.7671}},
        {"10 km north", {35.6812, 139.7671}, {35.7713, 139.7671}},
        {"10 km east", {35.6812, 139.7671}, {35.6812, 139.8777}},
        {"7 km north-west", {35.6812, 139.7671}, {35.7262, 139.7124}},
        {"south and west of the equator", {-33.8688, -70.6693}, {-33.9202, -70.6101}},
        {"across the equator", {0.03, 10}, {-0.03, 10.04}},
        {"across the date line", {52.2, 179.98}, {52.21, -179.95}},
        {"at 80 degrees", {80.0, 20.0}, {80.05, 20.3}},
        {"across the north pole", {89.98, 0}, {89.98, 180}},
    };
    for (const Pair &pair : pairs) {
        const double reference = vincenty(pair.from, pair.to);
        ASSERT_LE(reference, 10100) << pair.name;
        EXPECT_NEAR(GeoDistance(pair.from, pair.to), reference, reference * 1e-3 + 1e-3)
            << pair.name;
        EXPECT_DOUBLE_EQ(GeoDistance(pair.from, pair.to), GeoDistance(pair.to, pair.from))
            << pair.name;
    }
}

TEST(GeoDistance, TheBoxHoldsEveryPlaceWithinTheRadius)
{
    // Places on circles around centres at every kind of latitude and at the date line: each one
    // at distance d must lie in the box made for d (the search would miss it otherwise).
    const TGeoPosition centres[] = {{35.6812, 139.7671}, {-45.0, -179.999}, {0.0, 180.0},
                                    {75.0, 10.0},        {89.995, 45.0},    {-89.9999, 0}};
    for (const TGeoPosition &centre : centres) {
        for (double radius : {50.0, 300.0, 2000.0, 10000.0}) {
            for (int step = 0; step < 72; ++step) {
                const double bearing = radians(step * 5.0);
                // About `radius` away on this bearing; the exact distance is measured.
                const double north = radius * std::cos(bearing) / 111320;
                const double east = radius * std::sin(bearing) /
                                    (111320 * std::max(1e-9, std::cos(radians(centre.Latitude))));
                TGeoPosition place{centre.Latitude + north, centre.Longitude + east};
                if (std::abs(place.Latitude) > 90)
                    continue;
                place.Longitude -= 360 * std::round(place.Longitude / 360);
                const double distance = GeoDistance(centre, place);
                const TGeoBox box = GeoBoxAround(centre, distance);
                EXPECT_TRUE(box.Contains(place))
                    << centre.Latitude << "," << centre.Longitude << " r=" << radius << " bearing "
                    << step * 5 << ": " << place.Latitude << "," << place.Longitude;
            }
        }
    }
    // And it stays a small box where it can: 300 m in Tokyo is a few thousandths of a degree.
    const TGeoBox tokyo = GeoBoxAround({35.6812, 139.7671}, 300);
    EXPECT_FALSE(tokyo.AllLongitudes);
    EXPECT_LT(tokyo.North - tokyo.South, 0.006);
    EXPECT_LT(tokyo.East - tokyo.West, 0.008);
}
