// planning/cp_path.h: geometry of the four CP paths and the profile of their arc length
#pragma once

#include "planning/plan.h"

#include <cstdint>

namespace robosim {

//------------------------------------------------------------------ constants
constexpr int SINE_LENGTH_STEPS = 100;  // Simpson intervals for the sine path length
constexpr int SINE_X_STEPS = 200;       // Heun steps for x(s) of the sine path

//------------------------------------------------------------------ types
// The last x(s) of the sine path with everything it depends on, compared bit for bit: after
// tf the whole rest of a run asks for x(sf), and within a step the same s comes several times.
// Kept per run; a result computed again would be the same to the last bit.
struct SineMemo {
    bool valid;
    int n;
    std::uint64_t s, x0, L, A;  // bit patterns of the arguments and the settings read
    double x;                   // the result (m)
};

//------------------------------------------------------------------ planning
// recomputes the path constants of kind cp (sf, psi, psi1, psi3, D, s1, s2) and plans the arc
// length profile t1 = t2, am1 = am2, vm from sf and the current tf into the record of robot
// 'a' or 'b' (another type plans no profile); a cp outside 1 .. 4 keeps the old sf
void plan_cp_path(const Settings& s, Plan& plan, int robot_type, int cp);

//------------------------------------------------------------------ evaluation
// point (m) and velocity (m/s) of path kind cp at arc length s (m) and path speed s_dot (m/s);
// reads the pattern record of the kind and the path constants; memo (nullptr: none) keeps
// the sine path's last x(s)
void evaluate_cp_path(const ParameterSet& p, SineMemo* memo, int cp, double s, double s_dot,
                      double pos[2], double vel[2]);

// length of one wavelength L (m) of the sine path of amplitude A (m), Simpson's rule on n
// intervals
double sine_arc_length(int n, double L, double A);

// x (m) of the sine path point at arc length s (m), Heun's method with n steps from sine.x0;
// memo (nullptr: none) keeps the last result
double sine_x_of_s(const PatternRecord& sine, SineMemo* memo, int n, double s);

}  // namespace robosim
