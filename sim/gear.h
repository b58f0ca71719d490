// sim/gear.h: motor accelerations through reduction gears that lose power in either direction
#pragma once

namespace robosim {

//------------------------------------------------------------------ constants
constexpr double REST_SPEED = 0.01;  // a motor slower than this counts as at rest    (rad/s)
// a reverse effective inertia within this share of the rotor inertia counts as jammed     (-)
constexpr double JAM_MARGIN = 0.1;

// Every function works at the motor shafts: tau drive torque (N*m), h load torque (Coriolis
// plus gravity, N*m), IM rotor inertia and M the 2x2 inertia matrix row by row (kg*m^2), v motor
// speed (rad/s); accelerations in rad/s^2. Joint arrays are indexed 0 for joint 1, 1 for joint 2.
// The gear passes the motor's torque with eta_f when the motor drives the load,
//   M a + h = eta_f (tau - IM a),
// and the load's torque back with eta_r when the load drives the motor,
//   tau - IM a = eta_r (M a + h),
// that is a factor e on the motor's net torque: e = eta_f forward, e = 1 / eta_r reverse.

//------------------------------------------------------------------ fixed direction
// one joint with the other held, factor e: a = (e tau - h) / (e IM + Mjj); T = tau - IM a is the
// torque the motor passes into its gear (N*m)
double solve_single(double e, double tau, double IM, double Mjj, double h, double* T);

// both joints, factors e1 and e2: the coupled solution a[2] and the torques T[2] into the gears
void solve_pair(double e1, double e2, const double tau[2], const double h[2], const double IM[2],
                const double M[4], double a[2], double T[2]);

//------------------------------------------------------------------ jammed gears
// whether a gear cannot be driven by its load: reverse driving would need the effective
// inertia IM + eta_r Mjj to be zero or negative (a strongly self-locking worm)
bool gear_jams(double IM, double eta_r, double Mjj);

// whether a gear is self-locking: its load can pass no power back to the motor (eta_r <= 0)
bool self_locking(double eta_r);

// the acceleration with which a locked mesh stops a joint moving at v within stop_time (s)
double locked_stop(double v, double stop_time);

//------------------------------------------------------------------ direction found
// one joint of the uncoupled (cylindrical) robot; joint 0 or 1 picks M11 or M22; returns the
// acceleration and writes the inertia torque and the loss (friction) torque. stop_time (s):
// the time within which a jammed gear stops its moving joint, the integration step
double joint_accel_single(int joint, double v, double tau, double h, double eta_f, double eta_r,
                          double IM, const double M[4], double stop_time, double* tau_inertia,
                          double* tau_friction);

// both joints of the coupled (SCARA) robot; eta = (eta_f1, eta_r1, eta_f2, eta_r2); stop_time
// as for one joint
void joint_accel_pair(const double v[2], const double tau[2], const double h[2],
                      const double eta[4], const double IM[2], const double M[4], double stop_time,
                      double a[2], double tau_inertia[2], double tau_friction[2]);

}  // namespace robosim
