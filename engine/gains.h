// Every gain, limit and time constant of the engine's control laws, named once, with where it comes from.
//
// Units: a control share is a fraction of the control's travel (collective 0..1, cyclic and pedals -1..1);
// angles in degrees, rates in degrees per second, speeds in knots, vertical speeds in feet per minute, heights
// in feet, times in seconds. Gains marked "tuned" were set on our flight model (flight/) by the closed-loop
// scenarios in tests/scenarios/, which hold them to their tolerances.
#pragma once

#include "engine/pid.h"
#include "flight/units.h"
#include "flight/world.h"
#include "frame/simulator.h"
#include "frame/units.h"

namespace autopilot::gains {

// ---- the envelope: every mode, at every moment (from the FAA
//      Helicopter Instrument Flying Handbook, FAA-H-8083-4, and operators' AFCS descriptions) ----
constexpr double kPitchLimitDeg = 15;      // attitude the upper modes may command, nose up or down
constexpr double kPitchLimitSlowDeg = 10;  // in the hover modes, and below kSlowFlightKt of airspeed
constexpr double kSlowFlightKt = 40;
constexpr double kBankLimitDeg = 20;       // heading and course modes (standard-rate turns need 15 to 20)
constexpr double kBankLimitHoverDeg = 10;  // hover and transitions
constexpr double kVerticalSpeedLimitFpm = 1500;
// The shaft power (both rotors and the transmission's loss, as `rotor_power` reads) the collective modes do not
// exceed: the transmission's take-off rating, 100 % torque in the flight model (its hover takes about 640 hp), or
// the power the running engines have (`power_available`) where that is less, as with one engine out.
constexpr double kPowerLimitHp = 1100;
// Past the power limit the collective modes descend by what the power short costs: the energy balance of the
// aircraft's weight (5,401 lb: 33,000 ft lbf/min per hp over it), and while the rotor speed droops below
// kRotorDroopPercent (the engines at their power available cannot hold it) by this much per per cent of droop, so
// that the collective comes down until the engines hold the rotor again.
constexpr double kClimbFpmPerHp = 33000.0 / 5401.0;
constexpr double kRotorDroopPercent = 98;
constexpr double kDroopClimbFpmPerPercent = 100;
// The limit is left once the shaft takes this much less and the rotor turns this much faster again.
constexpr double kPowerLimitBandHp = 10;
constexpr double kRotorDroopBandPercent = 1;
// A droop counts only with the shaft within this of the limit: far from it the rotor droops for a moment after a
// quick rise of the collective while the engines' power catches up (their lag), which is no limit.
constexpr double kDroopNearLimitHp = 30;
// The rotor: with both engines out, or the rotor speed below this, the collective is the pilot's alone to keep
// the rotor turning (lowered at once into an autorotation, FAA Helicopter Flying Handbook, FAA-H-8083-21B,
// ch. 11): every collective mode lets go of it at once and the caution says why (`rotor`). 95 % is the flight
// model's low-rotor caution: a governed rotor stays within a per cent or two of 100 %.
constexpr double kRotorLowPercent = 95;
// ... and is free of it again only with an engine running and the rotor back at this speed, so that a rotor
// hovering at the threshold does not hand the collective to and fro; even then the mode that let go takes it
// back only when engaged anew (engine/autopilot.cpp).
constexpr double kRotorRecoveredPercent = 98;
// A mode that sits at one of its limits this long is reported (the engine's caution).
constexpr double kCautionAfterSeconds = 2;
// The attitude loops overshoot a command that stops moving by up to half a degree on our model (measured by
// tests/scenarios/both/heading-both-ways.txt): the attitudes commanded stay this far inside the limits.
constexpr double kAttitudeOvershootDeg = 1;
// How fast a commanded attitude may move, degrees per second (FAA-H-8083-4: a standard-rate roll-in takes a
// few seconds); in the hover the speed loops need the attitude sooner.
constexpr double kPitchReferenceRate = 3;
constexpr double kRollReferenceRate = 3;
constexpr double kHoverReferenceRate = 10;
// How fast a commanded climb rate may move, ft/min per second: 1000 ft/min in two seconds.
constexpr double kClimbCommandRate = 500;
// The lowest radar height any mode flies to, whatever its reference says (the hover height reference reads 0
// until the pilot sets it): above the 2 to 5 ft of a hover by hand (FAA-H-8083-21B, ch. 9), so that the skids
// never meet the ground under the autopilot.
constexpr double kLeastHoverHeightFt = 10;
// Approaching that floor a descent is braked at this vertical deceleration (0.1 g), so that it ends at the
// floor whatever the mode commanded.
constexpr double kGroundBrakingFps2 = 3.2;

// ---- the engine's share of each control's travel, each way: full, as a parallel trim actuator has, so that
//      the transitions can fly from cruise to the hover; the control's stops limit it further ----
constexpr double kCyclicAuthority = 1.0;
constexpr double kPedalAuthority = 1.0;
constexpr double kCollectiveAuthority = 1.0;

// ---- inner loops, a cascade per axis: attitude (or heading, sideslip) -> rate command -> share; tuned. The
//      rate loops are proportional; the attitude loops' integrators trim out what the rate loops leave. ----
constexpr double kPitchRateGain = 0.040;  // share per deg/s of pitch-rate error
constexpr PidGains kPitchRateLoop{kPitchRateGain, 0, 0, 0};
constexpr PidGains kPitchAttitudeLoop{0.75, 0.25, 0, kCyclicAuthority / kPitchRateGain};  // deg/s per deg
constexpr double kRollRateGain = 0.010;
constexpr PidGains kRollRateLoop{kRollRateGain, 0, 0, 0};
constexpr PidGains kRollAttitudeLoop{2.0, 0.6, 0, kCyclicAuthority / kRollRateGain};
constexpr double kYawRateGain = 0.020;
constexpr PidGains kYawRateLoop{kYawRateGain, 0, 0, 0};
constexpr PidGains kHeadingHoldLoop{1.0, 0.4, 0, kPedalAuthority / kYawRateGain};  // in hover and at low speed
constexpr PidGains kSideslipLoop{0.2, 0.1, 0, kPedalAuthority / kYawRateGain};     // turn coordination
constexpr double kCoordinatedAboveKt = 40;  // pedals coordinate the turn above this airspeed, else hold heading
// Collective: the climb-rate loop, share per ft/min.
constexpr PidGains kClimbLoop{0.00020, 0.00010, 0, kCollectiveAuthority};
// The pilot's hand on a control: the attitude follows the aircraft while the stick moves and this long after.
constexpr double kPilotSyncSeconds = 1.0;
constexpr double kPilotMoveThreshold = 1e-4;  // of the travel, per step
// A beep-trim step (the panel's 0.15, trim_commands.cpp) moves the attitude reference half a degree.
constexpr double kBeepStep = 0.15;
constexpr double kBeepDegreesPerUnit = 0.5 / kBeepStep;
constexpr double kLargestBeep = kBeepStep;  // larger inputs are hover speeds, never beeps

// ---- height holds: an exponential onto the reference, climb = error / time constant (P loops, ft/min per ft)
constexpr double kAltitudeTimeConstant = 5;  // ALT, and the ALT.A capture (altitude-acquire laws use 5 to 8 s)
constexpr PidGains kAltitudeHold{60.0 / kAltitudeTimeConstant, 0, 0, 0};
constexpr double kAltitudeHoldLimitFpm = 1000;
constexpr double kRadarHeightTimeConstant = 5;  // CR.HT, HHT, the transitions' height
constexpr PidGains kRadarHeightHold{60.0 / kRadarHeightTimeConstant, 0, 0, 0};
constexpr double kRadarHeightLimitFpm = 800;
constexpr double kHoverHeightLimitFpm = 500;  // HHT in the hover

// ---- captures: the altitude acquire starts inside a lead of the climb; the localizer between 1 and 2 dots, the
//      glide slope within a third of a dot after it (operators' AFCS descriptions) ----
constexpr double kAltitudeCaptureLead = 6;             // s of the present climb toward the selected altitude
constexpr double kAltitudeCaptureBandFt = 25;          // the least distance at which a capture starts...
constexpr double kAltitudeCaptureLeastClimbFpm = 100;  // ...when flying toward it at least this fast
constexpr double kLocalizerCaptureDots = 1.5;          // between 1 and 2 dots
constexpr double kVorCaptureDots = 1.5;
constexpr double kVorLeastDistanceNm = 0.5;      // over the station the needle means nothing
constexpr double kGlideSlopeCaptureDots = 0.33;  // a third of a dot
// The coupled glide slope ends at a category I decision height (ICAO Annex 6; FAA AIM 1-1-9: 200 ft), levelling
// off there in ALT unless the pilot goes around or takes over; the level-off starts this many seconds of the
// present descent above it, as the altitude acquire does.
constexpr double kDecisionHeightFt = 200;

// ---- heading and course modes; tuned ----
// HDG: degrees of bank per degree of heading error, and an integral that takes out the steady error (the bank a
// single-rotor helicopter needs to fly straight with the ball centred).
constexpr PidGains kHeadingBankLoop{1.5, 0.08, 0, 5};
constexpr double kTrackBankGain = 1.5;  // degrees of bank per degree of track error
constexpr PidGains kTrackBankLoop{kTrackBankGain, 0.08, 0, 5};
// Course modes: the intercept angle from the distance off the course, with an integral for the wind.
constexpr double kInterceptLimitDeg = 30;
constexpr PidGains kInterceptLoop{0.02, 0.0005, 0, kInterceptLimitDeg / 2};  // deg per ft, deg per ft s
// The receivers' geometry, from the navigation world (flight/world.h, the standard geometry of FAA AIM 1-1-9):
// the needles' full scale (2 dots each side), and the distances from the threshold to the antennas.
constexpr double kLocalizerFullScaleDeg = flight::receivers::kLocalizerHalfWidthDeg;
constexpr double kVorFullScaleDeg = flight::receivers::kVorHalfWidthDeg;
constexpr double kLocalizerBeyondThresholdFt = flight::kAirport.runway.length_ft + flight::kAirport.localizer_beyond_stop_end_ft;
constexpr double kGlideSlopeDeg = flight::kAirport.glide_slope_deg;
constexpr double kGlideSlopeFullScaleDeg = flight::receivers::kGlideSlopeHalfWidthDeg;
constexpr double kGlideSlopePastThresholdFt = flight::kAirport.glide_slope_past_threshold_ft;
constexpr double kGlideSlopeLeastDistanceFt = 500;  // nearer the antenna the angle means nothing
// Below this ground speed the track means nothing: the heading stands for it.
constexpr double kGroundTrackLeastKt = 5;

// ---- airspeed (IAS) and ground speed (hover, transitions) on the pitch attitude; tuned ----
constexpr double kAirspeedSlewKtPerS = 1.5;  // how fast the IAS target moves to a new reference
constexpr double kStopMargin = 0.02;         // of the travel: a control this near its stop counts as at it
constexpr PidGains kSpeedPitchLoop{0.6, 0.06, 0, kPitchLimitDeg};  // deg per kt too fast, deg per kt s
constexpr PidGains kHoverSpeedPitchLoop{1.0, 0.08, 0, kPitchLimitSlowDeg};
constexpr PidGains kHoverSpeedBankLoop{1.0, 0.08, 0, kBankLimitHoverDeg};  // deg of bank per kt of lateral speed
// The hover position: the ground speed that flies back to the point, knots per foot off it, and never faster
// than this (never backwards faster than 5 kt to regain a point).
constexpr PidGains kHoverPositionLoop{0.08, 0, 0, 0};
constexpr double kHoverReturnLimitKt = 3;
constexpr double kHoverSettingDeadbandFps = 0.05;  // a hover speed setting this small is none

// ---- hover from forward flight, transitions and go-around (operators' accounts: transitions down
//      lead to 5 to 10 kt before the hover engages; transitions up climb at 500 to 600 ft/min to about 70 kt) ----
// HOV above hover speeds: the ground speed target runs down along the heading at this rate (inside the pitch
// limit on our model), and the point where it comes to rest is held.
constexpr double kHoverDecelKtPerS = 1.5;
// TDN: at most this deceleration, and slower where the height to lose needs it: the descent is at its limit down
// to kTransitionDownSlowingKt and dies away with the speed below it (half the limit at 20 kt), so that height and
// speed run out together; never faster than 300 ft/min below 20 kt airspeed, the vortex-ring entry of
// FAA-H-8083-21B, ch. 11.
constexpr double kTransitionDownDecelKtPerS = 1.0;
constexpr double kTransitionDownMaxDescentFpm = 500;
constexpr double kTransitionDownSlowingKt = 40;
// The descents planned and commanded stay below those limits by the climb-rate loop's overshoot (about 20 ft/min
// on our model, measured by tests/scenarios/both/transition-down-limits.txt).
constexpr double kClimbLoopOvershootFpm = 50;
constexpr double kVortexRingAirspeedKt = 20;
constexpr double kVortexRingDescentFpm = 300;
constexpr double kHoverEntryKt = 5;             // TDN hands over to HOV below this ground speed...
constexpr double kHoverEntryBandFt = 15;        // ...within this of the hover height
constexpr double kTransitionDownLowestKt = 20;  // a transition down starts from forward flight above this
constexpr double kTransitionUpAccelKtPerS = 1.5;
constexpr double kTransitionUpSpeedKt = 70;
constexpr double kTransitionUpClimbFpm = 500;
// The go-around presets are the panel's (frame/simulator.h): ft/min and knots.
constexpr double kGoAroundClimbFpm = afcp::go_around_preset::first;
constexpr double kGoAroundAirspeedKt = afcp::go_around_preset::second;
// The IAS range is the panel's selector's (frame/units.h).
constexpr double kIasLowestKt = afcp::units::airspeed_min, kIasHighestKt = afcp::units::airspeed_max;

// ---- physics and units ----
constexpr double kGravityFps2 = flight::units::kStandardGravityFps2;
constexpr double kFpmPerKnotPerRadian =
    flight::units::kFeetPerSecondPerKnot * 60;  // ft/min per knot per radian of path

}  // namespace autopilot::gains
