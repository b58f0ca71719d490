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

//------------------------------------------------------------------ helpers

// the record a derivation works on: nullptr for a type other than 'a' and 'b'
static RobotRecord* derived_record(ParameterSet& ps, int robot_type) {
    if (robot_type == 'a') {
        return &ps.cyl;
    }
    if (robot_type == 'b') {
        return &ps.scara;
    }
    return nullptr;  // other types have no robot: nothing is derived
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

void derive_arm(ParameterSet& ps, int robot_type) {
    if (robot_type == 'a') {
        RobotRecord& r = ps.cyl;
        r.d = CYL_ARM_DIAMETER_RATIO * r.L;
        r.m_arm = tube_mass(r.d, r.L);
        r.IG_arm = r.m_arm * r.L * r.L / 12.0;
        r.d3 = 3.0 * r.d;
        r.d2 = 2.0 * r.d;
    } else if (robot_type == 'b') {
        RobotRecord& r = ps.scara;
        r.lc1 = r.L1 / 2.0;
        r.lc2 = r.L2 / 2.0;
        r.d1 = SCARA_LINK_DIAMETER_RATIO * r.L1;
        r.d2 = SCARA_LINK_DIAMETER_RATIO * r.L2;
        r.m1 = tube_mass(r.d1, r.L1);
        r.IG1 = r.m1 * r.L1 * r.L1 / 12.0;
        r.m2 = tube_mass(r.d2, r.L2);
        r.IG2 = r.m2 * r.L2 * r.L2 / 12.0;
    }
}

void derive_work(ParameterSet& ps, double mw) {
    // cube root rather than pow(mw, 1/3): exact for perfect cubes (8 kg gives 0.2 m)
    ps.work_a = WORK_SIDE_PER_CBRT_MASS * std::cbrt(mw);
    ps.work_b = WORK_SIDE_RATIO * ps.work_a;
    ps.IGw = mw * (ps.work_a * ps.work_a + ps.work_b * ps.work_b) / 12.0;
}

void derive_motor(ParameterSet& ps, int robot_type) {
    RobotRecord* r = derived_record(ps, robot_type);
    if (r == nullptr) {
        return;
    }
    r->IM1 = ROTOR_INERTIA_PER_W2 * r->PW1 * r->PW1;
    r->IM2 = ROTOR_INERTIA_PER_W2 * r->PW2 * r->PW2;
    r->tau_m1 = MAX_TORQUE_PER_W * r->PW1;
    r->tau_m2 = MAX_TORQUE_PER_W * r->PW2;
    if (robot_type == 'b') {
        r->IM[0] = r->IM1;
        r->IM[1] = r->IM2;
    }
}

void derive_gear(ParameterSet& ps, int robot_type) {
    RobotRecord* r = derived_record(ps, robot_type);
    if (r == nullptr) {
        return;
    }
    r->eta_rev1 = reverse_efficiency(r->u1, r->eta_fwd1);
    r->eta_rev2 = reverse_efficiency(r->u2, r->eta_fwd2);
    if (robot_type == 'b') {
        r->eta[0] = r->eta_fwd1;
        r->eta[1] = r->eta_rev1;
        r->eta[2] = r->eta_fwd2;
        r->eta[3] = r->eta_rev2;
    }
}

void derive_nominal_inertia(ParameterSet& ps, int robot_type) {
    const double mw = ps.mw;
    const double IGw = ps.IGw;
    if (robot_type == 'a') {
        RobotRecord& c = ps.cyl;
        // work at r = L/2 from the joint-1 axis, arm centre at r/2
        const double r = 0.5 * c.L;
        const double J1 = (c.IG_arm + IGw + c.m_arm * r * r / 4.0 + mw * r * r) / (c.u1 * c.u1);
        c.JM1 = J1 + c.IM1;
        // the prismatic joint moves arm and work together
        const double J2 = (c.m_arm + mw) / (c.u2 * c.u2);
        c.JM2 = J2 + c.IM2;
    } else if (robot_type == 'b') {
        RobotRecord& s = ps.scara;
        // posture cos(phi2) = 0.5; a: joint 2 to the work
        const double a = s.L2 + ps.wc;
        const double J22 = s.m2 * s.lc2 * s.lc2 + s.IG2 + IGw + mw * a * a;
        s.JM2 = J22 / (s.u2 * s.u2) + s.IM2;
        const double J12 = J22 + 0.5 * s.L1 * (s.m2 * s.lc2 + mw * a);
        const double J11 = s.m1 * s.lc1 * s.lc1 + s.IG1 + s.m2 * s.L1 * (s.L1 + 0.5 * s.lc2)
                           + mw * s.L1 * (s.L1 + 0.5 * a) + J12;
        s.JM1 = J11 / (s.u1 * s.u1) + s.IM1;
    }
}

void derive_gains(ParameterSet& ps, int robot_type) {
    RobotRecord* r = derived_record(ps, robot_type);
    if (r == nullptr) {
        return;
    }
    // Kp = (wn^2 + 2 zeta wn alpha) JM, Kv = (2 zeta wn + alpha) JM, Ki = alpha wn^2 JM
    double wn = ps.omega_n1, zeta = ps.zeta1, alpha = ps.alpha1;
    r->Kp1 = (wn * wn + 2.0 * zeta * wn * alpha) * r->JM1;
    r->Kv1 = (2.0 * zeta * wn + alpha) * r->JM1;
    r->Ki1 = alpha * wn * wn * r->JM1;
    wn = ps.omega_n2;
    zeta = ps.zeta2;
    alpha = ps.alpha2;
    r->Kp2 = (wn * wn + 2.0 * zeta * wn * alpha) * r->JM2;
    r->Kv2 = (2.0 * zeta * wn + alpha) * r->JM2;
    r->Ki2 = alpha * wn * wn * r->JM2;
}
