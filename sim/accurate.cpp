// The accurate integration mode. The fixed step of the default mode meets the gear's switching
// (forward and reverse driving, the rest band, holding) and the torque limit wherever a step
// happens to fall, and converges at first order or not at all there. Here the run is a hybrid
// system: within a mode (per joint a gear state and a drive state) the equations are smooth and
// fourth-order Runge-Kutta steps keep their order; every change of mode is found inside the step
// where it happens, and the step is cut there. No change is passed over, however many a step
// holds; the step budget bounds the work instead.
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
//   - every mode is chosen with the forces of the state it starts from: after a stop the
//     controller's speed feedback and the Coriolis torques are those of the stopped joint;
//   - a mode is taken only where each joint's state holds by its own test: a held joint that its
//     test frees is not kept held, and a gear whose power flow has just turned is not chosen
//     again at once (its other direction is tested allowing the rounding of a zero torque).
//     Where freeing a joint at rest turns the other's test and holding it fails its own, the
//     joint at rest is held, as the direction rules hold it.
//
// A moving joint whose gear agrees with no direction (a jammed gear whose load overruns the
// motor) is locked by its mesh. Two things can follow:
//   - stick-slip: stopped, the joint would be freed at once the same way (the motor's speed
//     feedback no longer holds its torque back), run until the load overruns again, and lock
//     again: a chatter of kHz whose every event a located integration would have to find. As in
//     any system whose right-hand side jumps across a surface that both sides' motions cross
//     towards, the motion then slides along the surface: the gear stays on the edge of locking,
//     its power flow T held at zero, and brakes the load with the torque that keeps it there.
//     The slide lasts while that torque brakes (the joint accelerates less than forward driving
//     would let it) and the joint moves;
//   - otherwise the mesh stops the joint at once, the rigid limit of the locked mesh that the
//     default mode spreads over one step. Only that joint stops. Its impulse reaches the other
//     joint through the coupled inertia as far as the other gear passes it (forward or reverse,
//     by the same tests applied to the impulse); a gear that passes it in neither direction, and
//     a joint at rest, take it in their mesh.
// Both joints may slide at once. Where the rules still hand the mode back and forth with no time
// between (two joints' switchings meeting at one instant), or the events of such a meeting shrink
// to an instant where no mode holds by its own test, the mode is held over a fixed 10 us (see
// ZENO_EVENTS); the run counts these accumulations.
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
#include <cstdio>
#include <limits>

namespace robosim {

//------------------------------------------------------------------ constants
constexpr double EVENT_TIME_TOL = 1e-13;  // an event is located within this time        (s)
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
// the time over which a sliding gear's power flow is differentiated along the motion (s): far
// below any step, far above the rounding of the torques it differences
constexpr double SLIDE_DIFF_TIME = 1e-6;
// a slide pulls the drift of its power flow back to zero within this time (s): the same for
// every step, so that the runs of every step converge to one motion, and slow enough for the
// longest step (two default steps)
constexpr double SLIDE_RETURN_TIME = 4e-3;
// a gear is on the edge of locking while its forward power flow is within this share of the
// motor's torque limit of zero (N*m per N*m): the drift a slide's integration leaves, far below
// any torque the model resolves
constexpr double SLIDE_EDGE = 1e-9;
// a joint counts as turning back once its speed is this far past zero (rad/s): a joint freed
// from rest with a next to nothing, as where a freeing is located, must not be stopped again by
// the rounding of its first steps
constexpr double REVERSAL_SPEED = 1e-9;
// Where two joints' switchings meet (a joint coming to rest just as the other's gear reaches
// the edge of locking) the rules can hand the mode back and forth with no time between: an
// accumulation of events. After ZENO_EVENTS events in a row, each within ZENO_SPAN (s) of the
// one before, the mode in force is held for ZENO_HOLD (s), whatever the grid of steps, and
// chosen anew at its end; the run counts these.
constexpr int ZENO_EVENTS = 64;
constexpr double ZENO_SPAN = 1e-9;
constexpr double ZENO_HOLD = 1e-5;
// a step is halved for a monitor that may have dipped below zero down to this length (s)
constexpr double MIN_DIP_STEP = 1e-9;
// a free gear's power flow counts as turned once the torque into it is past this share of the
// motor's torque limit against its direction: the rounding of a torque that has just passed
// zero, which decides nothing. The same bound judges the recorded samples.
constexpr double FLOW_ROUNDING = 1e-12;

//------------------------------------------------------------------ modes

enum GearState { FORWARD, REVERSE, STUCK, SLIDE };

enum DriveState { LINEAR, UPPER, LOWER };

struct Mode {
    int gear[2];         // GearState of each joint
    int drive[2];        // DriveState of each motor
    double sense[2];     // +1 or -1: the way a freed, moving or sliding joint goes in this mode
    double jam_side[2];  // +1 not jammed, -1 jammed when the mode began
    bool turned[2];      // the joint's power flow has just turned against this mode's gear
};

// the motors and gears of the robot run
struct Drives {
    double eta_f[2];
    double eta_r[2];
    double IM[2];
    double tau_m[2];
};

// what every evaluation of one run reads: the experiment, the reference generator's run, the
// robot's drives, the command's corners and the nominal step
struct Run {
    const ParameterSet& ps;
    ReferenceRun* ref;
    int rt;
    Drives d;
    const double* corners;
    int corner_count;
    double step;  // the nominal integration step (s)
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

static Forces forces_at(const Run& r, double t, const double x[STATE_LEN]) {
    const Settings& s = r.ps.settings;
    Forces f{};
    for (int j = 0; j < 2; ++j) {
        f.tau_lin[j] = control_law(r.ps, r.ref, j, t, x);
    }
    double omega_ref[2];
    reference_at(r.ps, r.ref, r.rt, s.motion, s.cp, t, f.ref, omega_ref);
    inertia_matrix(r.ps, r.rt, x, f.M);
    for (int j = 0; j < 2; ++j) {
        const double G = s.gravity == 'g' ? gravity_torque(r.ps, r.rt, j, x) : 0.0;
        f.h[j] = coriolis_torque(r.ps, r.rt, j, x) + G;
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

static double diagonal(const Forces& f, int j) {
    return j == 0 ? f.M[0] : f.M[3];
}

static double coupling(const Forces& f, int j) {
    return j == 0 ? f.M[1] : f.M[2];
}

// distance of a gear from its jam, IM + eta_r Mjj - JAM_MARGIN IM: at or below zero it jams
static double jam_distance(const Drives& d, const Forces& f, int j) {
    return d.IM[j] + d.eta_r[j] * diagonal(f, j) - JAM_MARGIN * d.IM[j];
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

// row j of the mode's equations A a = b:
//   forward  (eta_f IM + Mjj) a_j + Mjk a_k = eta_f tau - h_j
//   reverse  (IM + eta_r Mjj) a_j + eta_r Mjk a_k = tau - eta_r h_j
//   stuck    a_j = 0
// (the reverse row is the gear's balance multiplied by eta_r, which may be zero or negative)
static void mode_row(const Drives& d, const Forces& f, int gear, double tau, int j, double A[2],
                     double* b) {
    const int k = 1 - j;
    if (gear == FORWARD) {
        A[j] = d.eta_f[j] * d.IM[j] + diagonal(f, j);
        A[k] = coupling(f, j);
        *b = d.eta_f[j] * tau - f.h[j];
    } else if (gear == REVERSE) {
        A[j] = d.IM[j] + d.eta_r[j] * diagonal(f, j);
        A[k] = d.eta_r[j] * coupling(f, j);
        *b = tau - d.eta_r[j] * f.h[j];
    } else {
        A[j] = 1.0;
        A[k] = 0.0;
        *b = 0.0;
    }
}

// the accelerations of a mode without a sliding joint, and the torques T the motors pass into
// their gears
static void fixed_accel(const Drives& d, const Forces& f, const Mode& m, double a[2], double T[2]) {
    double A[2][2];
    double b[2];
    double tau[2];
    for (int j = 0; j < 2; ++j) {
        tau[j] = drive_torque(d, f, m, j);
        mode_row(d, f, m.gear[j], tau[j], j, A[j], &b[j]);
    }
    const double D = A[0][0] * A[1][1] - A[0][1] * A[1][0];
    a[0] = (b[0] * A[1][1] - A[0][1] * b[1]) / D;
    a[1] = (A[0][0] * b[1] - A[1][0] * b[0]) / D;
    for (int j = 0; j < 2; ++j) {
        T[j] = tau[j] - d.IM[j] * a[j];
    }
}

// the other joint's acceleration, given the acceleration a_j of joint j, from its own row
static double other_accel(const Drives& d, const Forces& f, const Mode& m, int j, double a_j) {
    const int k = 1 - j;
    if (m.gear[k] == STUCK) {
        return 0.0;
    }
    double A[2];
    double b = 0.0;
    mode_row(d, f, m.gear[k], drive_torque(d, f, m, k), k, A, &b);
    return (b - A[j] * a_j) / A[k];
}

// the slides of a mode: for each sliding joint the acceleration that holds its power flow where
// it is, and how much that brakes against forward driving
struct Slides {
    double a[2];        // both joints' accelerations (rad/s^2)
    double braking[2];  // sense (a forward - a held): positive while the gear must brake
    double flow[2];     // sense sigma: the forward power flow, zero on the edge (N*m)
};

// the power flows of both joints as forward driving of the sliding ones would give them
static void forward_flows(const Run& r, const Mode& fm, double t, const double x[STATE_LEN],
                          double T[2]) {
    const Forces f = forces_at(r, t, x);
    double a[2];
    fixed_accel(r.d, f, fm, a, T);
}

// The accelerations of the sliding joints of m, given the other joint's from its own row:
// each sliding joint's forward power flow sigma_j = T_j(t, x) follows
// d sigma / dt = -sigma / SLIDE_RETURN_TIME, that is stays at zero against the drift of the
// integration. The rates along the motion are affine in the accelerations; they are
// differenced over SLIDE_DIFF_TIME (second order, away from a corner of the command) and the
// affine rule solved. A gear only brakes: a joint that holding would drive harder than forward
// driving drives forward, and the other's slide is solved again without it.
static Slides slide_accels(const Run& r, const Forces& f, const Mode& m, double t,
                           const double x[STATE_LEN]) {
    bool sliding[2] = {m.gear[0] == SLIDE, m.gear[1] == SLIDE};
    Mode fm = m;
    for (int j = 0; j < 2; ++j) {
        fm.gear[j] = sliding[j] ? FORWARD : m.gear[j];
    }
    double af[2];
    double sigma[2];
    fixed_accel(r.d, f, fm, af, sigma);
    // difference backwards where a corner lies just ahead, or is where a step ends, so as not
    // to reach past it
    double dir = 1.0;
    for (int c = 0; c < r.corner_count; ++c) {
        if (r.corners[c] >= t && r.corners[c] <= t + 2.0 * SLIDE_DIFF_TIME
            && t > 2.0 * SLIDE_DIFF_TIME) {
            dir = -1.0;
        }
    }
    // the rates of both flows along the motion with the sliding joints' accelerations a
    const auto rates = [&](const bool sl[2], const double a[2], double out[2]) {
        double dx[STATE_LEN];
        dx[0] = x[2];
        dx[1] = x[3];
        for (int j = 0; j < 2; ++j) {
            dx[2 + j] = a[j];
        }
        for (int j = 0; j < 2; ++j) {
            if (!sl[1 - j] && sl[j]) {
                dx[3 - j] = other_accel(r.d, f, fm, j, a[j]);
            }
        }
        dx[4] = f.ref[0] - x[0];
        dx[5] = f.ref[1] - x[1];
        double sn[2][2];
        for (int n = 1; n <= 2; ++n) {
            const double ds = dir * n * SLIDE_DIFF_TIME;
            double y[STATE_LEN];
            for (int i = 0; i < STATE_LEN; ++i) {
                y[i] = x[i] + ds * dx[i];
            }
            forward_flows(r, fm, t + ds, y, sn[n - 1]);
        }
        for (int j = 0; j < 2; ++j) {
            out[j] = dir * (-3.0 * sigma[j] + 4.0 * sn[0][j] - sn[1][j]) / (2.0 * SLIDE_DIFF_TIME);
        }
    };
    Slides sl{};
    for (int j = 0; j < 2; ++j) {
        sl.a[j] = af[j];
        sl.braking[j] = -1.0;
        sl.flow[j] = m.sense[j] * sigma[j];
    }
    // at most twice: both joints, then the one that still brakes alone
    for (int round = 0; round < 2 && (sliding[0] || sliding[1]); ++round) {
        double base[2] = {af[0], af[1]};
        double r0[2];
        rates(sliding, base, r0);
        double G[2][2] = {{1.0, 0.0}, {0.0, 1.0}};  // d rate_i / d a_j of the sliding joints
        for (int j = 0; j < 2; ++j) {
            if (!sliding[j]) {
                continue;
            }
            double moved[2] = {base[0], base[1]};
            const double da = 1.0 + std::fabs(base[j]);
            moved[j] += da;
            if (!sliding[1 - j]) {
                moved[1 - j] = other_accel(r.d, f, fm, j, moved[j]);
            }
            double r1[2];
            rates(sliding, moved, r1);
            for (int i = 0; i < 2; ++i) {
                G[i][j] = sliding[i] ? (r1[i] - r0[i]) / da : (i == j ? 1.0 : 0.0);
            }
        }
        double rhs[2];
        for (int i = 0; i < 2; ++i) {
            rhs[i] = sliding[i] ? -sigma[i] / SLIDE_RETURN_TIME - r0[i] : 0.0;
        }
        const double D = G[0][0] * G[1][1] - G[0][1] * G[1][0];
        const double delta[2] = {(rhs[0] * G[1][1] - G[0][1] * rhs[1]) / D,
                                 (G[0][0] * rhs[1] - G[1][0] * rhs[0]) / D};
        bool all_brake = true;
        for (int j = 0; j < 2; ++j) {
            if (!sliding[j]) {
                continue;
            }
            const double held = base[j] + delta[j];
            sl.braking[j] = std::isfinite(held) ? m.sense[j] * (base[j] - held) : -1.0;
            if (sl.braking[j] > 0.0) {
                sl.a[j] = held;
            } else {
                sliding[j] = false;  // drives forward; the other's slide is solved without it
                all_brake = false;
            }
        }
        if (all_brake) {
            for (int j = 0; j < 2; ++j) {
                if (sliding[j] && !sliding[1 - j]) {
                    sl.a[1 - j] = other_accel(r.d, f, fm, j, sl.a[j]);
                }
            }
            return sl;
        }
        fm.gear[0] = sliding[0] ? FORWARD : (m.gear[0] == SLIDE ? FORWARD : m.gear[0]);
        fm.gear[1] = sliding[1] ? FORWARD : (m.gear[1] == SLIDE ? FORWARD : m.gear[1]);
        sl.a[0] = af[0];
        sl.a[1] = af[1];
    }
    return sl;
}

// the accelerations of mode m at (t, x), and the torques T the motors pass into their gears;
// slides, when given, receives the slides of a sliding mode as well
static void mode_accel(const Run& r, const Forces& f, const Mode& m, double t,
                       const double x[STATE_LEN], double a[2], double T[2],
                       Slides* slides = nullptr) {
    if (m.gear[0] != SLIDE && m.gear[1] != SLIDE) {
        fixed_accel(r.d, f, m, a, T);
        return;
    }
    const Slides sl = slide_accels(r, f, m, t, x);
    if (slides != nullptr) {
        *slides = sl;
    }
    for (int i = 0; i < 2; ++i) {
        a[i] = sl.a[i];
        T[i] = drive_torque(r.d, f, m, i) - r.d.IM[i] * a[i];
    }
}

static Mode drive_mode(const Drives& d, const Forces& f) {
    Mode m{};
    for (int j = 0; j < 2; ++j) {
        m.drive[j] = f.tau_lin[j] > d.tau_m[j]    ? UPPER
                     : f.tau_lin[j] < -d.tau_m[j] ? LOWER
                                                  : LINEAR;
        m.jam_side[j] = jam_distance(d, f, j) <= 0.0 ? -1.0 : 1.0;
        m.sense[j] = 1.0;
    }
    return m;
}

// the combinations in the order they are tried: free ones, then joint 2 held, joint 1 held,
// both held
static const int ORDER[9][2] = {{FORWARD, FORWARD}, {FORWARD, REVERSE}, {REVERSE, FORWARD},
                                {REVERSE, REVERSE}, {FORWARD, STUCK},   {REVERSE, STUCK},
                                {STUCK, FORWARD},   {STUCK, REVERSE},   {STUCK, STUCK}};

// whether gear state g of joint j is the one whose power flow has just turned: it failed its own
// test, and is not chosen again at once
static bool turned_from(const Mode& previous, int j, int g) {
    return previous.turned[j] && previous.gear[j] == g;
}

// the direction test of a joint whose power flow has just turned. There both directions'
// torques into the gear are zero to their last bits, and the direction it turns to is the
// other one: it agrees unless its torque is clearly against it
static bool agrees_turned(const Drives& d, const Mode& previous, int j, int gear, double T,
                          double ref) {
    if (!previous.turned[j]) {
        return agrees(d, j, gear, T, ref);
    }
    const double tol = FLOW_ROUNDING * d.tau_m[j] * std::fabs(ref);
    return gear == FORWARD ? T * ref > -tol : reverse_sign(d, j) * T * ref < tol;
}

// whether gear state g is open to joint j at x: a jammed gear is never reversed, a moving
// joint never stuck
static bool open_to(const Mode& m, int j, int g, const double x[STATE_LEN]) {
    return !(g == REVERSE && m.jam_side[j] < 0.0) && !(g == STUCK && x[2 + j] != 0.0);
}

// the free joints' tests of combination m (gear states set, sense filled in): which agree
static void test_free(const Run& r, const Forces& f, Mode* m, const double x[STATE_LEN],
                      const Mode& previous, bool agree[2]) {
    double a[2];
    double T[2];
    fixed_accel(r.d, f, *m, a, T);
    for (int j = 0; j < 2; ++j) {
        agree[j] = true;
        if (m->gear[j] != STUCK) {
            const double ref = x[2 + j] != 0.0 ? x[2 + j] : a[j];
            agree[j] = agrees_turned(r.d, previous, j, m->gear[j], T[j], ref);
            m->sense[j] = ref > 0.0 ? 1.0 : -1.0;
        }
    }
}

// whether joint j, stuck in combination m, would be freed forward or in reverse with the other
// joint as m has it
static bool freed_here(const Run& r, const Forces& f, const Mode& m, const double x[STATE_LEN],
                       int j) {
    if (m.gear[j] != STUCK) {
        return false;
    }
    for (const int g : {FORWARD, REVERSE}) {
        Mode freed = m;
        freed.gear[j] = g;
        if (!open_to(m, j, g, x)) {
            continue;
        }
        double a[2];
        double T[2];
        fixed_accel(r.d, f, freed, a, T);
        if (agrees(r.d, j, g, T[j], a[j])) {
            return true;
        }
    }
    return false;
}

// The first combination in which each joint's state holds by its own test: a free joint's
// direction agrees, a held joint is not freed. has[j] tells whether joint j holds in some
// combination beside a state of the other joint that holds too, or beside any state of an
// other joint that holds in none (a joint at rest whose freeing turns at once). Where no
// combination holds throughout but a joint at rest holds in none, the first combination in
// which every other joint holds is taken, that joint held (hopeless[j]).
static bool first_agreeing(const Run& r, const Forces& f, const double x[STATE_LEN],
                           const Mode& previous, Mode* m, bool has[2]) {
    struct Tried {
        Mode c;
        bool ok[2];
    };

    Tried tried[9];
    int count = 0;
    bool any_ok[2] = {false, false};
    for (const auto& combo : ORDER) {
        if (!open_to(*m, 0, combo[0], x) || !open_to(*m, 1, combo[1], x)
            || turned_from(previous, 0, combo[0]) || turned_from(previous, 1, combo[1])) {
            continue;
        }
        Tried& t = tried[count++];
        t.c = *m;
        t.c.gear[0] = combo[0];
        t.c.gear[1] = combo[1];
        bool agree[2];
        test_free(r, f, &t.c, x, previous, agree);
        for (int j = 0; j < 2; ++j) {
            t.ok[j] = t.c.gear[j] == STUCK ? !freed_here(r, f, t.c, x, j) : agree[j];
            any_ok[j] = any_ok[j] || t.ok[j];
        }
    }
    has[0] = has[1] = false;
    for (int i = 0; i < count; ++i) {
        for (int j = 0; j < 2; ++j) {
            has[j] = has[j] || (tried[i].ok[j] && (tried[i].ok[1 - j] || !any_ok[1 - j]));
        }
    }
    for (int i = 0; i < count; ++i) {
        if (tried[i].ok[0] && tried[i].ok[1]) {
            *m = tried[i].c;
            return true;
        }
    }
    for (int i = 0; i < count; ++i) {
        bool fits = true;
        for (int j = 0; j < 2; ++j) {
            const bool hopeless = !any_ok[j] && x[2 + j] == 0.0;
            fits = fits && (tried[i].ok[j] || (hopeless && tried[i].c.gear[j] == STUCK));
        }
        if (fits) {
            *m = tried[i].c;
            return true;
        }
    }
    for (int i = 0; i < count && x[2] == 0.0 && x[3] == 0.0; ++i) {
        // both at rest, and freeing either turns the other's test: the first combination whose
        // free joints agree, the other held, as the direction rules hold it (both held at last)
        bool fits = true;
        for (int j = 0; j < 2; ++j) {
            fits = fits && (tried[i].ok[j] || tried[i].c.gear[j] == STUCK);
        }
        if (fits) {
            *m = tried[i].c;
            return true;
        }
    }
    return false;
}

// The mesh of moving joint j stops it at once. The other joint k takes the impulse
// -M_kj dv_j through its own gear: its row for impulses is its row for accelerations without
// the bounded torques, and the impulse its motor passes, -IM dv_k, must agree with the
// direction assumed (its speed); where neither direction agrees, and where k is at rest, k's
// mesh takes the impulse and k keeps its speed.
static void stop_joint(const Drives& d, const Forces& f, int j, double x[STATE_LEN]) {
    const int k = 1 - j;
    const double dv_j = -x[2 + j];
    x[2 + j] = 0.0;
    const double Mkj = coupling(f, k);
    if (Mkj == 0.0) {
        return;
    }
    const double v_k = x[2 + k];
    if (v_k == 0.0) {
        return;  // a joint at rest takes the impulse in its mesh
    }
    const double Mkk = diagonal(f, k);
    const double dv_f = -Mkj * dv_j / (d.eta_f[k] * d.IM[k] + Mkk);
    if (agrees(d, k, FORWARD, -d.IM[k] * dv_f, v_k)) {
        x[2 + k] += dv_f;
        return;
    }
    if (jam_distance(d, f, k) > 0.0) {
        const double dv_r = -d.eta_r[k] * Mkj * dv_j / (d.IM[k] + d.eta_r[k] * Mkk);
        if (agrees(d, k, REVERSE, -d.IM[k] * dv_r, v_k)) {
            x[2 + k] += dv_r;
        }
    }
}

// whether resting joint k, held while the other joint slides, would be freed: forward or in
// reverse with its own acceleration agreeing
static bool freed_by_slide(const Run& r, const Forces& f, const Mode& m, int k, double t,
                           const double x[STATE_LEN]) {
    for (const int gk : {FORWARD, REVERSE}) {
        if (!open_to(m, k, gk, x)) {
            continue;
        }
        Mode freed = m;
        freed.gear[k] = gk;
        double a[2];
        double T[2];
        mode_accel(r, f, freed, t, x, a, T);
        if (agrees(r.d, k, gk, T[k], a[k])) {
            return true;
        }
    }
    return false;
}

// The slide of moving joint j with the other joint in the first state that agrees with its own
// direction (or slides too, where it moves and drove forward or slid before); false where there
// is none. A slide whose gear no longer brakes is forward driving.
static bool slide_mode(const Run& r, const Forces& f, const Mode& base, const Mode& previous, int j,
                       double t, const double x[STATE_LEN], Mode* out) {
    const int k = 1 - j;
    // the other gear keeps its state where that agrees
    const int kept = previous.gear[k];
    const bool k_may_slide =
        x[2 + k] != 0.0
        && (previous.gear[k] == SLIDE || (previous.gear[k] == FORWARD && base.jam_side[k] < 0.0));
    for (const int gk : {kept, int{FORWARD}, int{REVERSE}, int{STUCK}, int{SLIDE}}) {
        if (gk == SLIDE ? !k_may_slide : !open_to(base, k, gk, x) || turned_from(previous, k, gk)) {
            continue;
        }
        Mode c = base;
        c.gear[j] = SLIDE;
        c.gear[k] = gk;
        c.sense[j] = x[2 + j] > 0.0 ? 1.0 : -1.0;
        if (gk == SLIDE) {
            c.sense[k] = x[2 + k] > 0.0 ? 1.0 : -1.0;
        }
        const Slides sl = slide_accels(r, f, c, t, x);
        bool on_edge = true;
        for (int i = 0; i < 2; ++i) {
            // the other joint's new state may have moved the edge away: on its driving side the
            // motor drives, on its locking side the mesh stops the joint
            on_edge = on_edge
                      && (c.gear[i] != SLIDE || std::fabs(sl.flow[i]) <= SLIDE_EDGE * r.d.tau_m[i]);
        }
        if (!on_edge || (gk == SLIDE && sl.braking[k] <= 0.0)) {
            continue;
        }
        if (gk != SLIDE) {
            const double T_k = drive_torque(r.d, f, c, k) - r.d.IM[k] * sl.a[k];
            const double ref = x[2 + k] != 0.0 ? x[2 + k] : sl.a[k];
            if (gk != STUCK && !agrees_turned(r.d, previous, k, gk, T_k, ref)) {
                continue;
            }
            if (gk == STUCK && freed_by_slide(r, f, c, k, t, x)) {
                continue;
            }
            if (gk != STUCK) {
                c.sense[k] = ref > 0.0 ? 1.0 : -1.0;
            }
        }
        if (sl.braking[j] <= 0.0) {
            c.gear[j] = FORWARD;  // on the edge but no longer braking: the motor drives again
        }
        *out = c;
        return true;
    }
    return false;
}

// whether moving joint j, stopped, would be freed at once its own way
static bool freed_at_once(const Run& r, int j, double t, const double x[STATE_LEN]) {
    const int k = 1 - j;
    const double sense = x[2 + j] > 0.0 ? 1.0 : -1.0;
    double stopped[STATE_LEN];
    std::copy(x, x + STATE_LEN, stopped);
    stopped[2 + j] = 0.0;
    const Forces fs = forces_at(r, t, stopped);
    for (const int gk : {FORWARD, REVERSE, STUCK}) {
        Mode c = drive_mode(r.d, fs);
        c.gear[j] = FORWARD;
        c.gear[k] = gk;
        if (!open_to(c, k, gk, stopped)) {
            continue;
        }
        bool agree[2];
        test_free(r, fs, &c, stopped, Mode{}, agree);
        if (agree[j] && agree[k] && c.sense[j] == sense) {
            return true;
        }
    }
    return false;
}

// the joints that slide in next and did not in previous
static int slides_begun(const Mode& previous, const Mode& next) {
    int begun = 0;
    for (int j = 0; j < 2; ++j) {
        begun += next.gear[j] == SLIDE && previous.gear[j] != SLIDE ? 1 : 0;
    }
    return begun;
}

// The mode the rules give at (t, x) (see the file comment), the forces taken afresh from the
// state after every stop. A moving joint whose gear agrees with no direction slides or is
// stopped: x then holds the speeds after the stop.
static Mode choose_mode(const Run& r, double t, double x[STATE_LEN], const Mode& previous,
                        AccurateStats* st) {
    // each round stops a moving joint or returns; with both joints at rest, both stuck agrees
    for (int round = 0;; ++round) {
        assert(round <= 2);
        const Forces f = forces_at(r, t, x);
        Mode m = drive_mode(r.d, f);
        Mode next{};
        // A slide goes on while its gear brakes on the edge and its joint moves, whatever else
        // changed; a jammed gear driving forward on the edge starts to slide where its power
        // flow is about to turn (the sign of the flow itself says nothing there)
        for (const int c : {0, 1}) {
            const bool edge_candidate = previous.gear[c] == SLIDE
                                        || (previous.gear[c] == FORWARD && m.jam_side[c] < 0.0
                                            && freed_at_once(r, c, t, x));
            if (x[2 + c] != 0.0 && edge_candidate && slide_mode(r, f, m, previous, c, t, x, &next)
                && next.gear[c] == SLIDE) {
                st->slides += slides_begun(previous, next);
                return next;
            }
        }
        bool has[2];
        if (first_agreeing(r, f, x, previous, &m, has)) {
            return m;
        }
        // the moving joints to slide or stop, in this order: one left with no state at all
        // (forward just turned, reverse jammed), one whose gear has no direction, one that was
        // sliding or driving forward (its load overran it), joint 2 (as the direction rules
        // hold it first). The first that slides does; else the first is stopped.
        int order[2] = {-1, -1};
        int n = 0;
        const auto add = [&](int c) {
            if (x[2 + c] != 0.0 && n < 2 && order[0] != c) {
                order[n++] = c;
            }
        };
        for (const int c : {1, 0}) {
            if (!has[c]) {
                add(c);
            }
        }
        for (const int c : {1, 0}) {
            if (previous.gear[c] == SLIDE || previous.gear[c] == FORWARD) {
                add(c);
            }
        }
        add(1);
        add(0);
        for (int i = 0; i < n; ++i) {
            const int c = order[i];
            // stick-slip: the joint would be freed at once its own way after the stop
            if ((previous.gear[c] == FORWARD || previous.gear[c] == SLIDE)
                && freed_at_once(r, c, t, x) && slide_mode(r, f, m, previous, c, t, x, &next)) {
                st->slides += slides_begun(previous, next);
                return next;
            }
        }
        const int j = order[0];
        stop_joint(r.d, f, j, x);
        ++st->stops;
    }
}

// the values whose sign holds the mode: a monitor that is not negative at the start of a step
// and negative at its end marks a change of mode inside the step
static void monitors(const Run& r, const Mode& m, double t, const double x[STATE_LEN],
                     double g[MONITORS]) {
    const Drives& d = r.d;
    const Forces f = forces_at(r, t, x);
    double a[2];
    double T[2];
    Slides slides{};
    mode_accel(r, f, m, t, x, a, T, &slides);
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
            mode_accel(r, f, freed, t, x, af, Tf);
            gj[1] = -Tf[j] * af[j];
            gj[2] = 1.0;
            if (m.jam_side[j] > 0.0) {
                freed.gear[j] = REVERSE;
                double ar[2];
                double Tr[2];
                mode_accel(r, f, freed, t, x, ar, Tr);
                gj[2] = reverse_sign(d, j) * Tr[j] * ar[j];
            }
        } else if (m.gear[j] == SLIDE) {
            gj[1] = m.sense[j] * x[2 + j] + REVERSAL_SPEED;  // still moving the same way
            gj[2] = slides.braking[j];                       // still braking
        } else {
            gj[1] = m.sense[j] * x[2 + j] + REVERSAL_SPEED;  // still moving the same way
            // power flow, which counts as turned once it is past the rounding of a zero torque
            // (a gear that has just taken over from the other direction starts there)
            gj[2] = (m.gear[j] == FORWARD ? 1.0 : -reverse_sign(d, j)) * m.sense[j] * T[j]
                    + (x[2 + j] != 0.0 ? FLOW_ROUNDING * d.tau_m[j] : 0.0);
        }
    }
}

//------------------------------------------------------------------ integration

static void derivative(const Run& r, const Mode& m, double t, const double x[STATE_LEN],
                       double dx[STATE_LEN]) {
    const Forces f = forces_at(r, t, x);
    double a[2];
    double T[2];
    mode_accel(r, f, m, t, x, a, T);
    dx[0] = x[2];
    dx[1] = x[3];
    dx[2] = a[0];
    dx[3] = a[1];
    dx[4] = f.ref[0] - x[0];
    dx[5] = f.ref[1] - x[1];
}

// one classical fourth-order Runge-Kutta step of h (s) from t in mode m
static void rk4_step(const Run& r, const Mode& m, double t, double h, const double x[STATE_LEN],
                     double out[STATE_LEN]) {
    double k1[STATE_LEN];
    double k2[STATE_LEN];
    double k3[STATE_LEN];
    double k4[STATE_LEN];
    double y[STATE_LEN];
    derivative(r, m, t, x, k1);
    for (int i = 0; i < STATE_LEN; ++i) {
        y[i] = x[i] + 0.5 * h * k1[i];
    }
    derivative(r, m, t + 0.5 * h, y, k2);
    for (int i = 0; i < STATE_LEN; ++i) {
        y[i] = x[i] + 0.5 * h * k2[i];
    }
    derivative(r, m, t + 0.5 * h, y, k3);
    for (int i = 0; i < STATE_LEN; ++i) {
        y[i] = x[i] + h * k3[i];
    }
    derivative(r, m, t + h, y, k4);
    for (int i = 0; i < STATE_LEN; ++i) {
        out[i] = x[i] + h * (k1[i] + 2.0 * k2[i] + 2.0 * k3[i] + k4[i]) / 6.0;
    }
}

// one step of h within mode m with its error held: a whole step is compared with two halves
// (step doubling); where they differ by more than the tolerance each half is taken the same way.
// The result is the two halves' with the difference extrapolated away (fifth order).
static void smooth_step(const Run& r, const Mode& m, double t, double h, const double x[STATE_LEN],
                        double out[STATE_LEN], int depth, AccurateStats* st,
                        double* half = nullptr) {
    double whole[STATE_LEN];
    double mid[STATE_LEN];
    double halves[STATE_LEN];
    rk4_step(r, m, t, h, x, whole);
    rk4_step(r, m, t, 0.5 * h, x, mid);
    rk4_step(r, m, t + 0.5 * h, 0.5 * h, mid, halves);
    st->steps += 3;
    double err = 0.0;
    for (int i = 0; i < STATE_LEN; ++i) {
        const double tol = (i == 2 || i == 3) ? STEP_TOL_SPEED : STEP_TOL_ANGLE;
        err = std::max(err, std::fabs(halves[i] - whole[i]) / tol);
    }
    if (err > 1.0 && depth < MAX_HALVINGS) {
        smooth_step(r, m, t, 0.5 * h, x, mid, depth + 1, st);
        smooth_step(r, m, t + 0.5 * h, 0.5 * h, mid, out, depth + 1, st);
    } else {
        for (int i = 0; i < STATE_LEN; ++i) {
            out[i] = halves[i] + (halves[i] - whole[i]) / 15.0;
        }
    }
    if (half != nullptr) {
        std::copy(mid, mid + STATE_LEN, half);  // the state half way, for the monitors
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

// whether a monitor that holds at the start, half way and at the end of a step may have dipped
// below zero in between: the parabola through the three values does
static bool dipped(const double g0[MONITORS], const double gh[MONITORS],
                   const double g1[MONITORS]) {
    for (int i = 0; i < MONITORS; ++i) {
        const double c = 2.0 * (g1[i] - 2.0 * gh[i] + g0[i]);
        const double b = g1[i] - g0[i] - c;
        if (g0[i] >= 0.0 && c > 0.0 && -b > 0.0 && -b < 2.0 * c
            && g0[i] - b * b / (4.0 * c) < 0.0) {
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
    int burst;   // events in a row, each within ZENO_SPAN of the one before
    double cap;  // a step may reach no further than this: a monitor may have dipped there (s)
    double hold_until;  // the mode in force is held to this time, over an accumulation (s)
};

// advances the run to `target` (s), cutting the steps at the command's corners and at changes
// of mode; false when the step budget ran out on the way
static bool advance(const Run& r, double target, Hybrid* hy, AccurateStats* st) {
    while (hy->t < target) {
        if (st->steps >= st->budget) {
            return false;
        }
        while (hy->next_corner < r.corner_count && r.corners[hy->next_corner] <= hy->t) {
            ++hy->next_corner;
        }
        double stop = std::max(std::min(target, hy->cap), hy->t);
        bool at_corner = false;
        // a corner on the step's end is a corner too: the mode is chosen anew just after it,
        // and the next step does not start on the formula before it
        if (hy->next_corner < r.corner_count && r.corners[hy->next_corner] <= stop) {
            stop = r.corners[hy->next_corner];
            at_corner = true;
        }
        if (hy->t < hy->hold_until) {
            // an accumulation is passed in the mode in force, then the mode chosen anew
            stop = std::min(stop, hy->hold_until);
            double x1[STATE_LEN];
            smooth_step(r, hy->mode, hy->t, stop - hy->t, hy->x, x1, 0, st);
            std::copy(x1, x1 + STATE_LEN, hy->x);
            hy->t = stop;
            hy->monitored = false;
            if (at_corner) {
                hy->t = std::nextafter(stop, std::numeric_limits<double>::infinity());
            }
            if (at_corner || hy->t >= hy->hold_until) {
                hy->mode = choose_mode(r, hy->t, hy->x, hy->mode, st);
            }
            continue;
        }
        const double h = stop - hy->t;
        double g0[MONITORS];
        if (hy->monitored) {
            std::copy(hy->g, hy->g + MONITORS, g0);  // this state was the last step's end
        } else {
            monitors(r, hy->mode, hy->t, hy->x, g0);
        }
        hy->monitored = false;
        if (*std::min_element(g0, g0 + MONITORS) < 0.0) {
            // a mode that no longer holds (a monitor that reached zero only in its last bits):
            // choose afresh
            hy->mode = choose_mode(r, hy->t, hy->x, hy->mode, st);
            monitors(r, hy->mode, hy->t, hy->x, g0);
            if (*std::min_element(g0, g0 + MONITORS) < 0.0) {
                // no mode holds by its own test here (the limit of an accumulation whose
                // events shrink too slowly to be counted as one): the mode chosen is held over
                // ZENO_HOLD, whatever the grid, not over whatever step happens to follow
                ++st->accumulations;
                hy->burst = 0;
                hy->hold_until = hy->t + ZENO_HOLD;
                continue;
            }
        }
        double x1[STATE_LEN];
        double xh[STATE_LEN];
        smooth_step(r, hy->mode, hy->t, h, hy->x, x1, 0, st, xh);
        double g1[MONITORS];
        monitors(r, hy->mode, stop, x1, g1);
        // a switching there and back within one step shows at its half or in the curve of
        // its monitor: the crossing is then in the first half, or the step is halved
        double gh[MONITORS];
        monitors(r, hy->mode, hy->t + 0.5 * h, xh, gh);
        double span = h;
        if (!crossed(g0, g1) && crossed(g0, gh)) {
            span = 0.5 * h;
            std::copy(xh, xh + STATE_LEN, x1);
            std::copy(gh, gh + MONITORS, g1);
        } else if (!crossed(g0, g1) && dipped(g0, gh, g1) && h > MIN_DIP_STEP) {
            hy->cap = hy->t + 0.5 * h;
            continue;
        }
        hy->cap = std::numeric_limits<double>::infinity();
        if (crossed(g0, g1) && hy->burst >= ZENO_EVENTS) {
            // an accumulation of switchings: held over ZENO_HOLD from here
            ++st->accumulations;
            hy->burst = 0;
            hy->hold_until = hy->t + ZENO_HOLD;
            continue;
        }
        if (crossed(g0, g1)) {
            // the earliest crossing, by bisection of the step; the states tried are those the
            // step itself would reach, so the one kept has crossed exactly as located
            double lo = 0.0;
            double hi = span;
            double xe[STATE_LEN];
            double ge[MONITORS];
            std::copy(x1, x1 + STATE_LEN, xe);
            std::copy(g1, g1 + MONITORS, ge);
            while (hi - lo > EVENT_TIME_TOL) {
                const double mid = 0.5 * (lo + hi);
                double xm[STATE_LEN];
                smooth_step(r, hy->mode, hy->t, mid, hy->x, xm, 0, st);
                double gm[MONITORS];
                monitors(r, hy->mode, hy->t + mid, xm, gm);
                if (crossed(g0, gm)) {
                    hi = mid;
                    std::copy(xm, xm + STATE_LEN, xe);
                    std::copy(gm, gm + MONITORS, ge);
                } else {
                    lo = mid;
                }
            }
            std::copy(xe, xe + STATE_LEN, hy->x);
            hy->burst = hi < ZENO_SPAN ? hy->burst + 1 : 0;
            hy->t += hi;
            ++st->events;
            // a joint whose speed reached zero stops there; a free gear whose power flow turned
            // takes the other direction
            for (int j = 0; j < 2; ++j) {
                const int speed = MONITORS_PER_JOINT * j + 1;
                const int flow = MONITORS_PER_JOINT * j + 2;
                const int gear = hy->mode.gear[j];
                if (gear != STUCK && g0[speed] >= 0.0 && ge[speed] < 0.0) {
                    hy->x[2 + j] = 0.0;
                }
                hy->mode.turned[j] = (gear == FORWARD || gear == REVERSE) && g0[flow] >= 0.0
                                     && ge[flow] < 0.0 && hy->x[2 + j] != 0.0;
                if (hy->mode.turned[j] && std::fabs(hy->x[2 + j]) <= REVERSAL_SPEED) {
                    // turned as it left rest, within the speed that counts as turning back:
                    // it is at rest again
                    hy->x[2 + j] = 0.0;
                    hy->mode.turned[j] = false;
                }
            }
            hy->mode = choose_mode(r, hy->t, hy->x, hy->mode, st);
            continue;
        }
        std::copy(x1, x1 + STATE_LEN, hy->x);
        hy->t = stop;
        std::copy(g1, g1 + MONITORS, hy->g);
        hy->monitored = !at_corner;
        if (at_corner) {
            // the command takes its next formula just after the corner, and may change the mode
            hy->t = std::nextafter(stop, std::numeric_limits<double>::infinity());
            hy->mode = choose_mode(r, hy->t, hy->x, hy->mode, st);
        }
    }
    return true;
}

// record k as simulate() writes it, with the torque split of the mode in force; counts the
// sample as a disagreement where a free gear's power flows against its mode
static void record_mode_sample(const Run& r, int k, const Hybrid& hy, HistorySet* out,
                               AccurateStats* st) {
    record_sample(r.ps, r.ref, out, k, hy.x, r.step);
    if (k < 0 || k >= HISTORY_LEN) {
        return;
    }
    const double t = k * r.ps.settings.dt_sample;
    const Forces f = forces_at(r, t, hy.x);
    double a[2];
    double T[2];
    mode_accel(r, f, hy.mode, t, hy.x, a, T);
    for (int j = 0; j < 2; ++j) {
        out->tau_drive[k][j] = drive_torque(r.d, f, hy.mode, j);
        out->tau_inertia[k][j] = (r.d.IM[j] + diagonal(f, j)) * a[j] + coupling(f, j) * a[1 - j];
        out->tau_friction[k][j] = out->tau_drive[k][j] - out->tau_inertia[k][j] - f.h[j];
        const double v = hy.x[2 + j];
        const double tol = FLOW_ROUNDING * r.d.tau_m[j] * std::fabs(v);
        const int gear = hy.mode.gear[j];
        if ((gear == FORWARD && T[j] * v < -tol)
            || (gear == REVERSE && reverse_sign(r.d, j) * T[j] * v > tol)
            || (gear == STUCK && v != 0.0)) {
            ++st->disagreements;
        }
    }
}

// record `to` repeats record `from`: a run that ended early holds its last state
static void copy_sample(HistorySet* out, int from, int to) {
    for (const HistoryField& field : HISTORY_FIELD_TABLE) {
        for (int i = 0; i < 2; ++i) {
            (out->*field.values)[to][i] = (out->*field.values)[from][i];
        }
    }
}

ReachReport simulate_accurate(const ParameterSet& ps, int steps_per_sample, long step_budget,
                              const AccurateProgress* progress, HistorySet* out,
                              AccurateStats* stats) {
    assert(out != nullptr);
    const int robot_type = ps.settings.robot_type;
    const double dt = ps.settings.dt_sample;
    const double* theta0 = robot_of(ps.plan, robot_type).theta0;
    AccurateStats own = {};
    AccurateStats* st = stats != nullptr ? stats : &own;
    *st = AccurateStats{};
    const int last = std::min(ps.settings.n_sample, HISTORY_LEN - 1);
    const int steps = std::max(steps_per_sample, 1);
    st->budget = step_budget > 0 ? step_budget
                                 : std::max(ACCURATE_BUDGET_PER_STEP * steps * std::max(last, 1),
                                            ACCURATE_BUDGET_LEAST);
    const double h = dt / steps;
    ReferenceRun ref = new_reference_run(true);
    double corners[MAX_REFERENCE_CORNERS];
    const int corner_count =
        reference_corners(ps, robot_type, ps.settings.motion, ps.settings.cp, corners);
    const Run r{ps, &ref, robot_type, drives_of(ps, robot_type), corners, corner_count, h};

    Hybrid hy = {0.0, {theta0[0], theta0[1], 0.0, 0.0, 0.0, 0.0}, Mode{}, 0, false, {},
                 0,   std::numeric_limits<double>::infinity(),    0.0};
    // the first evaluation of the run is at t = 0, as the reference generator requires
    hy.mode = choose_mode(r, 0.0, hy.x, Mode{}, st);
    record_mode_sample(r, 0, hy, out, st);
    for (int k = 1; k <= last; ++k) {
        for (int s = 1; s <= steps && !st->budget_spent; ++s) {
            const double target = s == steps ? k * dt : (k - 1) * dt + s * h;
            st->budget_spent = !advance(r, target, &hy, st);
        }
        if (st->budget_spent) {
            // the run ends where the budget ran out; the samples after it hold that state
            const int reached = k - 1;
            for (int rest = k; rest <= last; ++rest) {
                copy_sample(out, reached, rest);
            }
            break;
        }
        record_mode_sample(r, k, hy, out, st);
        if (progress != nullptr) {
            progress->tell(progress->context, hy.t);
        }
    }
    st->t_end = hy.t;
    return ref.unreachable;
}

//------------------------------------------------------------------ reports

std::string accurate_report(const AccurateStats& stats) {
    char line[256];
    std::snprintf(line, sizeof line,
                  "accurate integration: %ld events located, %ld stops, %ld sliding intervals",
                  stats.events, stats.stops, stats.slides);
    std::string text = line;
    if (stats.accumulations > 0) {
        std::snprintf(line, sizeof line, ", %ld accumulations stepped over", stats.accumulations);
        text += line;
    }
    if (stats.disagreements > 0) {
        // never expected: a recorded sample whose mode its own direction test refuses
        std::snprintf(line, sizeof line, ", %ld samples against their gear's direction",
                      stats.disagreements);
        text += line;
    }
    if (stats.budget_spent) {
        std::snprintf(line, sizeof line, "; ended early at t = %.3f s", stats.t_end);
        text += line;
    }
    return text;
}

StiffestPole stiffest_pole(const ParameterSet& ps) {
    const Settings& s = ps.settings;
    const double wn[2] = {s.omega_n1, s.omega_n2};
    const double zeta[2] = {s.zeta1, s.zeta2};
    const double alpha[2] = {s.alpha1, s.alpha2};
    // each loop's fastest pole: the faster root of its pair, or its third pole
    StiffestPole fastest = {0, 0.0};
    for (int j = 0; j < 2; ++j) {
        const double pair = wn[j] * (zeta[j] + std::sqrt(std::max(zeta[j] * zeta[j] - 1.0, 0.0)));
        const double rate = std::max(std::fabs(pair), std::fabs(alpha[j]));
        if (j == 0 || rate > fastest.rate) {
            fastest = {j, rate};
        }
    }
    return fastest;
}

std::string accurate_budget_report(const ParameterSet& ps, const AccurateStats& stats) {
    const StiffestPole pole = stiffest_pole(ps);
    const int j = pole.joint;
    const double fn = hz_of_omega(j == 0 ? ps.settings.omega_n1 : ps.settings.omega_n2);
    const double alpha = j == 0 ? ps.settings.alpha1 : ps.settings.alpha2;
    char line[512];
    std::snprintf(line, sizeof line,
                  "the accurate run ended at t = %.3f s: %ld integration steps were not enough. "
                  "Joint %d's loop is too stiff to follow: its fastest pole is at %.4g 1/s "
                  "(fn%d = %.4g Hz, alpha%d = %.4g 1/s); the fixed step runs it",
                  stats.t_end, stats.budget, j + 1, pole.rate, j + 1, fn, j + 1, alpha);
    return line;
}

}  // namespace robosim
