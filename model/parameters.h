// model/parameters.h: the one parameter set of the simulated robot, its motion and its views
#pragma once

//------------------------------------------------------------------ constants
// the 15-digit pi of planning, kinematics and path geometry (not the full double pi)
constexpr double PI = 3.14159265358979;

constexpr int CP_NAME_COUNT = 5;  // slots of cp_names, indexed by cp 0 .. 4
constexpr int CP_NAME_SIZE = 20;  // bytes per slot of cp_names

//------------------------------------------------------------------ types
// a point or a vector in the robot plane (m) or in window units
struct Point2 {
    double x, y;
};

// One robot's user settings, derived model and planning results. The two instances `cyl`
// (robot 'a', cylindrical coordinates) and `scara` (robot 'b') have the same shape; a field
// that belongs to one robot only is left zero in the other. Scalar pairs end in 1 and 2
// (motor or joint 1 and 2); arrays are indexed 0 for motor 1 and 1 for motor 2.
struct RobotRecord {
    // user settings
    double L;                   // arm length of the cylindrical robot, cyl only            (m)
    double L1;                  // link 1 length, joint 1 to joint 2, scara only            (m)
    double L2;                  // link 2 length, joint 2 to the arm tip (work less wc)     (m)
    double PW1, PW2;            // motor powers                                             (W)
    double u1, u2;              // reduction ratios (cyl u2: motor rad per metre)           (-)
    double eta_fwd1, eta_fwd2;  // forward gear efficiencies, motor drives the load         (-)

    // derived: motors, gears, nominal inertia, gains
    double IM1, IM2;            // rotor inertias, derived                                  (kg*m^2)
    double tau_m1, tau_m2;      // maximum motor torques, derived                           (N*m)
    double eta_rev1, eta_rev2;  // reverse gear efficiencies, load drives the motor, derived (-)
    double JM1, JM2;            // nominal inertia seen by each motor, derived              (kg*m^2)
    double Kp1, Kv1, Ki1;       // joint-1 gains, derived       (N*m/rad, N*m*s/rad, N*m/(rad*s))
    double Kp2, Kv2, Ki2;       // joint-2 gains, derived       (N*m/rad, N*m*s/rad, N*m/(rad*s))
    double IM[2];               // scara only: IM1, IM2 as an array, derived                (kg*m^2)
    double eta[4];              // scara only: eta_fwd1, eta_rev1, eta_fwd2, eta_rev2, derived (-)

    // derived: links of the cylindrical robot
    double d;       // cyl: arm pipe diameter L/10, derived                     (m)
    double m_arm;   // cyl: arm mass, derived                                   (kg)
    double IG_arm;  // cyl: arm inertia about its centre, derived               (kg*m^2)
    double d3;      // cyl: drawing size 3*d, derived                           (m)
    // derived: links of the SCARA robot (d2 serves both robots: cyl 2*d, scara L2/5)
    double d1, d2;    // scara: link pipe diameters; cyl d2: drawing size 2*d     (m)
    double lc1, lc2;  // scara: centre-of-mass distance of each link from its joint (m)
    double m1, m2;    // scara: link masses, derived                              (kg)
    double IG1, IG2;  // scara: link inertias about their centres, derived        (kg*m^2)

    // planning: inverse kinematics of the current motion's start and end
    double phi0[2], phif[2];      // joint values at start and end (rad; cyl joint 2 in m)
    double theta0[2], thetaf[2];  // motor angles at start and end                          (rad)

    // planning: trapezoidal PTP profiles of the two motors
    double t11, t12;            // end of acceleration of motor 1 and motor 2               (s)
    double omega_m1, omega_m2;  // constant motor speeds                                    (rad/s)
    double alpha_m1, alpha_m2;  // motor accelerations (rad/s^2)

    // planning: trapezoidal profile of the CP path parameter (arc length)
    double t1, t2;    // acceleration and deceleration times                      (s)
    double am1, am2;  // start acceleration and end deceleration                  (m/s^2)
    double vm;        // constant path speed                                      (m/s)
};

// One motion pattern's settings. One shape serves all six patterns; each uses only its fields:
//   step, trap, line: x0 y0 xf yf (and tf except step)
//   circle: Ox Oy rr tf; x0 y0 = xf yf = (Ox + rr, Oy), derived
//   ucurve: x0 y0 xf yf, bend points x1 y1 and x2 y2, tf
//   sine:   x0 y0 L A tf; xf yf = (x0 + L, y0), derived
struct PatternRecord {
    double x0, y0;  // start of the motion                                                  (m)
    double xf, yf;  // end of the motion                                                    (m)
    double tf;      // motion time                                                          (s)
    double Ox, Oy;  // circle centre                                                        (m)
    double rr;      // circle radius                                                        (m)
    double x1, y1;  // U-curve bend point P1                                                (m)
    double x2, y2;  // U-curve bend point P2                                                (m)
    double L;       // sine wavelength                                                      (m)
    double A;       // sine amplitude                                                       (m)
};

// The whole parameter set, SI units and radians throughout (Hz only in dialogs and reports).
struct ParameterSet {
    // selectors: integers holding a character code, except cp
    int robot_type;    // 'a' cylindrical, 'b' SCARA
    int gravity;       // 'g' gravity on (vertical motion), 'h' off (horizontal motion)
    int fb_type;       // 'v' velocity feedback, 'V' velocity-error feedback
    int motion;        // 'q' PTP step, 'p' PTP trapezoid, 'c' CP motion
    int cp;            // CP path kind: 1 line, 2 circle, 3 U-curve, 4 sine
    int graph_select;  // lower graph of the window: 't' torque, 'i' inertia

    // settings shared by both robots
    double mw;                  // work (payload) mass                                      (kg)
    double wc;                  // arm tip to work position, fixed                          (m)
    double omega_n1, omega_n2;  // natural angular frequencies of the joint loops           (rad/s)
    double zeta1, zeta2;        // damping ratios of the joint loops                        (-)
    double alpha1, alpha2;      // third closed-loop pole; 0 gives PD control               (1/s)
    double dt_sample;           // interval between output samples                          (s)
    int n_sample;               // output samples of one simulation run                     (-)

    // work block, derived
    double work_a, work_b;  // side lengths of the block that models the work              (m)
    double IGw;             // work inertia about its own centre                           (kg*m^2)

    // robot records
    RobotRecord cyl;    // robot 'a'
    RobotRecord scara;  // robot 'b'

    // motion pattern records
    PatternRecord step;    // 'q' PTP with step command
    PatternRecord trap;    // 'p' PTP with trapezoidal velocity
    PatternRecord line;    // cp 1 straight line
    PatternRecord circle;  // cp 2 circle
    PatternRecord ucurve;  // cp 3 inverted U
    PatternRecord sine;    // cp 4 sine curve

    // current motion, a copy of the current pattern made by update_derived
    double x0, y0;  // start                                                                (m)
    double xf, yf;  // end                                                                  (m)
    double tf;      // motion time                                                          (s)

    // CP path constants, shared by both robots, rewritten by every plan_cp_path
    double sf;          // path length                                                      (m)
    double psi;         // direction of the straight line                                   (rad)
    double psi1, psi3;  // directions of the U-curve's rise (P0 to P1) and descent (P2 to Pf) (rad)
    double D;           // diameter of the U-curve's half circle, |P2 - P1|                 (m)
    double s1, s2;      // arc lengths where the U-curve's half circle begins and ends      (m)

    // display settings (window units)
    Point2 view_origin;         // robot base in the robot view, before scaling
    Point2 graph_origin;        // origin of the joint displacement graph
    Point2 torque_origin1;      // centre line of the motor-1 torque graph
    Point2 torque_origin2;      // centre line of the motor-2 torque graph
    double torque_half1;        // half height of the motor-1 torque graph
    double torque_half2;        // half height of the motor-2 torque graph
    Point2 inertia_origin;      // origin of the inertia graph
    double inertia_height;      // height of the inertia graph
    double graph_width;         // length of the time axis of every graph
    double error_gain;          // magnification of the error curves
    double error_gain_default;  // what key commands restore error_gain to
    double joint_r1, joint_r2;  // joint circle radii: first joint, SCARA second joint
    double hand_len, hand_w;    // hand at the arm tip: along and across the arm
};

//------------------------------------------------------------------ program-wide objects
// The programs' current experiment (the interactive program's, or the batch tool's one run).
// Nothing in model/, planning/ or sim/ reads it: every function there is handed the set it
// works on. Zero until set_defaults(params) runs.
extern ParameterSet params;

// names of the CP path kinds, indexed by cp 0 .. 4; each ends in its own newline
extern const char cp_names[CP_NAME_COUNT][CP_NAME_SIZE];

//------------------------------------------------------------------ records
// the record of a robot type for code that treats every type other than 'b' as the
// cylindrical robot (the simulation's rule); reads robot_type's argument only
RobotRecord* robot_record(ParameterSet& p, int robot_type);
const RobotRecord* robot_record(const ParameterSet& p, int robot_type);
