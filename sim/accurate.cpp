// The accurate integration mode. The fixed step of the default mode meets the gear's switching
// (forward and reverse driving, the rest band, holding) and the torque limit wherever a step
// happens to fall, and converges at first order or not at all there. Here the run is a hybrid
// system: within a mode (per joint a gear state and a drive state) the equations are smooth and
// fourth-order Runge-Kutta steps keep their order; every change of mode is found inside the step
// where it happens, and the step is cut there.
//
// The rules that choose a mode are those of the gear's direction rules with the rest band
// replaced by an exact stick state:
//   - a moving joint's gear drives forward when its motor's torque into the gear T = tau - IM a
//     agrees with the speed (T v > 0), in reverse when it opposes it (T v < 0);
//   - a joint at rest is freed forward or in reverse when its own acceleration agrees with that
//     direction (T a > 0 or T a < 0), and is stuck (v = 0, a = 0) otherwise;
//   - the test of reverse driving is T ref < 0 scaled by the sign of eta_r. For eta_r > 0 that is
//     the direction rules' own test. For a self-locking gear (eta_r < 0) the reverse equation
//     describes the motor driving the load the way the load pulls, both sides feeding the
//     gear's friction, and T then has the sign of the motion; this is the single joint's rule
//     (the sign of P = tau Mjj + IM h against the speed) for both robots, where the plain T test
//     would let a load that only pulls rise from rest;
//   - a jammed gear (see sim/gear.cpp) is never driven in reverse;
//   - combinations are tried forward before reverse, joint 1 before joint 2, free before stuck
//     (joint 2 held before joint 1, as the direction rules hold it first);
//   - a moving joint for which no combination agrees is stopped at once: the rigid limit of the
//     locked mesh that the default mode spreads over one step.
// The reference generator is asked for earlier times again while an event is bisected; its
// reuse is keyed to the exact time and its unwrapping takes the nearest joint angles, so going
// back by a fraction of a step changes nothing.
#include "sim/accurate.h"

#include "sim/controller.h"
#include "sim/dynamics.h"
#include "sim/gear.h"
#include "sim/simulate.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

//------------------------------------------------------------------ constants
constexpr double EVENT_TIME_TOL = 1e-13;  // an event is located within this time        (s)
constexpr int MAX_EVENTS_PER_STEP = 8;    // more in one step is chattering: step through it (-)
constexpr int MAX_HALVINGS = 12;          // a step is halved this often at most           (-)
// local error allowed in one step, per state element: angles and angle integrals (rad, rad*s),
// speeds (rad/s); a run of 2000 steps then stays well within 1e-5 rad. Between switchings plain
// fourth-order steps converge at their order (measured without this control: the error of 10,
// 20, 40 steps per sample against 160 falls 16 to 18 fold per halving) and keep the trapezoids
// and CP paths within 5e-6 rad at 10 steps per sample, but not the step commands, whose
// saturated start moves at several hundred rad/s: the cylindrical one was 1.5e-5 and the SCARA
// one 4.3e-4 rad off. The control halves the steps there and leaves most others whole.
constexpr double STEP_TOL_ANGLE = 1e-8;
constexpr double STEP_TOL_SPEED = 1e-6;
constexpr int MONITORS_PER_JOINT = 4;  // drive, speed, power flow or freeing, jam      (-)
constexpr int MONITORS = 2 * MONITORS_PER_JOINT;

//------------------------------------------------------------------ modes

enum GearState { FORWARD, REVERSE, STUCK };

enum DriveState { LINEAR, UPPER, LOWER };

struct Mode {
    int gear[2];         // GearState of each joint
    int drive[2];        // DriveState of each motor
    double sense[2];     // +1 or -1: the way a freed or moving joint goes in this mode
    double jam_side[2];  // +1 not jammed, -1 jammed when the mode began
};

// the motors and gears of the robot run
struct Drives {
    double eta_f[2];
    double eta_r[2];
    double IM[2];
    double tau_m[2];
};

// what the state gives at one time, whatever the mode
struct Forces {
    double tau_lin[2];  // the controller's torque before its limit (N*m)
    double ref[2];      // commanded motor angles (rad)
    double M[4];        // inertia matrix at the motors (kg*m^2)
    double h[2];        // Coriolis plus gravity (N*m)
};

static Drives drives_of(const ParameterSet& ps, int rt) {
    const RobotSettings& rs = robot_of(ps.settings, rt);
    const RobotModel& rm = robot_of(ps.model, rt);
    return Drives{{rs.eta_fwd1, rs.eta_fwd2},
                  {rm.eta_rev1, rm.eta_rev2},
                  {rm.IM1, rm.IM2},
                  {rm.tau_m1, rm.tau_m2}};
}

static Forces forces_at(const ParameterSet& ps, ReferenceRun* run, int rt, double t,
                        const double x[STATE_LEN]) {
    const Settings& s = ps.settings;
    Forces f{};
    for (int j = 0; j < 2; ++j) {
        f.tau_lin[j] = control_law(ps, run, rt, s.fb_type, s.motion, s.cp, j, t, x);
    }
    double omega_ref[2];
    reference_at(ps, run, rt, s.motion, s.cp, t, f.ref, omega_ref);
    inertia_matrix(ps, rt, x, f.M);
    for (int j = 0; j < 2; ++j) {
        const double G = s.gravity == 'g' ? gravity_torque(ps, rt, j, x) : 0.0;
        f.h[j] = coriolis_torque(ps, rt, j, x) + G;
    }
    return f;
}

static double drive_torque(const Drives& d, const Forces& f, const Mode& m, int j) {
    if (m.drive[j] == UPPER) {
        return d.tau_m[j];
    }
    if (m.drive[j] == LOWER) {
        return -d.tau_m[j];
    }
    return f.tau_lin[j];
}

// distance of a gear from its jam, IM + eta_r Mjj - JAM_MARGIN IM: at or below zero it jams
static double jam_distance(const Drives& d, const Forces& f, int j) {
    const double Mjj = j == 0 ? f.M[0] : f.M[3];
    return d.IM[j] + d.eta_r[j] * Mjj - JAM_MARGIN * d.IM[j];
}

// the accelerations of mode m and the torques T the motors pass into their gears, from the rows
//   forward  (eta_f IM + Mjj) a_j + Mjk a_k = eta_f tau - h_j
//   reverse  (IM + eta_r Mjj) a_j + eta_r Mjk a_k = tau - eta_r h_j
//   stuck    a_j = 0
// (the reverse row is the gear's balance multiplied by eta_r, which may be zero or negative)
static void mode_accel(const Drives& d, const Forces& f, const Mode& m, double a[2], double T[2]) {
    double A[2][2];
    double b[2];
    double tau[2];
    for (int j = 0; j < 2; ++j) {
        const int k = 1 - j;
        const double Mjj = j == 0 ? f.M[0] : f.M[3];
        const double Mjk = j == 0 ? f.M[1] : f.M[2];
        tau[j] = drive_torque(d, f, m, j);
        if (m.gear[j] == FORWARD) {
            A[j][j] = d.eta_f[j] * d.IM[j] + Mjj;
            A[j][k] = Mjk;
            b[j] = d.eta_f[j] * tau[j] - f.h[j];
        } else if (m.gear[j] == REVERSE) {
            A[j][j] = d.IM[j] + d.eta_r[j] * Mjj;
            A[j][k] = d.eta_r[j] * Mjk;
            b[j] = tau[j] - d.eta_r[j] * f.h[j];
        } else {
            A[j][j] = 1.0;
            A[j][k] = 0.0;
            b[j] = 0.0;
        }
    }
    const double D = A[0][0] * A[1][1] - A[0][1] * A[1][0];
    a[0] = (b[0] * A[1][1] - A[0][1] * b[1]) / D;
    a[1] = (A[0][0] * b[1] - A[1][0] * b[0]) / D;
    for (int j = 0; j < 2; ++j) {
        T[j] = tau[j] - d.IM[j] * a[j];
    }
}

// the sign that turns the torque a reverse-driven motor passes into its gear into the sign of
// the power its load passes back: +1, or -1 for a self-locking gear
static double reverse_sign(const Drives& d, int j) {
    return d.eta_r[j] < 0.0 ? -1.0 : 1.0;
}

// whether a free joint's torque into its gear agrees with the direction assumed: ref is its
// speed when it moves, its own acceleration when it starts from rest
static bool agrees(const Drives& d, int j, int gear, double T, double ref) {
    return gear == FORWARD ? T * ref > 0.0 : reverse_sign(d, j) * T * ref < 0.0;
}

// The mode the rules give at state x (see the file comment). A moving joint for which nothing
// agrees is stopped: its speed in x is set to zero, and the choice is made again.
static Mode choose_mode(const Drives& d, const Forces& f, double x[STATE_LEN],
                        AccurateStats* stats) {
    Mode m{};
    bool jam[2];
    for (int j = 0; j < 2; ++j) {
        m.drive[j] = f.tau_lin[j] > d.tau_m[j]    ? UPPER
                     : f.tau_lin[j] < -d.tau_m[j] ? LOWER
                                                  : LINEAR;
        jam[j] = jam_distance(d, f, j) <= 0.0;
        m.jam_side[j] = jam[j] ? -1.0 : 1.0;
    }
    // the combinations in the order they are tried: free ones, then joint 2 held, joint 1 held,
    // both held
    static const int ORDER[9][2] = {{FORWARD, FORWARD}, {FORWARD, REVERSE}, {REVERSE, FORWARD},
                                    {REVERSE, REVERSE}, {FORWARD, STUCK},   {REVERSE, STUCK},
                                    {STUCK, FORWARD},   {STUCK, REVERSE},   {STUCK, STUCK}};
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool moving[2] = {x[2] != 0.0, x[3] != 0.0};
        for (const auto& combo : ORDER) {
            bool possible = true;
            for (int j = 0; j < 2; ++j) {
                possible = possible && !(combo[j] == REVERSE && jam[j])
                           && !(combo[j] == STUCK && moving[j]);
            }
            if (!possible) {
                continue;
            }
            m.gear[0] = combo[0];
            m.gear[1] = combo[1];
            double a[2];
            double T[2];
            mode_accel(d, f, m, a, T);
            bool accepted = true;
            for (int j = 0; j < 2; ++j) {
                if (combo[j] != STUCK) {
                    const double ref = moving[j] ? x[2 + j] : a[j];
                    accepted = accepted && agrees(d, j, combo[j], T[j], ref);
                    m.sense[j] = ref > 0.0 ? 1.0 : -1.0;
                }
            }
            if (accepted) {
                return m;
            }
        }
        // no motion agrees with the gears: the moving joints stop at once
        x[2] = 0.0;
        x[3] = 0.0;
        if (stats != nullptr) {
            ++stats->stops;
        }
    }
    m.gear[0] = STUCK;  // unreachable: both stuck always agrees
    m.gear[1] = STUCK;
    return m;
}

// the values whose sign holds the mode: a monitor that is not negative at the start of a step
// and negative at its end marks a change of mode inside the step
static void monitors(const Drives& d, const Forces& f, const Mode& m, const double x[STATE_LEN],
                     double g[MONITORS]) {
    double a[2];
    double T[2];
    mode_accel(d, f, m, a, T);
    for (int j = 0; j < 2; ++j) {
        double* gj = g + MONITORS_PER_JOINT * j;
        const double tau = f.tau_lin[j];
        gj[0] = m.drive[j] == UPPER   ? tau - d.tau_m[j]
                : m.drive[j] == LOWER ? -tau - d.tau_m[j]
                                      : d.tau_m[j] - std::fabs(tau);
        gj[3] = m.jam_side[j] * jam_distance(d, f, j);
        if (m.gear[j] == STUCK) {
            // held while neither freed direction would agree with its own acceleration
            Mode freed = m;
            freed.gear[j] = FORWARD;
            double af[2];
            double Tf[2];
            mode_accel(d, f, freed, af, Tf);
            gj[1] = -Tf[j] * af[j];
            gj[2] = 1.0;
            if (m.jam_side[j] > 0.0) {
                freed.gear[j] = REVERSE;
                double ar[2];
                double Tr[2];
                mode_accel(d, f, freed, ar, Tr);
                gj[2] = reverse_sign(d, j) * Tr[j] * ar[j];
            }
        } else {
            gj[1] = m.sense[j] * x[2 + j];  // still moving the same way
            // power flow
            gj[2] = (m.gear[j] == FORWARD ? 1.0 : -reverse_sign(d, j)) * m.sense[j] * T[j];
        }
    }
}

//------------------------------------------------------------------ integration

static void derivative(const ParameterSet& ps, ReferenceRun* run, int rt, const Drives& d,
                       const Mode& m, double t, const double x[STATE_LEN], double dx[STATE_LEN]) {
    const Forces f = forces_at(ps, run, rt, t, x);
    double a[2];
    double T[2];
    mode_accel(d, f, m, a, T);
    dx[0] = x[2];
    dx[1] = x[3];
    dx[2] = a[0];
    dx[3] = a[1];
    dx[4] = f.ref[0] - x[0];
    dx[5] = f.ref[1] - x[1];
}

// one classical fourth-order Runge-Kutta step of h (s) from t in mode m
static void rk4_step(const ParameterSet& ps, ReferenceRun* run, int rt, const Drives& d,
                     const Mode& m, double t, double h, const double x[STATE_LEN],
                     double out[STATE_LEN]) {
    double k1[STATE_LEN];
    double k2[STATE_LEN];
    double k3[STATE_LEN];
    double k4[STATE_LEN];
    double y[STATE_LEN];
    derivative(ps, run, rt, d, m, t, x, k1);
    for (int i = 0; i < STATE_LEN; ++i) {
        y[i] = x[i] + 0.5 * h * k1[i];
    }
    derivative(ps, run, rt, d, m, t + 0.5 * h, y, k2);
    for (int i = 0; i < STATE_LEN; ++i) {
        y[i] = x[i] + 0.5 * h * k2[i];
    }
    derivative(ps, run, rt, d, m, t + 0.5 * h, y, k3);
    for (int i = 0; i < STATE_LEN; ++i) {
        y[i] = x[i] + h * k3[i];
    }
    derivative(ps, run, rt, d, m, t + h, y, k4);
    for (int i = 0; i < STATE_LEN; ++i) {
        out[i] = x[i] + h * (k1[i] + 2.0 * k2[i] + 2.0 * k3[i] + k4[i]) / 6.0;
    }
}

// one step of h within mode m with its error held: a whole step is compared with two halves
// (step doubling); where they differ by more than the tolerance each half is taken the same way.
// The result is the two halves' with the difference extrapolated away (fifth order).
static void smooth_step(const ParameterSet& ps, ReferenceRun* run, int rt, const Drives& d,
                        const Mode& m, double t, double h, const double x[STATE_LEN],
                        double out[STATE_LEN], int depth, AccurateStats* st) {
    double whole[STATE_LEN];
    double mid[STATE_LEN];
    double halves[STATE_LEN];
    rk4_step(ps, run, rt, d, m, t, h, x, whole);
    rk4_step(ps, run, rt, d, m, t, 0.5 * h, x, mid);
    rk4_step(ps, run, rt, d, m, t + 0.5 * h, 0.5 * h, mid, halves);
    st->steps += 3;
    double err = 0.0;
    for (int i = 0; i < STATE_LEN; ++i) {
        const double tol = (i == 2 || i == 3) ? STEP_TOL_SPEED : STEP_TOL_ANGLE;
        err = std::max(err, std::fabs(halves[i] - whole[i]) / tol);
    }
    if (err > 1.0 && depth < MAX_HALVINGS) {
        smooth_step(ps, run, rt, d, m, t, 0.5 * h, x, mid, depth + 1, st);
        smooth_step(ps, run, rt, d, m, t + 0.5 * h, 0.5 * h, mid, out, depth + 1, st);
        return;
    }
    for (int i = 0; i < STATE_LEN; ++i) {
        out[i] = halves[i] + (halves[i] - whole[i]) / 15.0;
    }
}

// whether a monitor that held at the start has turned negative
static bool crossed(const double g0[MONITORS], const double g[MONITORS]) {
    for (int i = 0; i < MONITORS; ++i) {
        if (g0[i] >= 0.0 && g[i] < 0.0) {
            return true;
        }
    }
    return false;
}

// the state of a run between samples
struct Hybrid {
    double t;
    double x[STATE_LEN];
    Mode mode;
    int next_corner;
    bool monitored;  // g holds the monitors of (t, x, mode): the last step's end
    double g[MONITORS];
};

// advances the run to `target` (s), cutting the steps at the command's corners and at changes
// of mode
static void advance(const ParameterSet& ps, ReferenceRun* run, int rt, const Drives& d,
                    const double* corners, int corner_count, double target, Hybrid* hy,
                    AccurateStats* st) {
    int events_here = 0;
    while (hy->t < target) {
        while (hy->next_corner < corner_count && corners[hy->next_corner] <= hy->t) {
            ++hy->next_corner;
        }
        double stop = target;
        bool at_corner = false;
        if (hy->next_corner < corner_count && corners[hy->next_corner] < stop) {
            stop = corners[hy->next_corner];
            at_corner = true;
        }
        const double h = stop - hy->t;
        double g0[MONITORS];
        if (hy->monitored) {
            std::copy(hy->g, hy->g + MONITORS, g0);  // this state was the last step's end
        } else {
            monitors(d, forces_at(ps, run, rt, hy->t, hy->x), hy->mode, hy->x, g0);
        }
        hy->monitored = false;
        if (*std::min_element(g0, g0 + MONITORS) < 0.0) {
            const Forces f0 = forces_at(ps, run, rt, hy->t, hy->x);
            // a mode that no longer holds (after chattering went unlocated): choose afresh
            hy->mode = choose_mode(d, f0, hy->x, st);
            monitors(d, f0, hy->mode, hy->x, g0);
        }
        double x1[STATE_LEN];
        smooth_step(ps, run, rt, d, hy->mode, hy->t, h, hy->x, x1, 0, st);
        double g1[MONITORS];
        monitors(d, forces_at(ps, run, rt, stop, x1), hy->mode, x1, g1);
        if (events_here < MAX_EVENTS_PER_STEP && crossed(g0, g1)) {
            // the earliest crossing, by bisection of the step; the states tried are those the
            // step itself would reach, so the one kept has crossed exactly as located
            double lo = 0.0;
            double hi = h;
            double xe[STATE_LEN];
            double ge[MONITORS];
            std::copy(x1, x1 + STATE_LEN, xe);
            std::copy(g1, g1 + MONITORS, ge);
            while (hi - lo > EVENT_TIME_TOL) {
                const double mid = 0.5 * (lo + hi);
                double xm[STATE_LEN];
                smooth_step(ps, run, rt, d, hy->mode, hy->t, mid, hy->x, xm, 0, st);
                double gm[MONITORS];
                monitors(d, forces_at(ps, run, rt, hy->t + mid, xm), hy->mode, xm, gm);
                if (crossed(g0, gm)) {
                    hi = mid;
                    std::copy(xm, xm + STATE_LEN, xe);
                    std::copy(gm, gm + MONITORS, ge);
                } else {
                    lo = mid;
                }
            }
            std::copy(xe, xe + STATE_LEN, hy->x);
            hy->t += hi;
            ++st->events;
            ++events_here;
            // a joint whose speed reached zero stops there
            for (int j = 0; j < 2; ++j) {
                const int speed = MONITORS_PER_JOINT * j + 1;
                if (hy->mode.gear[j] != STUCK && g0[speed] >= 0.0 && ge[speed] < 0.0) {
                    hy->x[2 + j] = 0.0;
                }
            }
            hy->mode = choose_mode(d, forces_at(ps, run, rt, hy->t, hy->x), hy->x, st);
            continue;
        }
        std::copy(x1, x1 + STATE_LEN, hy->x);
        hy->t = stop;
        std::copy(g1, g1 + MONITORS, hy->g);
        hy->monitored = !at_corner;
        if (at_corner) {
            // the command takes its next formula just after the corner, and may change the mode
            hy->t = std::nextafter(stop, std::numeric_limits<double>::infinity());
            hy->mode = choose_mode(d, forces_at(ps, run, rt, hy->t, hy->x), hy->x, st);
        }
    }
}

// record k as simulate() writes it, with the torque split of the mode in force
static void record_mode_sample(const ParameterSet& ps, ReferenceRun* run, int rt, const Drives& d,
                               double step, int k, const Hybrid& hy, HistorySet* out) {
    record_sample(ps, run, out, k, hy.x, step);
    if (k < 0 || k >= HISTORY_LEN) {
        return;
    }
    const Forces f = forces_at(ps, run, rt, k * ps.settings.dt_sample, hy.x);
    double a[2];
    double T[2];
    mode_accel(d, f, hy.mode, a, T);
    for (int j = 0; j < 2; ++j) {
        const double Mjj = j == 0 ? f.M[0] : f.M[3];
        const double Mjk = j == 0 ? f.M[1] : f.M[2];
        out->tau_drive[k][j] = drive_torque(d, f, hy.mode, j);
        out->tau_inertia[k][j] = (d.IM[j] + Mjj) * a[j] + Mjk * a[1 - j];
        out->tau_friction[k][j] = out->tau_drive[k][j] - out->tau_inertia[k][j] - f.h[j];
    }
}

ReachReport simulate_accurate(const ParameterSet& ps, HistorySet* out, int robot_type, double dt,
                              int n, const double theta0[2], int steps_per_sample,
                              AccurateStats* stats) {
    assert(out != nullptr && theta0 != nullptr);
    AccurateStats own = {};
    AccurateStats* st = stats != nullptr ? stats : &own;
    *st = AccurateStats{};
    const int last = std::min(n, HISTORY_LEN - 1);
    const int steps = std::max(steps_per_sample, 1);
    const double h = dt / steps;
    const int rt = robot_type;
    ReferenceRun run = new_reference_run(true);
    const Drives d = drives_of(ps, rt);
    double corners[MAX_REFERENCE_CORNERS];
    const int corner_count = reference_corners(ps, rt, ps.settings.motion, ps.settings.cp, corners);

    Hybrid hy = {0.0, {theta0[0], theta0[1], 0.0, 0.0, 0.0, 0.0}, Mode{}, 0, false, {}};
    // the first evaluation of the run is at t = 0, as the reference generator requires
    hy.mode = choose_mode(d, forces_at(ps, &run, rt, 0.0, hy.x), hy.x, st);
    record_mode_sample(ps, &run, rt, d, h, 0, hy, out);
    for (int k = 1; k <= last; ++k) {
        for (int s = 1; s <= steps; ++s) {
            const double target = s == steps ? k * dt : (k - 1) * dt + s * h;
            advance(ps, &run, rt, d, corners, corner_count, target, &hy, st);
        }
        record_mode_sample(ps, &run, rt, d, h, k, hy, out);
    }
    return run.unreachable;
}
