// The whole preparation of an experiment from its settings: the defaults of every setting, and
// the derived model with the planned motion. Derivation comes from model/, conversion and
// planning from here, so that the model needs nothing of planning.
#include "planning/experiment.h"

#include "model/derive.h"
#include "planning/cp_path.h"
#include "planning/trapezoid.h"

#include <cmath>

constexpr double DEFAULT_MOTOR_POWER = 110.0;    // both motors of both robots        (W)
constexpr double PRESET_ROTOR_INERTIA = 3.7e-5;  // set as such, not by the motor law (kg*m^2)
constexpr double PRESET_MAX_TORQUE = 0.42;       // set as such, not by the motor law (N*m)
constexpr double DEFAULT_FN = 4.0;               // natural frequency of both loops (Hz)

//------------------------------------------------------------------ helpers

// makes the CP pattern `rec` of kind `cp` current and plans it for both robots
static void preplan_cp(ParameterSet& p, const PatternRecord& rec, int cp) {
    p.tf = rec.tf;
    p.x0 = rec.x0;
    p.y0 = rec.y0;
    p.xf = rec.xf;
    p.yf = rec.yf;
    p.cp = cp;
    convert_motion_ends(p, 'a');
    convert_motion_ends(p, 'b');
    plan_cp_path(p, 'a', cp);
    plan_cp_path(p, 'b', cp);
}

//------------------------------------------------------------------ defaults

void set_defaults(ParameterSet& p) {
    p = ParameterSet{};  // every field not named below starts at zero

    // display settings and sampling
    p.view_origin = {-0.5, -0.5};
    p.graph_origin = {0.4, 0.5};
    p.torque_origin1 = {0.4, 0.1};
    p.torque_origin2 = {0.4, -0.6};
    p.torque_half1 = 0.25;
    p.torque_half2 = 0.25;
    p.inertia_origin = {0.4, -0.3};
    p.inertia_height = 0.4;
    p.graph_width = 0.5;
    p.error_gain = 10.0;
    p.error_gain_default = 10.0;
    p.joint_r1 = 0.035;
    p.joint_r2 = 0.8 * p.joint_r1;
    p.hand_len = 0.03;
    p.hand_w = 0.06;
    p.dt_sample = 0.02;
    p.n_sample = 200;
    p.wc = 0.12;

    // cylindrical robot
    p.cyl.L = 0.5;
    derive_arm(p, 'a');
    p.mw = 1.0;
    derive_work(p, p.mw);
    p.cyl.PW1 = DEFAULT_MOTOR_POWER;
    p.cyl.PW2 = DEFAULT_MOTOR_POWER;
    p.cyl.IM1 = PRESET_ROTOR_INERTIA;
    p.cyl.IM2 = PRESET_ROTOR_INERTIA;
    p.cyl.tau_m1 = PRESET_MAX_TORQUE;
    p.cyl.tau_m2 = PRESET_MAX_TORQUE;
    p.cyl.u1 = 100.0;
    p.cyl.u2 = 100.0;
    p.cyl.eta_fwd1 = 0.6;
    p.cyl.eta_fwd2 = 0.6;
    derive_gear(p, 'a');
    derive_nominal_inertia(p, 'a');

    // SCARA robot: the user's joint-2-to-work distance 0.4 m, stored less wc
    p.scara.L1 = 0.4;
    p.scara.L2 = 0.4 - p.wc;
    derive_arm(p, 'b');
    p.mw = 1.0;
    derive_work(p, p.mw);
    p.scara.PW1 = DEFAULT_MOTOR_POWER;
    p.scara.PW2 = DEFAULT_MOTOR_POWER;
    p.scara.IM1 = PRESET_ROTOR_INERTIA;
    p.scara.IM2 = PRESET_ROTOR_INERTIA;
    p.scara.IM[0] = PRESET_ROTOR_INERTIA;
    p.scara.IM[1] = PRESET_ROTOR_INERTIA;
    p.scara.tau_m1 = PRESET_MAX_TORQUE;
    p.scara.tau_m2 = PRESET_MAX_TORQUE;
    p.scara.u1 = 60.0;
    p.scara.u2 = 60.0;
    p.scara.eta_fwd1 = 0.6;
    p.scara.eta_fwd2 = 0.6;
    p.scara.eta[0] = p.scara.eta_fwd1;
    p.scara.eta[2] = p.scara.eta_fwd2;
    derive_gear(p, 'b');
    derive_nominal_inertia(p, 'b');

    // control: fn = 4 Hz, critically damped, third pole at 4/s
    p.omega_n1 = 2.0 * PI * DEFAULT_FN;
    p.omega_n2 = 2.0 * PI * DEFAULT_FN;
    p.zeta1 = 1.0;
    p.zeta2 = 1.0;
    p.alpha1 = 4.0;
    p.alpha2 = 4.0;
    derive_gains(p, 'a');
    derive_gains(p, 'b');

    p.graph_select = 't';
    p.gravity = 'g';

    // PTP patterns: 0.3 m at 60 degrees to 0.6 m at 120 degrees
    p.step.x0 = 0.3 * std::cos(PI / 3.0);
    p.step.y0 = 0.3 * std::sin(PI / 3.0);
    p.step.xf = 0.6 * std::cos(2.0 * PI / 3.0);
    p.step.yf = 0.6 * std::sin(2.0 * PI / 3.0);
    p.trap.x0 = p.step.x0;
    p.trap.y0 = p.step.y0;
    p.trap.xf = p.step.xf;
    p.trap.yf = p.step.yf;
    p.trap.tf = 2.0;
    p.x0 = p.trap.x0;
    p.y0 = p.trap.y0;
    p.xf = p.trap.xf;
    p.yf = p.trap.yf;
    convert_motion_ends(p, 'a');
    convert_motion_ends(p, 'b');
    p.tf = p.trap.tf;
    plan_ptp_motors(p, 'a');
    plan_ptp_motors(p, 'b');

    // CP patterns, each made current in turn and planned for both robots
    p.line.x0 = 0.3;
    p.line.y0 = 0.0;
    p.line.xf = 0.3;
    p.line.yf = 0.6;
    p.line.tf = 1.5;
    preplan_cp(p, p.line, 1);

    p.circle.Ox = 0.2;
    p.circle.Oy = 0.0;
    p.circle.rr = 0.5;
    p.circle.tf = 2.5;
    p.circle.x0 = p.circle.Ox + p.circle.rr;
    p.circle.y0 = p.circle.Oy;
    p.circle.xf = p.circle.x0;
    p.circle.yf = p.circle.y0;
    preplan_cp(p, p.circle, 2);

    p.ucurve.x0 = 0.2;
    p.ucurve.y0 = 0.0;
    p.ucurve.xf = 0.6;
    p.ucurve.yf = 0.0;
    p.ucurve.x1 = 0.2;
    p.ucurve.y1 = 0.3;
    p.ucurve.x2 = 0.6;
    p.ucurve.y2 = 0.3;
    p.ucurve.tf = 2.5;
    preplan_cp(p, p.ucurve, 3);

    p.sine.x0 = -0.1;
    p.sine.y0 = 0.3;
    p.sine.L = 0.6;
    p.sine.A = 0.2;
    p.sine.tf = 2.0;
    p.sine.xf = p.sine.x0 + p.sine.L;
    p.sine.yf = p.sine.y0;
    preplan_cp(p, p.sine, 4);

    p.motion = 'c';
    p.robot_type = 'b';
}

//------------------------------------------------------------------ driver

// copies start, end and time of the pattern in use into the current motion; a motion or cp
// outside its list leaves the current motion as it was
static void copy_current_pattern(ParameterSet& ps) {
    const PatternRecord* p = nullptr;
    if (ps.motion == 'q') {
        p = &ps.step;
    } else if (ps.motion == 'p') {
        p = &ps.trap;
    } else if (ps.motion == 'c') {
        switch (ps.cp) {
            case 1:
                p = &ps.line;
                break;
            case 2:
                p = &ps.circle;
                break;
            case 3:
                p = &ps.ucurve;
                break;
            case 4:
                p = &ps.sine;
                break;
            default:
                break;  // other kinds have no path record
        }
    }
    if (p == nullptr) {
        return;
    }
    ps.x0 = p->x0;
    ps.y0 = p->y0;
    ps.xf = p->xf;
    ps.yf = p->yf;
    if (ps.motion != 'q') {  // the step command has no time: tf keeps its value
        ps.tf = p->tf;
    }
}

ReachReport update_derived(ParameterSet& ps) {
    const int rt = ps.robot_type;
    derive_arm(ps, rt);              // link masses and inertias
    derive_work(ps, ps.mw);          // work block size and inertia
    derive_motor(ps, rt);            // rotor inertias, maximum torques
    derive_gear(ps, rt);             // reverse efficiencies
    derive_nominal_inertia(ps, rt);  // needs arm, work and motor data
    derive_gains(ps, rt);            // needs JM1, JM2
    copy_current_pattern(ps);        // current motion from the current pattern

    // start and end in joint and motor coordinates
    const ReachReport unreachable = convert_motion_ends(ps, rt);
    // plan the motion (a type without a robot converts and plans nothing)
    if (ps.motion == 'p') {
        plan_ptp_motors(ps, rt);
    } else if (ps.motion == 'c') {
        plan_cp_path(ps, rt, ps.cp);
    }
    return unreachable;
}
