#include "sim/controller.h"

#include "model/parameters.h"
#include "planning/reference.h"

#include <cmath>

namespace robosim {

double control_law(const ParameterSet& ps, ReferenceRun* run, int joint, double t,
                   const double x[6]) {
    const Settings& s = ps.settings;
    const RobotModel& rm = robot_of(ps.model, s.robot_type);
    double theta_ref[2];
    double omega_ref[2];
    reference_at(ps, run, s.robot_type, s.motion, s.cp, t, theta_ref, omega_ref);

    const int j = joint;
    const double Kp = j == 0 ? rm.Kp1 : rm.Kp2;
    const double Ki = j == 0 ? rm.Ki1 : rm.Ki2;
    const double Kv = j == 0 ? rm.Kv1 : rm.Kv2;

    const double e = theta_ref[j] - x[j];
    double tau = 0.0;
    if (s.fb_type == 'v') {
        tau = Kp * e + Ki * x[4 + j] - Kv * x[2 + j];
    } else {
        // 'V', and any other selector: the velocity-error law, which the start-up chooses; a
        // data file with another letter must still give the robot a defined drive
        tau = Kp * e + Ki * x[4 + j] + Kv * (omega_ref[j] - x[2 + j]);
    }
    return tau;
}

double control_torque(const ParameterSet& ps, ReferenceRun* run, int joint, double t,
                      const double x[6]) {
    const RobotModel& rm = robot_of(ps.model, ps.settings.robot_type);
    const double tau_m = joint == 0 ? rm.tau_m1 : rm.tau_m2;
    double tau = control_law(ps, run, joint, t, x);
    // saturation at the motor's maximum torque; a torque equal to the limit passes
    if (std::fabs(tau) > tau_m) {
        tau = tau_m * tau / std::fabs(tau);
    }
    return tau;
}

}  // namespace robosim
