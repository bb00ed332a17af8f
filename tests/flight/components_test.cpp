// Each component of the flight model against figures worked by hand from the equations of Heffley & Mnich,
// "Minimum-Complexity Helicopter Simulation Math Model", NASA CR-177476 (1988), with the parameter set of
// flight/parameters.cpp, at sea level (rho = 0.0023769 slug/ft^3). A sign, a lost factor or a term counted twice
// moves each figure by far more than its tolerance.
#include <gtest/gtest.h>

#include <cmath>

#include "flight/atmosphere.h"
#include "flight/components.h"
#include "flight/helicopter.h"

namespace flight {
namespace {

constexpr double kRho = 0.0023769;

// A flow at sea level, high above the ground, level, with the given air velocity.
struct At {
    State state;
    Eigen::Matrix3d e2b = Eigen::Matrix3d::Identity();
    Eigen::Vector3d air = Eigen::Vector3d::Zero();
    double height = 5000;
    Flow flow() const { return Flow{state, e2b, air, kRho, height}; }
};

// Main rotor in hover, blade pitch 0.2 rad, inflow 30 ft/s, disc square to the shaft (a1 = b1 = 0):
//   Omega R = 385 rpm x 2 pi / 60 x 18 ft = 725.71 ft/s; rho a b c R (Omega R) / 4 = 204.92 lbf per ft/s;
//   w_b = 2/3 x 725.71 x (0.2 + 3/4 x -0.105) = 58.661 ft/s; T = (58.661 - 30) x 204.92 = 5873.4 lbf.
//   Force (T x 0.11, 0, -T): the shaft tilts it forward. Hub at (0.025, 0, -4.975) ft: pitching moment
//   z X - x Z = -4.975 x 646.07 + 0.025 x 5873.4 = -3067.4 ft lbf (nose down).
//   Power: induced T v_i = 176,201 ft lbf/s, profile 1/2 rho (cd0 b c R / 4) (Omega R)^3 = 89,936: 483.9 hp;
//   the torque (power / Omega) 6601.1 ft lbf yaws the nose right.
//   Inflow: dv_i/dt = 3/4 pi / R (T / (2 pi rho R^2) - v_i |v_i|) = 41.08 ft/s^2 (the thrust wants more inflow).
TEST(MainRotorComponent, HoverThrustForceMomentPowerAndInflow) {
    const Helicopter h;
    const MainRotor& mr = h.main_rotor();
    At at;
    at.state.inflow_main() = 30;
    BladeAngles blades;
    blades.collective = 0.2;
    const MainRotor::Result r = mr.evaluate(at.flow(), mr.at_density(kRho), blades);
    EXPECT_NEAR(r.thrust, 5873.4, 0.5);
    EXPECT_NEAR(r.ground_effect, 1.0, 1e-3);
    EXPECT_NEAR(r.load.force.x(), 0.11 * 5873.4, 0.1);
    EXPECT_NEAR(r.load.force.y(), 0, 1e-9);
    EXPECT_NEAR(r.load.force.z(), -5873.4, 0.5);
    EXPECT_NEAR(r.load.moment.x(), 0, 1e-6);
    EXPECT_NEAR(r.load.moment.y(), -3067.4, 0.5);
    EXPECT_NEAR(r.load.moment.z(), 6601.1, 1);
    EXPECT_NEAR(r.load.power / 550, 483.9, 0.1);
    EXPECT_NEAR(r.d_inflow, 41.08, 0.02);
}

// The induced velocity the hover settles to: momentum theory's T = 2 rho A v_i^2 with the blade-element thrust
// T = 204.92 (58.661 - v_i): v_i^2 + a v_i - a w_b = 0, a = 204.92 / (2 pi rho R^2) = 42.35 ft/s, so v_i =
// 32.979 ft/s and T = 5262.8 lbf (the rotor's ideal hover inflow of FLIGHT.md, about 33 ft/s).
TEST(MainRotorComponent, InflowSettlesWhereMomentumTheoryHoldsInHover) {
    const Helicopter h;
    const MainRotor& mr = h.main_rotor();
    At at;
    at.state.inflow_main() = 32.9793;
    BladeAngles blades;
    blades.collective = 0.2;
    const MainRotor::Result r = mr.evaluate(at.flow(), mr.at_density(kRho), blades);
    EXPECT_NEAR(r.d_inflow, 0, 0.01);
    EXPECT_NEAR(r.thrust, 5262.8, 0.5);
}

// Flapping: the disc tilted aft by a1 = 0.05 rad, with a blade pitch of -3/4 twist so that w_b = 0 and the
// rotor makes no thrust. The hinge offset's stiffness b/2 x 3/2 I_b e/R Omega^2 = 2 x 1.5 x 212 x (0.5 / 18) x
// 40.317^2 = 28,717 ft lbf/rad and the cross stiffness rho a b c R (Omega R)^2 e / 12 = 0.0023769 x 6 x 4 x
// 1.1 x 18 x 725.71^2 x 0.5 / 12 = 24,786 ft lbf/rad give M = 28,717 a1 - 24,786 K1 a1 = 1316.9 ft lbf (nose
// up) and L = 24,786 a1 = 1239.3 ft lbf.
TEST(MainRotorComponent, HubMomentsOfATiltedDisc) {
    const Helicopter h;
    const MainRotor& mr = h.main_rotor();
    At at;
    at.state.a1() = 0.05;
    BladeAngles blades;
    blades.collective = -0.75 * default_parameters().main_rotor.twist_rad;
    const MainRotor::Result r = mr.evaluate(at.flow(), mr.at_density(kRho), blades);
    EXPECT_NEAR(r.thrust, 0, 1e-6);
    EXPECT_NEAR(r.load.moment.y(), 1316.9, 0.2);
    EXPECT_NEAR(r.load.moment.x(), 1239.3, 0.2);
}

// Tail rotor in hover, pitch 0.3 rad, inflow 40 ft/s: Omega R = 2080 rpm x 2 pi / 60 x 3.1 = 675.23 ft/s,
// coef = rho a b c R (Omega R) / 4 = 4.8697; w_b = 2/3 x 675.23 x (0.3 + 3/4 x -0.137) = 88.793;
// T = (88.793 - 40) x 4.8697 = 237.61 lbf, to the right. Hub at (-21.525, 0, -2.625) ft: roll 2.625 T =
// 623.7 ft lbf, yaw -21.525 T = -5114.5 ft lbf (nose left, against the main rotor's torque).
// Power T v_i + profile = 9504 + 3700 ft lbf/s = 24.01 hp.
TEST(TailRotorComponent, HoverThrustMomentsAndPower) {
    const Helicopter h;
    const TailRotor& tr = h.tail_rotor();
    At at;
    at.state.inflow_tail() = 40;
    const TailRotor::Result r = tr.evaluate(at.flow(), tr.at_density(kRho), 0.3);
    EXPECT_NEAR(r.thrust, 237.61, 0.05);
    EXPECT_NEAR(r.load.force.y(), 237.61, 0.05);
    EXPECT_NEAR(r.load.moment.x(), 623.7, 0.2);
    EXPECT_NEAR(r.load.moment.y(), 0, 1e-9);
    EXPECT_NEAR(r.load.moment.z(), -5114.5, 1);
    EXPECT_NEAR(r.load.power / 550, 24.01, 0.01);
}

// The tail rotor's disc moves with the body: yawing right at 0.5 rad/s swings the hub left at 21.525 x 0.5 =
// 10.76 ft/s, against its thrust, which the disc meets as a main rotor meets a descent: more thrust, by
// 10.76 x 4.8697 = 52.41 lbf, which yaws the nose back left (the tail rotor's yaw damping).
TEST(TailRotorComponent, YawRateReachesTheDisc) {
    const Helicopter h;
    const TailRotor& tr = h.tail_rotor();
    At still, yawing;
    still.state.inflow_tail() = yawing.state.inflow_tail() = 40;
    yawing.state.rates_body().z() = 0.5;
    const auto a = tr.at_density(kRho);
    EXPECT_NEAR(tr.evaluate(yawing.flow(), a, 0.3).thrust - tr.evaluate(still.flow(), a, 0.3).thrust, 52.41, 0.05);
}

// The rotors' power alone (what the instruments read between steps) is the power of their whole evaluation, to
// the last bit, in hover, in fast flight with the disc tilted and the body turning, at a slowed rotor.
TEST(RotorPower, ThePowerAloneIsTheWholeEvaluationsToTheLastBit) {
    const Helicopter h;
    const MainRotor& mr = h.main_rotor();
    const TailRotor& tr = h.tail_rotor();
    At hover, fast, slowed;
    hover.state.inflow_main() = 30;
    hover.state.inflow_tail() = 40;
    fast.air = Eigen::Vector3d(170, -8, 6);
    fast.state.rates_body() = Eigen::Vector3d(0.1, -0.2, 0.3);
    fast.state.a1() = 0.03;
    fast.state.b1() = -0.01;
    fast.state.inflow_main() = 9;
    fast.state.inflow_tail() = 15;
    slowed = fast;
    slowed.state.rotor_speed() = 0.85;
    BladeAngles blades;
    blades.collective = 0.2;
    blades.longitudinal = -0.02;
    blades.lateral = 0.01;
    const auto am = mr.at_density(kRho);
    const auto at = tr.at_density(kRho);
    for (const At* x : {&hover, &fast, &slowed}) {
        EXPECT_EQ(mr.power(x->flow(), am, blades), mr.evaluate(x->flow(), am, blades).load.power);
        EXPECT_EQ(tr.power(x->flow(), at, 0.3), tr.evaluate(x->flow(), at, 0.3).load.power);
    }
}

// Fuselage at 100 kt (168.78 ft/s) straight ahead, no downwash: X = 1/2 rho Xuu u|u| = 1/2 x 0.0023769 x
// -10.8 x 168.78^2 = -365.64 lbf; at the centre of pressure (FS 132, WL 38: 0.042 ft below the CG, 0.058 ft
// ahead) its pitching moment z X = -15.23 ft lbf. In a 20 ft/s sink with 10 ft/s of downwash: Z = 1/2 rho Zww
// |w - v_i| (w - v_i) = 1/2 x 0.0023769 x -85 x 10 x 10 = -10.10 lbf (the air from below pushes up).
TEST(FuselageComponent, DragAt100KnotsAndInTheDownwash) {
    const Fuselage fus(default_parameters());
    At at;
    at.air = Eigen::Vector3d(168.78, 0, 0);
    Load l = fus.evaluate(at.flow());
    EXPECT_NEAR(l.force.x(), -365.64, 0.05);
    EXPECT_NEAR(l.force.y(), 0, 1e-9);
    EXPECT_NEAR(l.force.z(), 0, 1e-9);
    EXPECT_NEAR(l.moment.y(), -15.23, 0.02);
    At sink;
    sink.air = Eigen::Vector3d(0, 0, 20);
    sink.state.inflow_main() = 10;
    l = fus.evaluate(sink.flow());
    EXPECT_NEAR(l.force.z(), -10.10, 0.01);
    // Sideways at 20 ft/s: Y = 1/2 rho Yvv v|v| = -79.39 lbf.
    At side;
    side.air = Eigen::Vector3d(0, 20, 0);
    EXPECT_NEAR(fus.evaluate(side.flow()).force.y(), -79.39, 0.01);
}

// Vertical tail in sideward flight, stalled (|v| > 0.3 |u|): Y = 1/2 rho Ymax sqrt(u^2 + v_vt^2) v_vt.
// u = 20, v = 30 ft/s: 1/2 x 0.0023769 x -17 x 36.056 x 30 = -21.854 lbf (counting v twice in the speed gave
// -28.43). At the fin (FS 380, WL 80: 20.608 ft aft, 3.458 ft up) it rolls left by 3.458 Y = -75.57 ft lbf and
// yaws the nose into the relative wind, -20.608 Y = +450.37 ft lbf. Straight sideways (u = 0): -18.183 lbf.
// Below the stall, u = 100, v = 10 ft/s: linear, 1/2 rho (Yuu u|u| + Yuv |u| v) = 1/2 x 0.0023769 x (3.3 x
// 10^4 - 47 x 1000) = -16.64 lbf.
TEST(VerticalTailComponent, SideForceInSidewardFlightAndBelowTheStall) {
    const VerticalTail vt(default_parameters());
    At at;
    at.air = Eigen::Vector3d(20, 30, 0);
    Load l = vt.evaluate(at.flow());
    EXPECT_NEAR(l.force.y(), -21.854, 0.005);
    EXPECT_NEAR(l.moment.x(), -75.57, 0.05);
    EXPECT_NEAR(l.moment.z(), 450.37, 0.1);
    at.air = Eigen::Vector3d(0, 30, 0);
    EXPECT_NEAR(vt.evaluate(at.flow()).force.y(), -18.183, 0.005);
    at.air = Eigen::Vector3d(100, 10, 0);
    EXPECT_NEAR(vt.evaluate(at.flow()).force.y(), -16.64, 0.01);
    // The tail rotor's wake on the fin counts as sideways speed: v_vt = v + v_i,tr.
    at.air = Eigen::Vector3d(100, 0, 0);
    at.state.inflow_tail() = 10;
    EXPECT_NEAR(vt.evaluate(at.flow()).force.y(), -16.64, 0.01);
}

// Horizontal tail at 100 kt, sinking 5 ft/s relative to the air with 10 ft/s of inflow: the wake passes above
// the tail (it meets the tail's height 125.9 ft behind the disc's trailing edge, beyond one radius: no
// downwash), so Z = 1/2 rho (Zuu u|u| + Zuw |u| w) = 0.0011885 x (0.4 x 28487 - 34 x 843.9) = -20.558 lbf, a
// lift; at FS 330 (16.442 ft aft of the CG) it pitches the nose down: M = -x Z = -338.0 ft lbf.
TEST(HorizontalTailComponent, LiftAt100KnotsOutsideTheWake) {
    const HorizontalTail ht(default_parameters());
    At at;
    at.air = Eigen::Vector3d(168.78, 0, 5);
    at.state.inflow_main() = 10;
    const Load l = ht.evaluate(at.flow());
    EXPECT_NEAR(l.force.z(), -20.558, 0.01);
    EXPECT_NEAR(l.moment.y(), -338.0, 0.2);
    // In the hover the tail sits in the wake: the triangular downwash at the tail's distance behind the disc's
    // trailing edge. At 5 ft/s forward, v_i 30: the wake meets the tail 5/30 x 3.683 + 1.533 = 2.147 ft aft of
    // the edge, eps = 2 (1 - 2.147 / 18) = 1.761, normal speed -52.84 ft/s: stalled, Z = 1/2 rho Zmax
    // sqrt(u^2 + w^2) w = 0.0011885 x -22 x 53.08 x -52.84 = +73.33 lbf (pushed down).
    At hover;
    hover.air = Eigen::Vector3d(5, 0, 0);
    hover.state.inflow_main() = 30;
    EXPECT_NEAR(ht.evaluate(hover.flow()).force.z(), 73.33, 0.02);
}

// Gravity: the weight along the earth's down, in body axes: banked 30 deg, pitched 10 deg up: W (-sin theta,
// sin phi cos theta, cos phi cos theta) = 5401 x (-0.17365, 0.49240, 0.85287).
TEST(GravityComponent, WeightInBodyAxes) {
    const Gravity g(default_parameters());
    At at;
    at.state.euler() = Eigen::Vector3d(30 * M_PI / 180, 10 * M_PI / 180, 1.0);
    at.e2b = earth_to_body(at.state.euler());
    const Load l = g.evaluate(at.flow());
    EXPECT_NEAR(l.force.x(), -937.87, 0.01);
    EXPECT_NEAR(l.force.y(), 2659.47, 0.01);
    EXPECT_NEAR(l.force.z(), 4606.34, 0.01);
    EXPECT_EQ(l.moment, Eigen::Vector3d::Zero());
}

// The skid gear: four springs of m w^2 / 4 (w = 16 rad/s) carry the weight at a deflection of g / w^2 =
// 0.1257 ft (1.51 in); at that deflection and at rest, their sum is the weight, straight up.
TEST(SkidGearComponent, CarriesTheWeightAtItsStaticDeflection) {
    const Helicopter h;
    const SkidGear& gear = h.gear();
    EXPECT_NEAR(gear.static_deflection() * 12, 1.508, 0.002);
    At at;
    const double skid_below = default_parameters().gear.skids[0].z();
    at.height = skid_below - gear.static_deflection();
    at.state.position_ned().z() = -at.height;  // ground at down = 0
    const SkidGear::Result r = gear.evaluate(at.flow(), 0.0, nullptr);
    EXPECT_TRUE(r.skid_contact);
    EXPECT_FALSE(r.structure_contact);
    EXPECT_NEAR(r.load.force.z(), -default_parameters().weight_lb, 1e-6);
    EXPECT_NEAR(r.load.force.head<2>().norm(), 0, 1e-9);
    EXPECT_NEAR(r.load.moment.norm(), 0, 1e-6);
    // Sinking at 1 ft/s adds the dampers: 2 zeta m w = 2 x 1.2 x 167.87 x 16 = 6446 lbf per ft/s.
    at.state.velocity_body().z() = 1;
    EXPECT_NEAR(gear.evaluate(at.flow(), 0.0, nullptr).load.force.z(), -5401 - 6446.3, 0.5);
    // Sliding forward at 5 ft/s, friction 0.5 of the normal force, backwards.
    at.state.velocity_body() = Eigen::Vector3d(5, 0, 0);
    EXPECT_NEAR(gear.evaluate(at.flow(), 0.0, nullptr).load.force.x(), -0.5 * 5401, 1e-6);
}

// The model sums the components: the body's accelerations are the loads' sum over the mass and inertia, the
// power both rotors' with the loss.
TEST(ComponentSum, TheRigidBodyTakesTheSumOfTheLoads) {
    const Helicopter h;
    State s;
    s.velocity_body() = Eigen::Vector3d(120, 8, 6);
    s.rates_body() = Eigen::Vector3d(0.1, -0.05, 0.2);
    s.euler() = Eigen::Vector3d(0.1, 0.05, 1);
    s.position_ned() = Eigen::Vector3d(0, 0, -2000);
    s.a1() = 0.02;
    s.inflow_main() = 12;
    s.inflow_tail() = 20;
    const Environment e;
    const Helicopter::Evaluation ev = h.evaluate(s, Controls{0.4, 0.1, -0.1, 0.2}, e);
    Load sum;
    for (const Load* l : {&ev.main_rotor, &ev.tail_rotor, &ev.fuselage, &ev.horizontal_tail, &ev.vertical_tail,
                          &ev.gear, &ev.gravity})
        sum += *l;
    const Eigen::Vector3d w = s.rates_body();
    const Eigen::Vector3d accel = sum.force / h.mass() - w.cross(Eigen::Vector3d(s.velocity_body()));
    EXPECT_LT((ev.derivative.velocity_body() - accel).norm(), 1e-9);
    const Parameters& p = default_parameters();
    Eigen::Matrix3d inertia;
    inertia << p.ix, 0, -p.ixz, 0, p.iy, 0, -p.ixz, 0, p.iz;
    EXPECT_LT((inertia * ev.derivative.rates_body() + w.cross(inertia * w) - sum.moment).norm(), 1e-6);
    EXPECT_NEAR(ev.power, ev.main_rotor.power + ev.tail_rotor.power + 90 * 550, 1e-6);
    EXPECT_GT(ev.tail_rotor.power, 0);
}

}  // namespace
}  // namespace flight
