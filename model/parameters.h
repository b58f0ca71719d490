// model/parameters.h: the settings of an experiment and the physical model derived from them
#pragma once

namespace robosim {

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

// One robot's user settings. The two instances `cyl` (robot 'a', cylindrical coordinates) and
// `scara` (robot 'b') have the same shape; a field that belongs to one robot only is left zero
// in the other. Scalar pairs end in 1 and 2 (motor or joint 1 and 2).
struct RobotSettings {
    double L;                   // arm length of the cylindrical robot, cyl only            (m)
    double L1;                  // link 1 length, joint 1 to joint 2, scara only            (m)
    double L2;                  // link 2 length, joint 2 to the arm tip (work less wc)     (m)
    double PW1, PW2;            // motor powers                                             (W)
    double u1, u2;              // reduction ratios (cyl u2: motor rad per metre)           (-)
    double eta_fwd1, eta_fwd2;  // forward gear efficiencies, motor drives the load         (-)
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

// What the user chooses: the experiment's settings, SI units and radians throughout (Hz only
// in dialogs and reports). The dialogs, the data file and the keys write it; everything else
// is derived from it.
struct Settings {
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

    // robot records
    RobotSettings cyl;    // robot 'a'
    RobotSettings scara;  // robot 'b'

    // motion pattern records
    PatternRecord step;    // 'q' PTP with step command
    PatternRecord trap;    // 'p' PTP with trapezoidal velocity
    PatternRecord line;    // cp 1 straight line
    PatternRecord circle;  // cp 2 circle
    PatternRecord ucurve;  // cp 3 inverted U
    PatternRecord sine;    // cp 4 sine curve

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

// One robot's physical model derived from its settings: motors, gears, nominal inertia, gains
// and links. Same two instances and conventions as RobotSettings; arrays are indexed 0 for
// motor 1 and 1 for motor 2.
struct RobotModel {
    double IM1, IM2;            // rotor inertias                                           (kg*m^2)
    double tau_m1, tau_m2;      // maximum motor torques                                    (N*m)
    double eta_rev1, eta_rev2;  // reverse gear efficiencies, load drives the motor          (-)
    double JM1, JM2;            // nominal inertia seen by each motor                       (kg*m^2)
    double Kp1, Kv1, Ki1;       // joint-1 gains                (N*m/rad, N*m*s/rad, N*m/(rad*s))
    double Kp2, Kv2, Ki2;       // joint-2 gains                (N*m/rad, N*m*s/rad, N*m/(rad*s))
    double IM[2];               // scara only: IM1, IM2 as an array                         (kg*m^2)
    double eta[4];              // scara only: eta_fwd1, eta_rev1, eta_fwd2, eta_rev2       (-)

    // links of the cylindrical robot
    double d;       // cyl: arm pipe diameter L/10                              (m)
    double m_arm;   // cyl: arm mass                                            (kg)
    double IG_arm;  // cyl: arm inertia about its centre                        (kg*m^2)
    double d3;      // cyl: drawing size 3*d                                    (m)
    // links of the SCARA robot (d2 serves both robots: cyl 2*d, scara L2/5)
    double d1, d2;    // scara: link pipe diameters; cyl d2: drawing size 2*d     (m)
    double lc1, lc2;  // scara: centre-of-mass distance of each link from its joint (m)
    double m1, m2;    // scara: link masses                                       (kg)
    double IG1, IG2;  // scara: link inertias about their centres                 (kg*m^2)
};

// The physical model derived from the settings (a function of them alone)
struct DerivedModel {
    // work block
    double work_a, work_b;  // side lengths of the block that models the work              (m)
    double IGw;             // work inertia about its own centre                           (kg*m^2)

    RobotModel cyl;    // robot 'a'
    RobotModel scara;  // robot 'b'
};

//------------------------------------------------------------------ tables
// names of the CP path kinds, indexed by cp 0 .. 4; each ends in its own newline
extern const char cp_names[CP_NAME_COUNT][CP_NAME_SIZE];

//------------------------------------------------------------------ conversions
// written once here: the dialogs, the data files, the reports, the model and the view convert
// with these and no other formula.

// the angular frequency of a natural frequency typed in Hz: omega = 2 pi fn (rad/s)
inline double omega_of_hz(double fn_hz) {
    return 2.0 * PI * fn_hz;
}

// the natural frequency of an angular frequency, as the console shows it: fn = omega / (2 pi) (Hz)
inline double hz_of_omega(double omega) {
    return omega / (2.0 * PI);
}

// the SCARA robot's joint 2 to the work, as the data file and the dialogs give it: L2w = L2 + wc
// (m)
inline double scara_L2w(const Settings& s) {
    return s.scara.L2 + s.wc;
}

// the SCARA link 2 of a distance from joint 2 to the work: L2 = L2w - wc (m)
inline double scara_L2_of(double L2w, double wc) {
    return L2w - wc;
}

//------------------------------------------------------------------ records
// the record of a robot type in the settings, the derived model or the plan, for code that
// treats every type other than 'b' as the cylindrical robot (the simulation's rule)
template <class Records>
auto& robot_of(Records& records, int robot_type) {
    return robot_type == 'b' ? records.scara : records.cyl;
}

}  // namespace robosim
