// The navigation receivers: what they show on the approach, and that the course they keep from the last reading
// never stands in for another.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "flight/units.h"
#include "flight/world.h"

namespace flight {
namespace {

bool same_bits(const Reception& a, const Reception& b) {
    const double x[] = {a.localizer_dots, a.glide_slope_dots, a.threshold_distance_nm, a.vor_dots, a.vor_distance_nm,
                        a.gps_track_rad};
    const double y[] = {b.localizer_dots, b.glide_slope_dots, b.threshold_distance_nm, b.vor_dots, b.vor_distance_nm,
                        b.gps_track_rad};
    return std::memcmp(x, y, sizeof x) == 0 && a.localizer_received == b.localizer_received &&
           a.glide_slope_received == b.glide_slope_received;
}

TEST(Receivers, OnTheGlidePathFiveMilesOutBothNeedlesCentre) {
    const World& w = airport();
    double north = 0, east = 0;
    on_final(w, 5, north, east);
    // 3 degrees above the glide slope's antenna, 1000 ft past the threshold.
    const double distance_ft = 5 * units::kFeetPerNauticalMile + w.glide_slope_past_threshold_ft;
    const double altitude = w.runway.elevation_ft + distance_ft * std::tan(w.glide_slope_deg * units::kRadiansPerDegree);
    Receivers receivers(w);
    const Reception r = receivers.receive(north, east, altitude, w.runway.course_deg);
    EXPECT_TRUE(r.localizer_received);
    EXPECT_TRUE(r.glide_slope_received);
    EXPECT_NEAR(r.localizer_dots, 0, 1e-9);
    EXPECT_NEAR(r.glide_slope_dots, 0, 1e-9);
    EXPECT_NEAR(r.threshold_distance_nm, 5, 1e-9);
    // A quarter of a degree high: the needle moves by 2 dots per 0.7 degrees.
    const double high = w.runway.elevation_ft +
                        distance_ft * std::tan((w.glide_slope_deg + 0.25) * units::kRadiansPerDegree);
    EXPECT_NEAR(receivers.receive(north, east, high, w.runway.course_deg).glide_slope_dots, 2 * 0.25 / 0.7, 1e-9);
}

TEST(Receivers, EachReadingAsFromFreshReceiversWhateverTheCourseBefore) {
    const World& w = airport();
    Receivers kept(w);
    const double courses[] = {30, 30, 120, -0.0, 0.0, 359.5, 359.5, 30};
    for (int i = 0; i < 8; ++i) {
        // Three degrees off the course's radial from the VOR, so that the needle shows which course it read.
        const double bearing = (courses[i] + 3 + 0.5 * i) * units::kRadiansPerDegree, range = 9000.0 + 1000 * i;
        const double north = w.vor_north_ft + range * std::cos(bearing), east = w.vor_east_ft + range * std::sin(bearing);
        const double altitude = 900 + 150 * i;
        const Reception a = kept.receive(north, east, altitude, courses[i]);
        const Reception b = Receivers(w).receive(north, east, altitude, courses[i]);
        EXPECT_TRUE(same_bits(a, b)) << "reading " << i << " at course " << courses[i];
        EXPECT_LT(std::abs(a.vor_dots), 2) << i;  // off the stop
    }
}

}  // namespace
}  // namespace flight
