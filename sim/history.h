// sim/history.h: the result histories of the last simulation of each robot type
#pragma once

namespace robosim {

//------------------------------------------------------------------ constants
constexpr int HISTORY_LEN = 500;  // records per field; a run writes 0 .. n_sample

//------------------------------------------------------------------ types
// One record per output sample k; [k][0] is motor/joint 1 or the x coordinate, [k][1] motor/joint
// 2 or y. All torques and inertias are at the motor shafts.
struct HistorySet {
    double theta[HISTORY_LEN][2];         // motor angles                              (rad)
    double theta_ref[HISTORY_LEN][2];     // commanded motor angles at t = k dt_sample (rad)
    double theta_err[HISTORY_LEN][2];     // theta_ref - theta                         (rad)
    double pos[HISTORY_LEN][2];           // work position in the plane                (m)
    double pos_ref[HISTORY_LEN][2];       // commanded work position                   (m)
    double pos_err[HISTORY_LEN][2];       // pos_ref - pos                             (m)
    double tau_drive[HISTORY_LEN][2];     // controller output torque                  (N*m)
    double tau_inertia[HISTORY_LEN][2];   // inertia torque                            (N*m)
    double tau_coriolis[HISTORY_LEN][2];  // Coriolis and centrifugal torque           (N*m)
    double tau_gravity[HISTORY_LEN][2];   // gravity torque; 0 with gravity off        (N*m)
    double tau_friction[HISTORY_LEN][2];  // loss torque of the gear                   (N*m)
    double inertia_seen[HISTORY_LEN][2];  // inertia seen by each motor, IM + M_jj     (kg*m^2)
};

// one field of the set by the name its CSV columns carry (name_1, name_2; pos fields _x, _y)
struct HistoryField {
    const char* name;  // "theta", "tau_drive", ...
    bool planar;       // its two values are x and y, not motors 1 and 2
    double (HistorySet::*values)[HISTORY_LEN][2];
};

constexpr int HISTORY_FIELDS = 12;
extern const HistoryField HISTORY_FIELD_TABLE[HISTORY_FIELDS];  // in the order of the CSV

// the first value of samples 0 .. n that is not finite, sample by sample in the CSV's column
// order: where a run blew up (or planned a point it cannot reach). sample is -1 when every
// value is finite.
struct Divergence {
    int sample;                 // k of the first non-finite value, or -1     (-)
    const HistoryField* field;  // its quantity
    int index;                  // 0 or 1: motor 1 / x, motor 2 / y
    double value;               // the value: NaN or an infinity
};

Divergence first_divergence(const HistorySet* h, int n);

}  // namespace robosim
