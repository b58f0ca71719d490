// Rigid-body model referred to the motors.
// Cylindrical robot: phi1 = x0/u1 (arm angle from the horizontal), r = x1/u2 (radius of the
// work), d = r - (L/2 + wc) (radius of the arm's centre of mass), w1 = x2/u1, vr = x3/u2:
//   M11 = (IG_arm + IGw + m_arm d^2 + mw r^2) / u1^2, M22 = (m_arm + mw) / u2^2, M12 = M21 = 0
//   C1 = 2 (m_arm d + mw r) w1 vr / u1,             C2 = -(m_arm d + mw r) w1^2 / u2
//   G1 = (m_arm d + mw r) g cos(phi1) / u1,          G2 = (m_arm + mw) g sin(phi1) / u2
// SCARA: q1 = x0/u1, q2 = x1/u2, w1 = x2/u1, w2 = x3/u2, lw = L2 + wc:
//   J22 = m2 lc2^2 + IG2 + IGw + mw lw^2
//   J12 = J22 + (m2 lc2 + mw lw) L1 cos q2
//   J11 = J12 + m1 lc1^2 + IG1 + m2 L1 (L1 + lc2 cos q2) + mw L1 (L1 + lw cos q2)
//   M11 = J11/u1^2, M12 = M21 = J12/(u1 u2), M22 = J22/u2^2
//   hc = (m2 lc2 + mw lw) L1 sin q2: C1 = -hc (2 w1 w2 + w2^2) / u1, C2 = hc w1^2 / u2
//   G1 = [m1 lc1 cos q1 + m2 (L1 cos q1 + lc2 cos(q1+q2)) + mw (L1 cos q1 + lw cos(q1+q2))] g/u1
//   G2 = (m2 lc2 + mw lw) g cos(q1+q2) / u2
#include "sim/dynamics.h"

#include "model/parameters.h"
#include "planning/reference.h"
#include "sim/controller.h"
#include "sim/gear.h"

#include <cmath>

namespace robosim {

//------------------------------------------------------------------ model

void inertia_matrix(const ParameterSet& ps, int robot_type, const double x[6], double M[4]) {
    const double mw = ps.settings.mw;
    const double IGw = ps.model.IGw;
    if (robot_type == 'b') {
        const RobotSettings& ss = ps.settings.scara;
        const RobotModel& sm = ps.model.scara;
        const double q2 = x[1] / ss.u2;
        const double lw = scara_L2w(ps.settings);
        const double c2 = std::cos(q2);
        const double J22 = sm.m2 * sm.lc2 * sm.lc2 + sm.IG2 + IGw + mw * lw * lw;
        const double J12 = J22 + (sm.m2 * sm.lc2 + mw * lw) * ss.L1 * c2;
        const double J11 = J12 + sm.m1 * sm.lc1 * sm.lc1 + sm.IG1
                           + sm.m2 * ss.L1 * (ss.L1 + sm.lc2 * c2) + mw * ss.L1 * (ss.L1 + lw * c2);
        M[0] = J11 / (ss.u1 * ss.u1);
        M[1] = J12 / (ss.u1 * ss.u2);
        M[2] = M[1];
        M[3] = J22 / (ss.u2 * ss.u2);
    } else {
        const RobotSettings& cs = ps.settings.cyl;
        const RobotModel& cm = ps.model.cyl;
        const double r = x[1] / cs.u2;
        const double d = r - (cs.L / 2.0 + ps.settings.wc);
        M[0] = (cm.IG_arm + IGw + cm.m_arm * d * d + mw * r * r) / (cs.u1 * cs.u1);
        M[1] = 0.0;
        M[2] = 0.0;
        M[3] = (cm.m_arm + mw) / (cs.u2 * cs.u2);
    }
}

double coriolis_torque(const ParameterSet& ps, int robot_type, int joint, const double x[6]) {
    const double mw = ps.settings.mw;
    if (robot_type == 'b') {
        const RobotSettings& ss = ps.settings.scara;
        const RobotModel& sm = ps.model.scara;
        const double q2 = x[1] / ss.u2;
        const double w1 = x[2] / ss.u1;
        const double w2 = x[3] / ss.u2;
        const double lw = scara_L2w(ps.settings);
        const double hc = (sm.m2 * sm.lc2 + mw * lw) * ss.L1 * std::sin(q2);
        if (joint == 0) {
            return -hc * (2.0 * w1 * w2 + w2 * w2) / ss.u1;
        }
        return hc * w1 * w1 / ss.u2;
    }
    const RobotSettings& cs = ps.settings.cyl;
    const RobotModel& cm = ps.model.cyl;
    const double r = x[1] / cs.u2;
    const double d = r - (cs.L / 2.0 + ps.settings.wc);
    const double w1 = x[2] / cs.u1;
    const double vr = x[3] / cs.u2;
    const double moment = cm.m_arm * d + mw * r;  // first moment of arm and work about the axis
    if (joint == 0) {
        return 2.0 * moment * w1 * vr / cs.u1;
    }
    return -moment * w1 * w1 / cs.u2;
}

double gravity_torque(const ParameterSet& ps, int robot_type, int joint, const double x[6]) {
    const double mw = ps.settings.mw;
    const double g = GRAVITY_ACCEL;
    if (robot_type == 'b') {
        const RobotSettings& ss = ps.settings.scara;
        const RobotModel& sm = ps.model.scara;
        const double q1 = x[0] / ss.u1;
        const double q2 = x[1] / ss.u2;
        const double lw = scara_L2w(ps.settings);
        const double c1 = std::cos(q1);
        const double c12 = std::cos(q1 + q2);
        if (joint == 0) {
            return (sm.m1 * sm.lc1 * c1 + sm.m2 * (ss.L1 * c1 + sm.lc2 * c12)
                    + mw * (ss.L1 * c1 + lw * c12))
                   * g / ss.u1;
        }
        return (sm.m2 * sm.lc2 + mw * lw) * g * c12 / ss.u2;
    }
    const RobotSettings& cs = ps.settings.cyl;
    const RobotModel& cm = ps.model.cyl;
    const double phi1 = x[0] / cs.u1;
    const double r = x[1] / cs.u2;
    const double d = r - (cs.L / 2.0 + ps.settings.wc);
    if (joint == 0) {
        return (cm.m_arm * d + mw * r) * g * std::cos(phi1) / cs.u1;
    }
    return (cm.m_arm + mw) * g * std::sin(phi1) / cs.u2;
}

//------------------------------------------------------------------ state equation

// motor acceleration of joint j of the cylindrical robot, the joints solved one at a time
static double cylindrical_accel(const ParameterSet& ps, ReferenceRun* run, int robot_type, int j,
                                double t, const double x[6], double step) {
    const RobotSettings& cs = ps.settings.cyl;
    const RobotModel& cm = ps.model.cyl;
    const double tau = control_torque(ps, run, j, t, x);
    double M[4];
    inertia_matrix(ps, robot_type, x, M);
    const double C = coriolis_torque(ps, robot_type, j, x);
    const double G = ps.settings.gravity == 'g' ? gravity_torque(ps, robot_type, j, x) : 0.0;
    const double h = C + G;
    const double eta_f = j == 0 ? cs.eta_fwd1 : cs.eta_fwd2;
    const double eta_r = j == 0 ? cm.eta_rev1 : cm.eta_rev2;
    const double IM = j == 0 ? cm.IM1 : cm.IM2;
    double tau_inertia = 0.0;
    double tau_friction = 0.0;
    return joint_accel_single(j, x[2 + j], tau, h, eta_f, eta_r, IM, M, step, &tau_inertia,
                              &tau_friction);
}

// motor accelerations of both SCARA joints, solved together through the coupled gears
static void scara_accel(const ParameterSet& ps, ReferenceRun* run, int robot_type, double t,
                        const double x[6], double step, double a[2]) {
    const RobotModel& sm = ps.model.scara;
    // the order of these calls is part of the reference generator's contract (prev_phi)
    const double tau[2] = {control_torque(ps, run, 0, t, x), control_torque(ps, run, 1, t, x)};
    double M[4];
    inertia_matrix(ps, robot_type, x, M);
    double G[2] = {0.0, 0.0};
    if (ps.settings.gravity == 'g') {
        G[0] = gravity_torque(ps, robot_type, 0, x);
        G[1] = gravity_torque(ps, robot_type, 1, x);
    }
    const double C[2] = {coriolis_torque(ps, robot_type, 0, x),
                         coriolis_torque(ps, robot_type, 1, x)};
    const double h[2] = {C[0] + G[0], C[1] + G[1]};
    const double v[2] = {x[2], x[3]};
    double tau_inertia[2];
    double tau_friction[2];
    joint_accel_pair(v, tau, h, sm.eta, sm.IM, M, step, a, tau_inertia, tau_friction);
}

double state_derivative(const ParameterSet& ps, ReferenceRun* run, int i, double t,
                        const double x[6], double step) {
    const int robot_type = ps.settings.robot_type;
    switch (i) {
        case 0:
            return x[2];
        case 1:
            return x[3];
        case 2:
        case 3: {
            // computed afresh for each element: nothing is cached between i = 2 and i = 3
            if (robot_type != 'b') {
                return cylindrical_accel(ps, run, robot_type, i - 2, t, x, step);
            }
            double a[2];
            scara_accel(ps, run, robot_type, t, x, step, a);
            return a[i - 2];
        }
        case 4:
        case 5: {
            double theta_ref[2];
            double omega_ref[2];
            reference_at(ps, run, robot_type, ps.settings.motion, ps.settings.cp, t, theta_ref,
                         omega_ref);
            return theta_ref[i - 4] - x[i - 4];
        }
        default:
            return 0.0;  // the state has six elements: any other has no motion
    }
}

}  // namespace robosim
