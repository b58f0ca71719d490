// Reference generator: commanded motor angles and speeds at time t.
//   'q' step:      theta_r = thetaf from t = 0 on, zero speed
//   'p' trapezoid: each motor on its own profile (t1i, t1i, tf, alpha_mi, alpha_mi, omega_mi,
//                  theta0[i], thetaf[i])
//   'c' CP:        s(t) on the arc-length profile, (x, y) on the path, phi by inverse kinematics
//                  unwrapped towards the previous call's phi, phi_dot from J phi_dot = (x_dot,
//                  y_dot) by Cramer's rule, theta_dot = u phi_dot
#include "planning/reference.h"

#include "model/parameters.h"
#include "planning/cp_path.h"
#include "planning/kinematics.h"
#include "planning/trapezoid.h"

#include <cassert>
#include <cmath>
#include <cstdint>
#include <utility>

namespace robosim {

ReferenceRun new_reference_run(bool reuse) {
    ReferenceRun run = {};
    run.reuse = reuse;
    return run;
}

// evaluation without reuse
static void evaluate_reference(const ParameterSet& p, ReferenceRun* run, int robot_type, int motion,
                               int cp, double t, double position[2], double velocity[2]);

void reference_at(const ParameterSet& p, ReferenceRun* run, int robot_type, int motion, int cp,
                  double t, double position[2], double velocity[2]) {
    assert(run != nullptr);  // every evaluation belongs to a run, whose state it advances
    const std::uint64_t t_bits = double_bits(t);
    if (run->reuse) {
        for (const ReferenceMemo& memo : run->memo) {
            if (memo.valid && memo.t_bits == t_bits && memo.robot_type == robot_type
                && memo.motion == motion && memo.cp == cp) {
                position[0] = memo.position[0];
                position[1] = memo.position[1];
                velocity[0] = memo.velocity[0];
                velocity[1] = memo.velocity[1];
                // as the evaluation itself would leave it
                run->cp_phi[0] = run->prev_phi[0] = memo.phi[0];
                run->cp_phi[1] = run->prev_phi[1] = memo.phi[1];
                return;
            }
        }
    }
    evaluate_reference(p, run, robot_type, motion, cp, t, position, velocity);
    run->memo[run->memo_next] = ReferenceMemo{true,
                                              robot_type,
                                              motion,
                                              cp,
                                              t_bits,
                                              {position[0], position[1]},
                                              {velocity[0], velocity[1]},
                                              {run->prev_phi[0], run->prev_phi[1]}};
    run->memo_next = (run->memo_next + 1) % REFERENCE_MEMO_SLOTS;
}

static void evaluate_reference(const ParameterSet& p, ReferenceRun* run, int robot_type, int motion,
                               int cp, double t, double position[2], double velocity[2]) {
    // the simulation treats every type other than 'b' as the cylindrical robot
    const int rt = robot_type == 'b' ? 'b' : 'a';
    const RobotPlan& rp = robot_of(p.plan, rt);

    // a new run: joint angles are taken nearest to zero again
    if (t == 0.0) {
        run->prev_phi[0] = 0.0;
        run->prev_phi[1] = 0.0;
    }

    if (motion == 'q') {
        position[0] = rp.thetaf[0];
        position[1] = rp.thetaf[1];
        velocity[0] = 0.0;
        velocity[1] = 0.0;
    } else if (motion == 'p') {
        position[0] = trapezoid_position(t, rp.t11, rp.t11, p.plan.tf, rp.alpha_m1, rp.alpha_m1,
                                         rp.omega_m1, rp.theta0[0], rp.thetaf[0]);
        velocity[0] =
            trapezoid_velocity(t, rp.t11, rp.t11, p.plan.tf, rp.alpha_m1, rp.alpha_m1, rp.omega_m1);
        position[1] = trapezoid_position(t, rp.t12, rp.t12, p.plan.tf, rp.alpha_m2, rp.alpha_m2,
                                         rp.omega_m2, rp.theta0[1], rp.thetaf[1]);
        velocity[1] =
            trapezoid_velocity(t, rp.t12, rp.t12, p.plan.tf, rp.alpha_m2, rp.alpha_m2, rp.omega_m2);
    } else if (motion == 'c') {
        // path parameter and its rate
        const double s =
            trapezoid_position(t, rp.t1, rp.t2, p.plan.tf, rp.am1, rp.am2, rp.vm, 0.0, p.plan.sf);
        const double s_dot = trapezoid_velocity(t, rp.t1, rp.t2, p.plan.tf, rp.am1, rp.am2, rp.vm);

        // path point and its velocity
        double pos[2];
        double vel[2];
        evaluate_cp_path(p, run->reuse ? &run->sine : nullptr, cp, s, s_dot, pos, vel);

        // joint vector and motor angles; only the first unreachable SCARA point of a run is
        // kept, to be told once and without a key wait, or a run along such a path would stop
        // thousands of times
        if (rt == 'a') {
            ik_cylindrical(p.settings, pos[0], pos[1], run->prev_phi, run->cp_phi, position);
        } else if (!ik_scara(p.settings, pos[0], pos[1], run->prev_phi, run->cp_phi, position)
                   && run->unreachable.count == 0) {
            add_unreachable(&run->unreachable, pos[0], pos[1]);
        }

        // phi_dot = J^-1 (x_dot, y_dot) by Cramer's rule; det = 0 at a singular posture gives
        // infinite or not-a-number speeds, which flow on unchecked
        double J[4];
        jacobian(p.settings, rt, run->cp_phi, J);
        const double det = J[0] * J[3] - J[1] * J[2];
        const double phi_dot[2] = {(J[3] * vel[0] - J[1] * vel[1]) / det,
                                   (J[0] * vel[1] - J[2] * vel[0]) / det};
        joint_to_motor(p.settings, rt, phi_dot, velocity);
    } else {
        // a motion outside the list commands nothing: hold the start angles
        position[0] = rp.theta0[0];
        position[1] = rp.theta0[1];
        velocity[0] = 0.0;
        velocity[1] = 0.0;
    }

    run->prev_phi[0] = run->cp_phi[0];
    run->prev_phi[1] = run->cp_phi[1];
}

//------------------------------------------------------------------ corners

// the time at which the trapezoidal arc-length profile of rp reaches s (its inverse)
static double time_at_arc(const RobotPlan& rp, double tf, double sf, double s) {
    const double s1 = rp.am1 * rp.t1 * rp.t1 / 2.0;       // end of the acceleration
    const double s2 = sf - rp.am2 * rp.t2 * rp.t2 / 2.0;  // start of the deceleration
    if (s <= s1) {
        return std::sqrt(2.0 * s / rp.am1);
    }
    if (s <= s2) {
        return rp.t1 + (s - s1) / rp.vm;
    }
    return tf - std::sqrt(2.0 * (sf - s) / rp.am2);
}

int reference_corners(const ParameterSet& p, int robot_type, int motion, int cp,
                      double corners[MAX_REFERENCE_CORNERS]) {
    const RobotPlan& rp = robot_of(p.plan, robot_type == 'b' ? 'b' : 'a');
    const double tf = p.plan.tf;
    double found[MAX_REFERENCE_CORNERS];
    int n = 0;
    const auto add = [&](double t) {
        if (std::isfinite(t) && t > 0.0 && t <= tf) {
            found[n++] = t;
        }
    };
    if (motion == 'p') {
        for (const double t : {rp.t11, tf - rp.t11, rp.t12, tf - rp.t12, tf}) {
            add(t);
        }
    } else if (motion == 'c') {
        for (const double t : {rp.t1, tf - rp.t2, tf}) {
            add(t);
        }
        if (cp == 3) {
            add(time_at_arc(rp, tf, p.plan.sf, p.plan.s1));
            add(time_at_arc(rp, tf, p.plan.sf, p.plan.s2));
        }
    }
    // ascending (insertion: a handful of times), each once
    for (int i = 1; i < n; ++i) {
        for (int j = i; j > 0 && found[j - 1] > found[j]; --j) {
            std::swap(found[j - 1], found[j]);
        }
    }
    int count = 0;
    for (int i = 0; i < n; ++i) {
        if (count == 0 || found[i] > corners[count - 1]) {
            corners[count++] = found[i];
        }
    }
    return count;
}

}  // namespace robosim
