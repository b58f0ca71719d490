// Derivation of the physical model from the user settings:
//   links:   tubes of density 7800 kg/m^3, cross-section 0.0975 * pi d^2 / 4, d a fixed fraction
//            of the length; inertia about the centre m L^2 / 12 (slender rod)
//   work:    block a x b with a = 0.1 mw^(1/3), b = 1.2 a; IGw = mw (a^2 + b^2) / 12
//   motors:  IM = 3e-9 PW^2, tau_m = 0.004 PW
//   gears:   worm gear, lead angle lambda = atan(1/u), friction angle
//            rho = atan(1/(u eta_fwd)) - lambda, eta_rev = u tan(lambda - rho)
//   gains:   (s + alpha)(s^2 + 2 zeta omega_n s + omega_n^2) on the nominal inertia JM
#include "model/derive.h"

#include "model/parameters.h"

#include <cmath>

namespace robosim {

//------------------------------------------------------------------ helpers

// whether a derivation has a robot record to work on: other types than 'a' and 'b' have no
// robot, and nothing is derived for them
static bool has_robot(int robot_type) {
    return robot_type == 'a' || robot_type == 'b';
}

// mass of a link tube of diameter d and length len (kg)
static double tube_mass(double d, double len) {
    return LINK_DENSITY * TUBE_FACTOR * PI * d * d * len / 4.0;
}

// eta_rev = u tan(lambda - rho), lambda = atan(1/u), rho = atan(1/(u eta_fwd)) - lambda
static double reverse_efficiency(double u, double eta_fwd) {
    const double lambda = std::atan(1.0 / u);                    // lead angle (rad)
    const double rho = std::atan(1.0 / (u * eta_fwd)) - lambda;  // friction angle (rad)
    return u * std::tan(lambda - rho);
}

//------------------------------------------------------------------ single derivations

void derive_arm(const Settings& s, DerivedModel& m, int robot_type) {
    if (robot_type == 'a') {
        const RobotSettings& rs = s.cyl;
        RobotModel& rm = m.cyl;
        rm.d = CYL_ARM_DIAMETER_RATIO * rs.L;
        rm.m_arm = tube_mass(rm.d, rs.L);
        rm.IG_arm = rm.m_arm * rs.L * rs.L / 12.0;
        rm.d3 = 3.0 * rm.d;
        rm.d2 = 2.0 * rm.d;
    } else if (robot_type == 'b') {
        const RobotSettings& rs = s.scara;
        RobotModel& rm = m.scara;
        rm.lc1 = rs.L1 / 2.0;
        rm.lc2 = rs.L2 / 2.0;
        rm.d1 = SCARA_LINK_DIAMETER_RATIO * rs.L1;
        rm.d2 = SCARA_LINK_DIAMETER_RATIO * rs.L2;
        rm.m1 = tube_mass(rm.d1, rs.L1);
        rm.IG1 = rm.m1 * rs.L1 * rs.L1 / 12.0;
        rm.m2 = tube_mass(rm.d2, rs.L2);
        rm.IG2 = rm.m2 * rs.L2 * rs.L2 / 12.0;
    }
}

void derive_work(DerivedModel& m, double mw) {
    // cube root rather than pow(mw, 1/3): exact for perfect cubes (8 kg gives 0.2 m)
    m.work_a = WORK_SIDE_PER_CBRT_MASS * std::cbrt(mw);
    m.work_b = WORK_SIDE_RATIO * m.work_a;
    m.IGw = mw * (m.work_a * m.work_a + m.work_b * m.work_b) / 12.0;
}

void derive_motor(const Settings& s, DerivedModel& m, int robot_type) {
    if (!has_robot(robot_type)) {
        return;
    }
    const RobotSettings& rs = robot_of(s, robot_type);
    RobotModel& rm = robot_of(m, robot_type);
    rm.IM1 = ROTOR_INERTIA_PER_W2 * rs.PW1 * rs.PW1;
    rm.IM2 = ROTOR_INERTIA_PER_W2 * rs.PW2 * rs.PW2;
    rm.tau_m1 = MAX_TORQUE_PER_W * rs.PW1;
    rm.tau_m2 = MAX_TORQUE_PER_W * rs.PW2;
    if (robot_type == 'b') {
        rm.IM[0] = rm.IM1;
        rm.IM[1] = rm.IM2;
    }
}

void derive_gear(const Settings& s, DerivedModel& m, int robot_type) {
    if (!has_robot(robot_type)) {
        return;
    }
    const RobotSettings& rs = robot_of(s, robot_type);
    RobotModel& rm = robot_of(m, robot_type);
    rm.eta_rev1 = reverse_efficiency(rs.u1, rs.eta_fwd1);
    rm.eta_rev2 = reverse_efficiency(rs.u2, rs.eta_fwd2);
    if (robot_type == 'b') {
        rm.eta[0] = rs.eta_fwd1;
        rm.eta[1] = rm.eta_rev1;
        rm.eta[2] = rs.eta_fwd2;
        rm.eta[3] = rm.eta_rev2;
    }
}

void derive_nominal_inertia(const Settings& s, DerivedModel& m, int robot_type) {
    const double mw = s.mw;
    const double IGw = m.IGw;
    if (robot_type == 'a') {
        const RobotSettings& cs = s.cyl;
        RobotModel& cm = m.cyl;
        // work at r = L/2 from the joint-1 axis, arm centre at r/2
        const double r = 0.5 * cs.L;
        const double J1 = (cm.IG_arm + IGw + cm.m_arm * r * r / 4.0 + mw * r * r) / (cs.u1 * cs.u1);
        cm.JM1 = J1 + cm.IM1;
        // the prismatic joint moves arm and work together
        const double J2 = (cm.m_arm + mw) / (cs.u2 * cs.u2);
        cm.JM2 = J2 + cm.IM2;
    } else if (robot_type == 'b') {
        const RobotSettings& ss = s.scara;
        RobotModel& sm = m.scara;
        // posture cos(phi2) = 0.5; a: joint 2 to the work
        const double a = scara_L2w(s);
        const double J22 = sm.m2 * sm.lc2 * sm.lc2 + sm.IG2 + IGw + mw * a * a;
        sm.JM2 = J22 / (ss.u2 * ss.u2) + sm.IM2;
        const double J12 = J22 + 0.5 * ss.L1 * (sm.m2 * sm.lc2 + mw * a);
        const double J11 = sm.m1 * sm.lc1 * sm.lc1 + sm.IG1 + sm.m2 * ss.L1 * (ss.L1 + 0.5 * sm.lc2)
                           + mw * ss.L1 * (ss.L1 + 0.5 * a) + J12;
        sm.JM1 = J11 / (ss.u1 * ss.u1) + sm.IM1;
    }
}

void derive_gains(const Settings& s, DerivedModel& m, int robot_type) {
    if (!has_robot(robot_type)) {
        return;
    }
    RobotModel& rm = robot_of(m, robot_type);
    // Kp = (wn^2 + 2 zeta wn alpha) JM, Kv = (2 zeta wn + alpha) JM, Ki = alpha wn^2 JM
    double wn = s.omega_n1, zeta = s.zeta1, alpha = s.alpha1;
    rm.Kp1 = (wn * wn + 2.0 * zeta * wn * alpha) * rm.JM1;
    rm.Kv1 = (2.0 * zeta * wn + alpha) * rm.JM1;
    rm.Ki1 = alpha * wn * wn * rm.JM1;
    wn = s.omega_n2;
    zeta = s.zeta2;
    alpha = s.alpha2;
    rm.Kp2 = (wn * wn + 2.0 * zeta * wn * alpha) * rm.JM2;
    rm.Kv2 = (2.0 * zeta * wn + alpha) * rm.JM2;
    rm.Ki2 = alpha * wn * wn * rm.JM2;
}

}  // namespace robosim
