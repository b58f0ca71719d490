// Gear transmission with efficiencies. Which way the power flows depends on the acceleration
// being solved for, so each joint is solved under an assumed direction and the assumption is
// kept when the resulting torque into the gear agrees with it: forward needs T ref > 0, reverse
// T ref < 0, where ref is the motor speed of a moving joint and the candidate's own acceleration
// of a joint at rest. Near standstill a self-locking gear may hold the joint (a = 0).
//
// A gear that cannot be driven by its load (a jam). Reverse driving obeys
//   tau - IM a = eta_r (Mjj a + h),  that is  (IM + eta_r Mjj) a = tau - eta_r h,
// so the motor's net torque tau - eta_r h accelerates the effective inertia IM + eta_r Mjj. A
// strongly self-locking worm (eta_r <= -IM / Mjj) makes that inertia zero or negative: the
// reverse "solution" then accelerates against its own net torque, or without bound, and
// creates energy, since with eta_r < 0 the gear takes power from both of its sides. No
// reverse motion exists; as in rigid bodies with friction that grows with the load (Painleve's
// paradox) the mesh locks instead. Approaching that bound the reverse acceleration grows as
// 1 / (IM + eta_r Mjj) and no fixed step can follow it, so the rule takes hold a tenth of the
// rotor inertia before it (JAM_MARGIN). For a jammed gear, IM + eta_r Mjj <= IM / 10:
//   - reverse driving is never chosen;
//   - a joint at rest is driven forward where forward driving agrees with its own acceleration,
//     and held (a = 0) otherwise;
//   - a moving joint is driven forward where its speed says the motor drives the load, and is
//     otherwise stopped by the locked mesh. The rigid stop is an impulse; the fixed step
//     spreads it over one step, a = -v / stop_time with stop_time the integration step, which
//     the Runge-Kutta-Gill step takes smoothly down (to 3/8 of the speed per step) until the
//     joint is in the rest band and held.
// A self-locking gear (eta_r <= 0) passes no power from its load to its motor either: where the
// rules of the coupled pair find no direction for a moving joint, it is stopped the same way
// instead of held at a = 0, which would let it coast on at its speed for ever.
// A gear that is not self-locking never meets these rules, nor does a self-locking one short
// of its jam while it has a direction: those results are the rules' above, bit for bit.
#include "sim/gear.h"

#include <cmath>
#include <limits>

namespace robosim {

//------------------------------------------------------------------ fixed direction

double solve_single(double e, double tau, double IM, double Mjj, double h, double* T) {
    const double a = (e * tau - h) / (e * IM + Mjj);
    *T = tau - IM * a;
    return a;
}

// A11 = e1 IM1 + M11, A22 = e2 IM2 + M22, b = e tau - h; Cramer's rule on
// [A11 M12; M21 A22] a = b
void solve_pair(double e1, double e2, const double tau[2], const double h[2], const double IM[2],
                const double M[4], double a[2], double T[2]) {
    const double A11 = e1 * IM[0] + M[0];
    const double A22 = e2 * IM[1] + M[3];
    const double b1 = e1 * tau[0] - h[0];
    const double b2 = e2 * tau[1] - h[1];
    const double D = A11 * A22 - M[2] * M[1];
    a[0] = (A22 * b1 - M[1] * b2) / D;
    a[1] = (A11 * b2 - M[2] * b1) / D;
    T[0] = tau[0] - IM[0] * a[0];
    T[1] = tau[1] - IM[1] * a[1];
}

//------------------------------------------------------------------ one joint

bool gear_jams(double IM, double eta_r, double Mjj) {
    return IM + eta_r * Mjj <= JAM_MARGIN * IM;
}

bool self_locking(double eta_r) {
    return eta_r <= 0.0;
}

double locked_stop(double v, double stop_time) {
    return -v / stop_time;
}

double joint_accel_single(int joint, double v, double tau, double h, double eta_f, double eta_r,
                          double IM, const double M[4], double stop_time, double* tau_inertia,
                          double* tau_friction) {
    const double Mjj = joint == 0 ? M[0] : M[3];
    const bool jam = gear_jams(IM, eta_r, Mjj);
    // P: the sign of the torque a loss-free gear would carry
    const double P = tau * Mjj + IM * h;
    const double af = (eta_f * tau - h) / (eta_f * IM + Mjj);
    const double ar = (tau - eta_r * h) / (eta_r * Mjj + IM);

    double a = 0.0;
    if (std::fabs(v) < REST_SPEED) {
        // at rest the acceleration tells the direction; later rules override earlier ones.
        // Every real P matches a rule; a P that is not a number leaves a not a number.
        a = std::numeric_limits<double>::quiet_NaN();
        if (P * af > 0.0) {
            a = af;
        }
        if (P * ar < 0.0 && !jam) {
            a = ar;
        }
        if (P * af <= 0.0 && (P * ar >= 0.0 || jam)) {
            a = 0.0;  // the gear holds the joint
        }
    } else if (P * v < 0.0) {
        a = jam ? locked_stop(v, stop_time) : ar;
    } else {
        // P v > 0 drives forward; P v exactly 0 (P = 0 while moving) has no direction of its
        // own, and the forward solution is taken for it
        a = af;
    }

    *tau_inertia = (IM + Mjj) * a;
    *tau_friction = tau - *tau_inertia - h;
    return a;
}

//------------------------------------------------------------------ both joints

// the four direction assumptions in the order they are tried: forward (true) or reverse
constexpr bool CANDIDATES[4][2] = {{true, true}, {true, false}, {false, true}, {false, false}};

// which speeds serve as direction references: a moving joint's speed, or else the candidate's
// own acceleration
struct PairCase {
    bool ref_speed[2];  // true: v_j is the reference of joint j; false: the candidate's a_j
};

// tries FF, FR, RF, RR with the references of pc; the first whose torques agree wins
static bool try_candidates(const PairCase& pc, const bool jam[2], const double v[2],
                           const double tau[2], const double h[2], const double eta[4],
                           const double IM[2], const double M[4], double a[2]) {
    for (const auto& forward : CANDIDATES) {
        if ((!forward[0] && jam[0]) || (!forward[1] && jam[1])) {
            continue;  // a jammed gear is never driven by its load
        }
        const double e1 = forward[0] ? eta[0] : 1.0 / eta[1];
        const double e2 = forward[1] ? eta[2] : 1.0 / eta[3];
        double ca[2];
        double T[2];
        solve_pair(e1, e2, tau, h, IM, M, ca, T);
        bool accepted = true;
        for (int j = 0; j < 2; ++j) {
            const double ref = pc.ref_speed[j] ? v[j] : ca[j];
            const bool agrees = forward[j] ? T[j] * ref > 0.0 : T[j] * ref < 0.0;
            accepted = accepted && agrees;
        }
        if (accepted) {
            a[0] = ca[0];
            a[1] = ca[1];
            return true;
        }
    }
    return false;
}

// one joint of the pair alone, the other held: forward if its T ref > 0, else reverse if
// T ref < 0, else held; ref is the speed v_ref or, when use_accel, the solution's own
// acceleration. A jammed gear has no reverse, and a moving joint of a self-locking gear that
// finds no direction is stopped by the mesh instead of held (which counts as a direction
// found). Returns whether a direction held; writes the acceleration (0 when held).
static bool solve_alone(int j, bool use_accel, double v_ref, double stop_time, const double tau[2],
                        const double h[2], const double eta[4], const double IM[2],
                        const double M[4], double* a) {
    const double Mjj = j == 0 ? M[0] : M[3];
    const double eta_f = eta[2 * j];
    const double eta_r = eta[2 * j + 1];
    const bool jam = gear_jams(IM[j], eta_r, Mjj);
    double T = 0.0;
    const double af = solve_single(eta_f, tau[j], IM[j], Mjj, h[j], &T);
    if (T * (use_accel ? af : v_ref) > 0.0) {
        *a = af;
        return true;
    }
    if (!jam) {
        const double ar = solve_single(1.0 / eta_r, tau[j], IM[j], Mjj, h[j], &T);
        if (T * (use_accel ? ar : v_ref) < 0.0) {
            *a = ar;
            return true;
        }
    }
    if (!use_accel && self_locking(eta_r)) {
        *a = locked_stop(v_ref, stop_time);
        return true;
    }
    *a = 0.0;
    return false;
}

void joint_accel_pair(const double v[2], const double tau[2], const double h[2],
                      const double eta[4], const double IM[2], const double M[4], double stop_time,
                      double a[2], double tau_inertia[2], double tau_friction[2]) {
    const double s = REST_SPEED;
    const bool rest1 = std::fabs(v[0]) < s;
    const bool rest2 = std::fabs(v[1]) < s;
    // a speed of exactly s counts as moving for both joints
    const bool on_threshold = std::fabs(v[0]) == s || std::fabs(v[1]) == s;
    const bool jam[2] = {gear_jams(IM[0], eta[1], M[0]), gear_jams(IM[1], eta[3], M[3])};
    const double ts = stop_time;

    a[0] = 0.0;
    a[1] = 0.0;
    if (on_threshold || (!rest1 && !rest2)) {
        // both moving; without an accepted candidate go on as joint 1 moving, joint 2 at rest
        if (!try_candidates(PairCase{{true, true}}, jam, v, tau, h, eta, IM, M, a)
            && !try_candidates(PairCase{{true, false}}, jam, v, tau, h, eta, IM, M, a)) {
            a[1] = 0.0;
            if (self_locking(eta[3]) && !rest2) {
                // a moving joint 2 with a self-locking gear is not held (it would coast on at
                // its speed) but stopped by the mesh, and joint 1 carries its share of that
                // deceleration
                a[1] = locked_stop(v[1], ts);
                const double h1[2] = {h[0] + M[1] * a[1], h[1]};
                solve_alone(0, false, v[0], ts, tau, h1, eta, IM, M, &a[0]);
            } else {
                solve_alone(0, false, v[0], ts, tau, h, eta, IM, M, &a[0]);
            }
        }
    } else if (!rest1 && rest2) {
        if (!try_candidates(PairCase{{true, false}}, jam, v, tau, h, eta, IM, M, a)) {
            a[1] = 0.0;
            solve_alone(0, false, v[0], ts, tau, h, eta, IM, M, &a[0]);
        }
    } else if (rest1 && !rest2) {
        if (!try_candidates(PairCase{{false, true}}, jam, v, tau, h, eta, IM, M, a)) {
            a[0] = 0.0;
            solve_alone(1, false, v[1], ts, tau, h, eta, IM, M, &a[1]);
        }
    } else if (!try_candidates(PairCase{{false, false}}, jam, v, tau, h, eta, IM, M, a)) {
        // both at rest: hold joint 2 and free joint 1 alone; if it stays held too, free joint 2
        a[1] = 0.0;
        if (!solve_alone(0, true, 0.0, ts, tau, h, eta, IM, M, &a[0])) {
            solve_alone(1, true, 0.0, ts, tau, h, eta, IM, M, &a[1]);
        }
    }

    tau_inertia[0] = (IM[0] + M[0]) * a[0] + M[1] * a[1];
    tau_inertia[1] = (IM[1] + M[3]) * a[1] + M[2] * a[0];
    tau_friction[0] = tau[0] - tau_inertia[0] - h[0];
    tau_friction[1] = tau[1] - tau_inertia[1] - h[1];
}

}  // namespace robosim
