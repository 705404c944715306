// Distances between places on the earth, and the box of latitudes and longitudes around a place
// that a search by distance narrows the catalogue to before it measures.
#pragma once

#include "gpsposition.h"

// The distance between two places on the WGS 84 ellipsoid in metres: the straight line between
// them through the earth, lengthened to the arc it cuts off. Within a millionth of the ellipsoidal
// distance up to 10 km, also across the date line and at the poles.
double GeoDistance(const TGeoPosition &a, const TGeoPosition &b);

// Every place within a distance of a centre lies in this box (a little more, never less).
struct TGeoBox
{
    double South = 0;
    double North = 0;
    // When the box crosses the date line West is greater than East: the longitudes from West to
    // 180 and from -180 to East.
    double West = 0;
    double East = 0;
    bool AllLongitudes = false; // near a pole every longitude is near

    bool Contains(const TGeoPosition &position) const;
};

TGeoBox GeoBoxAround(const TGeoPosition &centre, double radius);
