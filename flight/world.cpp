#include "flight/world.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <cmath>

#include "flight/units.h"

namespace flight {

namespace {

using namespace units;

uint64_t bits_of(double x) {  // (the web build's library has no std::bit_cast)
    uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

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

Receivers::Receivers(const World& w) : w_(w) {
    const Runway& rw = w.runway;
    const double c = rw.course_deg * kRadiansPerDegree;
    along_n_ = std::cos(c);
    along_e_ = std::sin(c);
    right_n_ = -along_e_;
    right_e_ = along_n_;
    // The localizer's antenna beyond the stop end; its full scale at the threshold where that is narrower.
    const double to_antenna = rw.length_ft + w.localizer_beyond_stop_end_ft;
    localizer_n_ = rw.threshold_north_ft + along_n_ * to_antenna;
    localizer_e_ = rw.threshold_east_ft + along_e_ * to_antenna;
    localizer_width_deg_ =
        std::min(kLocalizerHalfWidthDeg, std::atan(kLocalizerThresholdWidthFt / to_antenna) / kRadiansPerDegree);
    glide_slope_n_ = rw.threshold_north_ft + along_n_ * w.glide_slope_past_threshold_ft;
    glide_slope_e_ = rw.threshold_east_ft + along_e_ * w.glide_slope_past_threshold_ft;
    course_bits_ = bits_of(std::numeric_limits<double>::quiet_NaN());  // none read yet
    course_sin_ = std::numeric_limits<double>::quiet_NaN();
    course_cos_ = course_sin_;
}

Reception Receivers::receive(double north_ft, double east_ft, double altitude_ft, double selected_course_deg) {
    Reception r{};
    const Runway& rw = w_.runway;

    // Localizer: angles seen from its antenna beyond the stop end, on the approach side.
    const double dn = north_ft - localizer_n_;
    const double de = east_ft - localizer_e_;
    const double before = -(dn * along_n_ + de * along_e_);  // distance before the antenna, along the course
    const double cross = dn * right_n_ + de * right_e_;      // right of the course +
    const double localizer_angle = std::atan2(cross, before) / kRadiansPerDegree;
    const double antenna_range_nm = std::hypot(dn, de) / kFeetPerNauticalMile;
    r.localizer_received = before > 0 && std::fabs(localizer_angle) <= kLocalizerCoverageDeg &&
                           antenna_range_nm <= kLocalizerRangeNm;
    r.localizer_dots = dots(localizer_angle, localizer_width_deg_);

    // Glide slope: the elevation angle seen from its antenna past the threshold.
    const double gn = north_ft - glide_slope_n_;
    const double ge = east_ft - glide_slope_e_;
    const double ahead = -(gn * along_n_ + ge * along_e_);
    const double elevation = std::atan2(altitude_ft - rw.elevation_ft, std::max(ahead, 1.0)) / kRadiansPerDegree;
    r.glide_slope_received = ahead > 0 && std::fabs(localizer_angle) <= kLocalizerCoverageDeg &&
                             std::hypot(gn, ge) / kFeetPerNauticalMile <= kGlideSlopeRangeNm;
    r.glide_slope_dots = dots(elevation - w_.glide_slope_deg, kGlideSlopeHalfWidthDeg);

    r.threshold_distance_nm =
        std::hypot(north_ft - rw.threshold_north_ft, east_ft - rw.threshold_east_ft) / kFeetPerNauticalMile;

    // VOR: the angle between the selected course line through the station and the line to the aircraft.
    if (bits_of(selected_course_deg) != course_bits_) {  // bits: -0 is another course than 0
        const double s = selected_course_deg * kRadiansPerDegree;
        course_bits_ = bits_of(selected_course_deg);
        course_sin_ = std::sin(s);
        course_cos_ = std::cos(s);
    }
    const double vn = north_ft - w_.vor_north_ft, ve = east_ft - w_.vor_east_ft;
    const double range = std::hypot(vn, ve);
    r.vor_distance_nm = range / kFeetPerNauticalMile;
    const double vor_cross = vn * -course_sin_ + ve * course_cos_;
    r.vor_dots = range > 1.0 ? dots(std::asin(std::clamp(vor_cross / range, -1.0, 1.0)) / kRadiansPerDegree, kVorHalfWidthDeg)
                             : 0.0;

    // GPS: direct to the VOR.
    const double track = std::atan2(-ve, -vn);
    r.gps_track_rad = track < 0 ? track + 2 * kPi : track;
    return r;
}

}  // namespace flight
