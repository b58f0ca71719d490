// The whole preparation of an experiment from its settings: the defaults of every setting, and
// the derived model with the planned motion. Derivation comes from model/, conversion and
// planning from here, so that the model needs nothing of planning.
#include "planning/experiment.h"

#include "model/derive.h"
#include "planning/cp_path.h"
#include "planning/trapezoid.h"

#include <cmath>

namespace robosim {

constexpr double DEFAULT_MOTOR_POWER = 110.0;    // both motors of both robots        (W)
constexpr double PRESET_ROTOR_INERTIA = 3.7e-5;  // set as such, not by the motor law (kg*m^2)
constexpr double PRESET_MAX_TORQUE = 0.42;       // set as such, not by the motor law (N*m)
constexpr double DEFAULT_FN = 4.0;               // natural frequency of both loops (Hz)

//------------------------------------------------------------------ helpers

// makes the CP pattern `rec` of kind `cp` current and plans it for both robots
static void preplan_cp(ParameterSet& p, const PatternRecord& rec, int cp) {
    p.plan.tf = rec.tf;
    p.plan.x0 = rec.x0;
    p.plan.y0 = rec.y0;
    p.plan.xf = rec.xf;
    p.plan.yf = rec.yf;
    p.settings.cp = cp;
    convert_motion_ends(p.settings, p.plan, 'a');
    convert_motion_ends(p.settings, p.plan, 'b');
    plan_cp_path(p.settings, p.plan, 'a', cp);
    plan_cp_path(p.settings, p.plan, 'b', cp);
}

//------------------------------------------------------------------ defaults

void set_defaults(ParameterSet& p) {
    p = ParameterSet{};  // every field not named below starts at zero

    // display settings and sampling
    p.settings.view_origin = {-0.5, -0.5};
    p.settings.graph_origin = {0.4, 0.5};
    p.settings.torque_origin1 = {0.4, 0.1};
    p.settings.torque_origin2 = {0.4, -0.6};
    p.settings.torque_half1 = 0.25;
    p.settings.torque_half2 = 0.25;
    p.settings.inertia_origin = {0.4, -0.3};
    p.settings.inertia_height = 0.4;
    p.settings.graph_width = 0.5;
    p.settings.error_gain = 10.0;
    p.settings.error_gain_default = 10.0;
    p.settings.joint_r1 = 0.035;
    p.settings.joint_r2 = 0.8 * p.settings.joint_r1;
    p.settings.hand_len = 0.03;
    p.settings.hand_w = 0.06;
    p.settings.dt_sample = 0.02;
    p.settings.n_sample = 200;
    p.settings.wc = 0.12;

    // cylindrical robot
    p.settings.cyl.L = 0.5;
    derive_arm(p.settings, p.model, 'a');
    p.settings.mw = 1.0;
    derive_work(p.model, p.settings.mw);
    p.settings.cyl.PW1 = DEFAULT_MOTOR_POWER;
    p.settings.cyl.PW2 = DEFAULT_MOTOR_POWER;
    p.model.cyl.IM1 = PRESET_ROTOR_INERTIA;
    p.model.cyl.IM2 = PRESET_ROTOR_INERTIA;
    p.model.cyl.tau_m1 = PRESET_MAX_TORQUE;
    p.model.cyl.tau_m2 = PRESET_MAX_TORQUE;
    p.settings.cyl.u1 = 100.0;
    p.settings.cyl.u2 = 100.0;
    p.settings.cyl.eta_fwd1 = 0.6;
    p.settings.cyl.eta_fwd2 = 0.6;
    derive_gear(p.settings, p.model, 'a');
    derive_nominal_inertia(p.settings, p.model, 'a');

    // SCARA robot: the user's joint-2-to-work distance 0.4 m, stored less wc
    p.settings.scara.L1 = 0.4;
    p.settings.scara.L2 = 0.4 - p.settings.wc;
    derive_arm(p.settings, p.model, 'b');
    p.settings.mw = 1.0;
    derive_work(p.model, p.settings.mw);
    p.settings.scara.PW1 = DEFAULT_MOTOR_POWER;
    p.settings.scara.PW2 = DEFAULT_MOTOR_POWER;
    p.model.scara.IM1 = PRESET_ROTOR_INERTIA;
    p.model.scara.IM2 = PRESET_ROTOR_INERTIA;
    p.model.scara.IM[0] = PRESET_ROTOR_INERTIA;
    p.model.scara.IM[1] = PRESET_ROTOR_INERTIA;
    p.model.scara.tau_m1 = PRESET_MAX_TORQUE;
    p.model.scara.tau_m2 = PRESET_MAX_TORQUE;
    p.settings.scara.u1 = 60.0;
    p.settings.scara.u2 = 60.0;
    p.settings.scara.eta_fwd1 = 0.6;
    p.settings.scara.eta_fwd2 = 0.6;
    p.model.scara.eta[0] = p.settings.scara.eta_fwd1;
    p.model.scara.eta[2] = p.settings.scara.eta_fwd2;
    derive_gear(p.settings, p.model, 'b');
    derive_nominal_inertia(p.settings, p.model, 'b');

    // control: fn = 4 Hz, critically damped, third pole at 4/s
    p.settings.omega_n1 = omega_of_hz(DEFAULT_FN);
    p.settings.omega_n2 = omega_of_hz(DEFAULT_FN);
    p.settings.zeta1 = 1.0;
    p.settings.zeta2 = 1.0;
    p.settings.alpha1 = 4.0;
    p.settings.alpha2 = 4.0;
    derive_gains(p.settings, p.model, 'a');
    derive_gains(p.settings, p.model, 'b');

    p.settings.graph_select = 't';
    p.settings.gravity = 'g';

    // PTP patterns: 0.3 m at 60 degrees to 0.6 m at 120 degrees
    p.settings.step.x0 = 0.3 * std::cos(PI / 3.0);
    p.settings.step.y0 = 0.3 * std::sin(PI / 3.0);
    p.settings.step.xf = 0.6 * std::cos(2.0 * PI / 3.0);
    p.settings.step.yf = 0.6 * std::sin(2.0 * PI / 3.0);
    p.settings.trap.x0 = p.settings.step.x0;
    p.settings.trap.y0 = p.settings.step.y0;
    p.settings.trap.xf = p.settings.step.xf;
    p.settings.trap.yf = p.settings.step.yf;
    p.settings.trap.tf = 2.0;
    p.plan.x0 = p.settings.trap.x0;
    p.plan.y0 = p.settings.trap.y0;
    p.plan.xf = p.settings.trap.xf;
    p.plan.yf = p.settings.trap.yf;
    convert_motion_ends(p.settings, p.plan, 'a');
    convert_motion_ends(p.settings, p.plan, 'b');
    p.plan.tf = p.settings.trap.tf;
    plan_ptp_motors(p.plan, 'a');
    plan_ptp_motors(p.plan, 'b');

    // CP patterns, each made current in turn and planned for both robots
    p.settings.line.x0 = 0.3;
    p.settings.line.y0 = 0.0;
    p.settings.line.xf = 0.3;
    p.settings.line.yf = 0.6;
    p.settings.line.tf = 1.5;
    preplan_cp(p, p.settings.line, 1);

    p.settings.circle.Ox = 0.2;
    p.settings.circle.Oy = 0.0;
    p.settings.circle.rr = 0.5;
    p.settings.circle.tf = 2.5;
    p.settings.circle.x0 = p.settings.circle.Ox + p.settings.circle.rr;
    p.settings.circle.y0 = p.settings.circle.Oy;
    p.settings.circle.xf = p.settings.circle.x0;
    p.settings.circle.yf = p.settings.circle.y0;
    preplan_cp(p, p.settings.circle, 2);

    p.settings.ucurve.x0 = 0.2;
    p.settings.ucurve.y0 = 0.0;
    p.settings.ucurve.xf = 0.6;
    p.settings.ucurve.yf = 0.0;
    p.settings.ucurve.x1 = 0.2;
    p.settings.ucurve.y1 = 0.3;
    p.settings.ucurve.x2 = 0.6;
    p.settings.ucurve.y2 = 0.3;
    p.settings.ucurve.tf = 2.5;
    preplan_cp(p, p.settings.ucurve, 3);

    p.settings.sine.x0 = -0.1;
    p.settings.sine.y0 = 0.3;
    p.settings.sine.L = 0.6;
    p.settings.sine.A = 0.2;
    p.settings.sine.tf = 2.0;
    p.settings.sine.xf = p.settings.sine.x0 + p.settings.sine.L;
    p.settings.sine.yf = p.settings.sine.y0;
    preplan_cp(p, p.settings.sine, 4);

    p.settings.motion = 'c';
    p.settings.robot_type = 'b';
}

//------------------------------------------------------------------ driver

// copies start, end and time of the pattern in use into the current motion; a motion or cp
// outside its list leaves the current motion as it was
static void copy_current_pattern(ParameterSet& ps) {
    const PatternRecord* p = nullptr;
    if (ps.settings.motion == 'q') {
        p = &ps.settings.step;
    } else if (ps.settings.motion == 'p') {
        p = &ps.settings.trap;
    } else if (ps.settings.motion == 'c') {
        switch (ps.settings.cp) {
            case 1:
                p = &ps.settings.line;
                break;
            case 2:
                p = &ps.settings.circle;
                break;
            case 3:
                p = &ps.settings.ucurve;
                break;
            case 4:
                p = &ps.settings.sine;
                break;
            default:
                break;  // other kinds have no path record
        }
    }
    if (p == nullptr) {
        return;
    }
    ps.plan.x0 = p->x0;
    ps.plan.y0 = p->y0;
    ps.plan.xf = p->xf;
    ps.plan.yf = p->yf;
    if (ps.settings.motion != 'q') {  // the step command has no time: tf keeps its value
        ps.plan.tf = p->tf;
    }
}

ReachReport update_derived(ParameterSet& ps) {
    const int rt = ps.settings.robot_type;
    derive_arm(ps.settings, ps.model, rt);              // link masses and inertias
    derive_work(ps.model, ps.settings.mw);              // work block size and inertia
    derive_motor(ps.settings, ps.model, rt);            // rotor inertias, maximum torques
    derive_gear(ps.settings, ps.model, rt);             // reverse efficiencies
    derive_nominal_inertia(ps.settings, ps.model, rt);  // needs arm, work and motor data
    derive_gains(ps.settings, ps.model, rt);            // needs JM1, JM2
    copy_current_pattern(ps);                           // current motion from the current pattern

    // start and end in joint and motor coordinates
    const ReachReport unreachable = convert_motion_ends(ps.settings, ps.plan, rt);
    // plan the motion (a type without a robot converts and plans nothing)
    if (ps.settings.motion == 'p') {
        plan_ptp_motors(ps.plan, rt);
    } else if (ps.settings.motion == 'c') {
        plan_cp_path(ps.settings, ps.plan, rt, ps.settings.cp);
    }
    return unreachable;
}

}  // namespace robosim
