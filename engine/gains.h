// Every gain, limit and time constant of the engine's control laws, named once, with where it comes from.
//
// Units: a control share is a fraction of the control's travel (collective 0..1, cyclic and pedals -1..1);
// angles in degrees, rates in degrees per second, speeds in knots, vertical speeds in feet per minute, heights
// in feet, times in seconds. Gains marked "tuned" were set on our flight model (flight/) by the closed-loop
// scenarios in tests/flight_scenarios/, which hold them to their tolerances.
#pragma once

#include "flight/units.h"

namespace autopilot::gains {

// ---- limits (FLIGHT.md "Typical limits", from the FAA Helicopter Instrument Flying Handbook, FAA-H-8083-4,
//      and operators' AFCS descriptions) ----
constexpr double kPitchLimitDeg = 15;       // attitude the upper modes may command, nose up or down
constexpr double kBankLimitDeg = 20;        // heading and course modes (standard-rate turns need 15 to 20)
constexpr double kBankLimitHoverDeg = 10;   // hover and transitions
constexpr double kVerticalSpeedLimitFpm = 1500;
// The engine's share of each control's travel, each way: full, as a parallel trim actuator has, so that the
// transitions can fly from cruise to the hover; the control's stops limit it further.
constexpr double kCyclicAuthority = 1.0;
constexpr double kPedalAuthority = 1.0;
constexpr double kCollectiveAuthority = 1.0;
// The main rotor's power the collective modes do not exceed (a light twin's take-off rating; tuned to our
// model's power curve, whose hover out of ground effect needs about 700 hp).
constexpr double kPowerLimitHp = 1100;
// Airspeeds the IAS mode flies: outside them the reference is not flown (the panel's own IAS knob range).
constexpr double kIasLowestKt = 40, kIasHighestKt = 160;

// ---- inner loops: rate damping (STAB) and attitude hold (ATT); tuned ----
constexpr double kPitchAttitudeGain = 0.030;  // share per degree of pitch error
constexpr double kPitchRateGain = 0.040;      // share per degree per second
constexpr double kPitchIntegralGain = 0.010;  // share per degree second
constexpr double kRollAttitudeGain = 0.020;
constexpr double kRollRateGain = 0.010;
constexpr double kRollIntegralGain = 0.006;
constexpr double kYawRateGain = 0.020;        // share per degree per second
constexpr double kHeadingHoldGain = 0.020;    // share per degree, in hover and at low speed
constexpr double kHeadingIntegralGain = 0.008;
constexpr double kSideslipGain = 0.004;       // share per degree, turn coordination in forward flight
constexpr double kSideslipIntegralGain = 0.002;
constexpr double kCoordinatedAboveKt = 40;    // pedals coordinate the turn above this airspeed, else hold heading
// The inner loops' gains are halved at this airspeed and fall with its square above (a schedule on the dynamic
// pressure, as AFCS gains usually are); tuned.
constexpr double kGainScheduleKt = 1e9;
// The pilot's hand on a control: the attitude follows the aircraft while the stick moves and this long after.
constexpr double kPilotSyncSeconds = 1.0;
constexpr double kPilotMoveThreshold = 1e-4;  // of the travel, per step
// A beep-trim step of 0.15 (the panel's) moves the attitude reference half a degree.
constexpr double kBeepDegreesPerUnit = 0.5 / 0.15;
constexpr double kLargestBeep = 0.15;  // larger inputs are hover speeds, never beeps
// How fast the attitude reference may move when an upper mode commands it, degrees per second (FAA-H-8083-4:
// a standard-rate roll-in takes a few seconds).
constexpr double kPitchReferenceRate = 3;
constexpr double kRollReferenceRate = 3;
constexpr double kHoverReferenceRate = 10;  // in the hover the speed loops need the attitude at once

// ---- collective: vertical speed loop; tuned ----
constexpr double kClimbGain = 0.00020;          // share per ft/min of climb error
constexpr double kClimbIntegralGain = 0.00010;  // share per ft/min second
// Height holds fly an exponential onto their reference: climb = error / time constant.
constexpr double kAltitudeTimeConstant = 5;      // ALT, and the ALT.A capture (FLIGHT.md: 5 to 8 s)
constexpr double kAltitudeHoldLimitFpm = 1000;
constexpr double kRadarHeightTimeConstant = 5;   // CR.HT, HHT
constexpr double kRadarHeightLimitFpm = 800;

// ---- captures (FLIGHT.md "Capture logic") ----
constexpr double kAltitudeCaptureLead = 6;          // s of the present climb: start the capture inside it
constexpr double kAltitudeCaptureBandFt = 25;       // or inside this band whatever the climb
constexpr double kLocalizerCaptureDots = 1.5;       // between 1 and 2 dots
constexpr double kVorCaptureDots = 1.5;
constexpr double kGlideSlopeCaptureDots = 0.33;     // a third of a dot

// ---- heading and course modes; tuned ----
constexpr double kHeadingBankGain = 1.5;  // degrees of bank per degree of heading error
constexpr double kTrackBankGain = 1.5;    // per degree of track error
constexpr double kInterceptDegPerFt = 0.02;  // intercept angle per foot off the course
constexpr double kInterceptLimitDeg = 30;
constexpr double kCourseIntegralGain = 0.0005;  // degrees of track per foot second off the course (wind)
constexpr double kLocalizerFullScaleDeg = 2.5;  // the needle's full scale (2 dots), FAA AIM 1-1-9
constexpr double kVorFullScaleDeg = 10;
constexpr double kLocalizerBeyondThresholdFt = 7000;  // to the antenna: a standard runway and 1000 ft
constexpr double kGlideSlopeDeg = 3;
constexpr double kGlideSlopeFullScaleDeg = 0.7;
constexpr double kGlideSlopePastThresholdFt = 1000;

// ---- airspeed (IAS) and ground speed (hover, transitions) on the pitch attitude; tuned ----
constexpr double kAirspeedSlewKtPerS = 1.5;      // how fast the IAS target moves to a new reference
constexpr double kStopMargin = 0.02;              // of the travel: integrators stop winding this near a stop
constexpr double kSpeedPitchGain = 0.6;          // degrees of pitch per knot too fast
constexpr double kSpeedPitchIntegralGain = 0.06;  // degrees per knot second
constexpr double kHoverSpeedPitchGain = 1.0;     // degrees per knot of ground speed in hover
constexpr double kHoverSpeedIntegralGain = 0.08;
constexpr double kHoverPositionGain = 0.08;      // degrees per foot off the hover point
constexpr double kHoverSpeedBankGain = 1.0;      // degrees of bank per knot of lateral ground speed
constexpr double kHoverLateralIntegralGain = 0.08;

// ---- transitions and go-around (FLIGHT.md section 2: operators' accounts) ----
constexpr double kTransitionDownDecelKtPerS = 1.0;
constexpr double kTransitionDownMaxDescentFpm = 500;
constexpr double kHoverEntryKt = 5;          // TDN hands over to HOV below this ground speed...
constexpr double kHoverEntryBandFt = 15;     // ...within this of the hover height
constexpr double kTransitionDownLowestKt = 20;  // a transition down starts from forward flight above this
// The lowest height the hover and the transitions fly to, whatever the hover height reference says (it reads 0
// until the pilot sets it): above the 2 to 5 ft of a hover by hand (FAA-H-8083-21B, ch. 9), so that the skids
// never meet the ground under the autopilot.
constexpr double kLeastHoverHeightFt = 10;
constexpr double kTransitionUpAccelKtPerS = 1.5;
constexpr double kTransitionUpSpeedKt = 70;
constexpr double kTransitionUpClimbFpm = 500;

// ---- units (flight/units.h) ----
constexpr double kFpmPerKnotPerRadian = flight::units::kFeetPerSecondPerKnot * 60;  // ft/min per knot per radian of path

}  // namespace autopilot::gains
