// The navigation world around the helicopter: flat terrain at the airport's elevation, one runway with an
// instrument landing system (localizer and glide slope), a VOR a few miles away, and the helicopter pad.
// Positions are feet north and east of the airport's reference point (the pad), altitudes feet above sea level.
//
// Standard ILS and VOR geometry (FAA Aeronautical Information Manual, 1-1-9 and 1-1-3; ICAO Annex 10 vol. I):
// the localizer antenna stands beyond the stop end and its course is +-2.5 degrees wide at full scale, or
// +-350 ft at the threshold if that is narrower; the glide slope is 3 degrees with +-0.7 degrees at full scale,
// its antenna about 1000 ft past the threshold; the localizer is received within 18 NM and +-10 degrees of the
// course, the glide slope within 10 NM. Our receivers show 2 dots at full scale each side.
#pragma once

#include <cstdint>

namespace flight {

struct Runway {
    double threshold_north_ft, threshold_east_ft;
    double course_deg;  // true, the direction of landing
    double length_ft;
    double elevation_ft;
};

struct World {
    double elevation_ft;  // of the flat terrain, the pad and the runway
    Runway runway;
    double localizer_beyond_stop_end_ft;
    double glide_slope_past_threshold_ft;
    double glide_slope_deg;
    double vor_north_ft, vor_east_ft;
};

// Our airport: the pad at the reference point; the runway's threshold 2000 ft east of it, course 030; the VOR
// 4 NM north-west.
inline constexpr World kAirport = {500.0, {0.0, 2000.0, 30.0, 6000.0, 500.0}, 1000.0, 1000.0, 3.0, 20000.0, -20000.0};
const World& airport();

// The receivers' geometry (FAA AIM 1-1-9, ICAO Annex 10 vol. I 3.1), as above.
namespace receivers {
constexpr double kLocalizerHalfWidthDeg = 2.5;      // full scale at most
constexpr double kLocalizerThresholdWidthFt = 350;  // full scale at the threshold, where narrower
constexpr double kLocalizerRangeNm = 18;
constexpr double kLocalizerCoverageDeg = 10;
constexpr double kGlideSlopeHalfWidthDeg = 0.7;
constexpr double kGlideSlopeRangeNm = 10;
constexpr double kVorHalfWidthDeg = 10;  // a VOR needle's full scale
constexpr double kDotsFullScale = 2;
constexpr double kNeedleStop = 2.5;  // dots: where a needle pins
}  // namespace receivers

// What the receivers and the GPS show at a position.
struct Reception {
    bool localizer_received, glide_slope_received;
    double localizer_dots;    // + right of the course, clamped to +-2.5
    double glide_slope_dots;  // + above the path, clamped to +-2.5
    double threshold_distance_nm;
    double vor_dots;  // + right of the selected course through the VOR, clamped to +-2.5
    double vor_distance_nm;
    double gps_track_rad;  // the GPS's desired track: direct to the VOR, 0..2 pi
};

// The receivers of a world: its fixed geometry (the runway's direction, the antennas' places, the localizer's
// width) worked out once, the selected course's direction while it stays the same; a fixed place, two atan2 and
// an asin a reading.
class Receivers {
public:
    explicit Receivers(const World& w);
    Reception receive(double north_ft, double east_ft, double altitude_ft, double selected_course_deg);

private:
    World w_;
    double along_n_, along_e_, right_n_, right_e_;  // the landing direction and its right-hand normal
    double localizer_n_, localizer_e_, localizer_width_deg_;
    double glide_slope_n_, glide_slope_e_;
    uint64_t course_bits_;  // the selected course last read (its bits), and its direction
    double course_sin_, course_cos_;
};

// Where a point lies on the localizer's extended centreline: `distance_nm` before the threshold, feet.
void on_final(const World& w, double distance_nm, double& north_ft, double& east_ft);

}  // namespace flight
