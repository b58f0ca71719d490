// Trapezoidal velocity profile: acceleration a1 for ta1, constant speed v, deceleration a2 over
// the last ta2 before tf, then rest at qf. The phases are tested in order and a later match
// overrides an earlier one, so at a boundary the earlier phase's formula holds.
#include "planning/trapezoid.h"

#include "model/parameters.h"

#include <limits>

namespace robosim {

// the value of a profile whose times are not numbers: no phase matches, nothing is commanded
constexpr double NO_PHASE = std::numeric_limits<double>::quiet_NaN();

//------------------------------------------------------------------ evaluation

double trapezoid_position(double t, double ta1, double ta2, double tf, double a1, double a2,
                          double v, double q0, double qf) {
    double q = NO_PHASE;
    if (t <= ta1) {
        q = q0 + a1 * t * t / 2.0;
    }
    if (ta1 < t && t <= tf - ta2) {
        q = q0 + a1 * ta1 * ta1 / 2.0 + v * (t - ta1);
    }
    if (tf - ta2 < t && t <= tf) {
        q = qf - a2 * (tf - t) * (tf - t) / 2.0;
    }
    if (t > tf) {
        q = qf;
    }
    return q;
}

double trapezoid_velocity(double t, double ta1, double ta2, double tf, double a1, double a2,
                          double v) {
    double w = NO_PHASE;
    if (t <= ta1) {
        w = a1 * t;
    }
    if (ta1 < t && t <= tf - ta2) {
        w = v;
    }
    if (tf - ta2 < t && t <= tf) {
        w = a2 * (tf - t);
    }
    if (t > tf) {
        w = 0.0;
    }
    return w;
}

//------------------------------------------------------------------ planning

// the distance is covered exactly: alpha t1 (tf - t1) = distance; tf = 0 divides by zero and
// gives infinite or not-a-number results, which flow on unchecked
void plan_ptp_axis(double tf, double distance, double* t1, double* omega, double* alpha) {
    *t1 = ACCEL_FRACTION * tf;
    *alpha = distance / ((tf - *t1) * *t1);
    *omega = *alpha * *t1;
}

void plan_ptp_motors(Plan& plan, int robot_type) {
    if (robot_type != 'a' && robot_type != 'b') {
        return;  // no robot, nothing to plan
    }
    RobotPlan& rp = robot_of(plan, robot_type);
    plan_ptp_axis(plan.tf, rp.thetaf[0] - rp.theta0[0], &rp.t11, &rp.omega_m1, &rp.alpha_m1);
    plan_ptp_axis(plan.tf, rp.thetaf[1] - rp.theta0[1], &rp.t12, &rp.omega_m2, &rp.alpha_m2);
}

}  // namespace robosim
