// model/derive.h: the physical model derived from a robot's settings, and the update driver
#pragma once

#include "model/parameters.h"

namespace robosim {

//------------------------------------------------------------------ constants
constexpr double LINK_DENSITY = 7800.0;            // steel of the link tubes            (kg/m^3)
constexpr double TUBE_FACTOR = 0.0975;             // tube cross-section / full disc area (-)
constexpr double CYL_ARM_DIAMETER_RATIO = 0.1;     // cylindrical arm diameter / length  (-)
constexpr double SCARA_LINK_DIAMETER_RATIO = 0.2;  // SCARA link diameter / length     (-)
constexpr double WORK_SIDE_PER_CBRT_MASS = 0.1;  // work block side a per kg^(1/3)     (m/kg^(1/3))
constexpr double WORK_SIDE_RATIO = 1.2;          // work block side b / a              (-)
constexpr double ROTOR_INERTIA_PER_W2 = 3e-9;    // rotor inertia per power squared    (kg*m^2/W^2)
constexpr double MAX_TORQUE_PER_W = 0.004;       // maximum motor torque per power     (N*m/W)

//------------------------------------------------------------------ single derivations
// Each reads the settings s and writes the record of one robot type in the derived model m;
// it does nothing for a type other than 'a', 'b'.

// link data from the link lengths; reads cyl.L / scara.L1, L2;
// writes cyl.d, m_arm, IG_arm, d2, d3 / scara.lc1, lc2, d1, d2, m1, IG1, m2, IG2
void derive_arm(const Settings& s, DerivedModel& m, int robot_type);

// work block from its mass mw (kg); writes work_a, work_b, IGw
void derive_work(DerivedModel& m, double mw);

// rotor inertia and maximum torque from the motor powers; reads PW1, PW2;
// writes IM1, IM2, tau_m1, tau_m2 (for 'b' also scara.IM)
void derive_motor(const Settings& s, DerivedModel& m, int robot_type);

// reverse gear efficiencies of the worm-gear model; reads u1, u2, eta_fwd1, eta_fwd2;
// writes eta_rev1, eta_rev2 (for 'b' also scara.eta)
void derive_gear(const Settings& s, DerivedModel& m, int robot_type);

// nominal inertia seen by each motor in the mid-range posture; reads the link data, IGw, mw,
// wc, u1, u2, IM1, IM2; writes JM1, JM2
void derive_nominal_inertia(const Settings& s, DerivedModel& m, int robot_type);

// PID gains by pole placement on the nominal inertia; reads omega_n1, omega_n2, zeta1, zeta2,
// alpha1, alpha2, JM1, JM2; writes Kp1, Kv1, Ki1, Kp2, Kv2, Ki2
void derive_gains(const Settings& s, DerivedModel& m, int robot_type);

}  // namespace robosim
