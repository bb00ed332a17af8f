#include "flight/world.h"

#include <algorithm>
#include <cmath>

#include "flight/units.h"

namespace flight {

namespace {

using namespace units;

using namespace receivers;

double dots(double angle_deg, double full_scale_deg) {
    return std::clamp(kDotsFullScale * angle_deg / full_scale_deg, -kNeedleStop, kNeedleStop);
}


}  // namespace

const World& airport() { return kAirport; }

void on_final(const World& w, double distance_nm, double& north_ft, double& east_ft) {
    const double c = w.runway.course_deg * kRadiansPerDegree;
    north_ft = w.runway.threshold_north_ft - std::cos(c) * distance_nm * kFeetPerNauticalMile;
    east_ft = w.runway.threshold_east_ft - std::sin(c) * distance_nm * kFeetPerNauticalMile;
}

Reception receive(const World& w, double north_ft, double east_ft, double altitude_ft, double selected_course_deg) {
    Reception r{};
    const Runway& rw = w.runway;
    const double c = rw.course_deg * kRadiansPerDegree;
    const double along_n = std::cos(c), along_e = std::sin(c);  // the landing direction
    const double right_n = -along_e, right_e = along_n;         // its right-hand normal

    // Localizer: angles seen from its antenna beyond the stop end, on the approach side.
    const double to_antenna = rw.length_ft + w.localizer_beyond_stop_end_ft;
    const double dn = north_ft - (rw.threshold_north_ft + along_n * to_antenna);
    const double de = east_ft - (rw.threshold_east_ft + along_e * to_antenna);
    const double before = -(dn * along_n + de * along_e);  // distance before the antenna, along the course
    const double cross = dn * right_n + de * right_e;      // right of the course +
    const double localizer_angle = std::atan2(cross, before) / kRadiansPerDegree;
    const double localizer_width =
        std::min(kLocalizerHalfWidthDeg, std::atan(kLocalizerThresholdWidthFt / to_antenna) / kRadiansPerDegree);
    const double antenna_range_nm = std::hypot(dn, de) / kFeetPerNauticalMile;
    r.localizer_received = before > 0 && std::fabs(localizer_angle) <= kLocalizerCoverageDeg &&
                           antenna_range_nm <= kLocalizerRangeNm;
    r.localizer_dots = dots(localizer_angle, localizer_width);

    // Glide slope: the elevation angle seen from its antenna past the threshold.
    const double gn = north_ft - (rw.threshold_north_ft + along_n * w.glide_slope_past_threshold_ft);
    const double ge = east_ft - (rw.threshold_east_ft + along_e * w.glide_slope_past_threshold_ft);
    const double ahead = -(gn * along_n + ge * along_e);
    const double elevation = std::atan2(altitude_ft - rw.elevation_ft, std::max(ahead, 1.0)) / kRadiansPerDegree;
    r.glide_slope_received = ahead > 0 && std::fabs(localizer_angle) <= kLocalizerCoverageDeg &&
                             std::hypot(gn, ge) / kFeetPerNauticalMile <= kGlideSlopeRangeNm;
    r.glide_slope_dots = dots(elevation - w.glide_slope_deg, kGlideSlopeHalfWidthDeg);

    r.threshold_distance_nm =
        std::hypot(north_ft - rw.threshold_north_ft, east_ft - rw.threshold_east_ft) / kFeetPerNauticalMile;

    // VOR: the angle between the selected course line through the station and the line to the aircraft.
    const double vn = north_ft - w.vor_north_ft, ve = east_ft - w.vor_east_ft;
    const double range = std::hypot(vn, ve);
    r.vor_distance_nm = range / kFeetPerNauticalMile;
    const double s = selected_course_deg * kRadiansPerDegree;
    const double vor_cross = vn * -std::sin(s) + ve * std::cos(s);
    r.vor_dots = range > 1.0 ? dots(std::asin(std::clamp(vor_cross / range, -1.0, 1.0)) / kRadiansPerDegree, kVorHalfWidthDeg)
                             : 0.0;

    // GPS: direct to the VOR.
    const double track = std::atan2(-ve, -vn);
    r.gps_track_rad = track < 0 ? track + 2 * kPi : track;
    return r;
}

}  // namespace flight
