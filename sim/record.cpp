// Sample evaluation: the robot at one output sample, split into what the views and graphs show.
// The torques are evaluated afresh at the recorded state by the functions of the state equation,
// so that drive = inertia + Coriolis + gravity + friction holds in every record.
#include "model/parameters.h"
#include "planning/reference.h"
#include "sim/controller.h"
#include "sim/dynamics.h"
#include "sim/gear.h"
#include "sim/history.h"
#include "sim/simulate.h"

#include <cassert>
#include <cmath>

namespace robosim {

// work position (m) of the motor angles theta (rad): cylindrical (phi2 cos phi1, phi2 sin phi1),
// SCARA (L1 cos q1 + lw cos(q1+q2), L1 sin q1 + lw sin(q1+q2))
static void work_position(const ParameterSet& ps, int robot_type, const double theta[2],
                          double pos[2]) {
    if (robot_type == 'b') {
        const RobotSettings& ss = ps.settings.scara;
        const double q1 = theta[0] / ss.u1;
        const double q2 = theta[1] / ss.u2;
        const double lw = scara_L2w(ps.settings);
        pos[0] = ss.L1 * std::cos(q1) + lw * std::cos(q1 + q2);
        pos[1] = ss.L1 * std::sin(q1) + lw * std::sin(q1 + q2);
    } else {
        const RobotSettings& cs = ps.settings.cyl;
        const double phi1 = theta[0] / cs.u1;
        const double phi2 = theta[1] / cs.u2;
        pos[0] = phi2 * std::cos(phi1);
        pos[1] = phi2 * std::sin(phi1);
    }
}

void record_sample(const ParameterSet& ps, ReferenceRun* run, HistorySet* hs, int k,
                   const double x[STATE_LEN], double step) {
    // a record outside the histories is never written
    if (k < 0 || k >= HISTORY_LEN) {
        return;
    }
    assert(hs != nullptr && run != nullptr);  // the driver hands its own run and history set
    const int rt = ps.settings.robot_type;
    const RobotSettings& rs = robot_of(ps.settings, rt);
    const RobotModel& rm = robot_of(ps.model, rt);
    const double t = k * ps.settings.dt_sample;

    // motor angles, their commands and errors
    hs->theta[k][0] = x[0];
    hs->theta[k][1] = x[1];
    double omega_ref[2];
    reference_at(ps, run, rt, ps.settings.motion, ps.settings.cp, t, hs->theta_ref[k], omega_ref);
    hs->theta_err[k][0] = hs->theta_ref[k][0] - hs->theta[k][0];
    hs->theta_err[k][1] = hs->theta_ref[k][1] - hs->theta[k][1];

    // work positions
    work_position(ps, rt, hs->theta[k], hs->pos[k]);
    work_position(ps, rt, hs->theta_ref[k], hs->pos_ref[k]);
    hs->pos_err[k][0] = hs->pos_ref[k][0] - hs->pos[k][0];
    hs->pos_err[k][1] = hs->pos_ref[k][1] - hs->pos[k][1];

    // torque components
    for (int j = 0; j < 2; ++j) {
        hs->tau_drive[k][j] = control_torque(ps, run, j, t, x);
    }
    for (int j = 0; j < 2; ++j) {
        hs->tau_coriolis[k][j] = coriolis_torque(ps, rt, j, x);
    }
    for (int j = 0; j < 2; ++j) {
        hs->tau_gravity[k][j] = ps.settings.gravity == 'g' ? gravity_torque(ps, rt, j, x) : 0.0;
    }
    const double h[2] = {hs->tau_coriolis[k][0] + hs->tau_gravity[k][0],
                         hs->tau_coriolis[k][1] + hs->tau_gravity[k][1]};

    // inertia seen by each motor
    double M[4];
    inertia_matrix(ps, rt, x, M);
    hs->inertia_seen[k][0] = rm.IM1 + M[0];
    hs->inertia_seen[k][1] = rm.IM2 + M[3];

    // split by the gear transmission; the accelerations found here are not kept
    const double v[2] = {x[2], x[3]};
    if (rt == 'b') {
        double a[2];
        joint_accel_pair(v, hs->tau_drive[k], h, rm.eta, rm.IM, M, step, a, hs->tau_inertia[k],
                         hs->tau_friction[k]);
    } else {
        joint_accel_single(0, v[0], hs->tau_drive[k][0], h[0], rs.eta_fwd1, rm.eta_rev1, rm.IM1, M,
                           step, &hs->tau_inertia[k][0], &hs->tau_friction[k][0]);
        joint_accel_single(1, v[1], hs->tau_drive[k][1], h[1], rs.eta_fwd2, rm.eta_rev2, rm.IM2, M,
                           step, &hs->tau_inertia[k][1], &hs->tau_friction[k][1]);
    }
}

}  // namespace robosim
