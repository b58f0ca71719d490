// CP paths, parameterised by arc length s from the start:
//   line:    P0 + s (cos psi, sin psi)
//   circle:  centre + rr (cos(s/rr), sin(s/rr)), one counter-clockwise turn from the right end
//   U-curve: rise P0 -> P1 (psi1), half circle of diameter D leaving P1 upwards and bulging to +y,
//            descent from P2 (psi3)
//   sine:    y = A sin(k (x - x0)) + y0, k = 2 pi / L; x(s) from dx/ds = 1 / sqrt(1 + y'^2)
// The arc length follows one trapezoidal profile (t1, t2, tf, am1, am2, vm, 0, sf).
#include "planning/cp_path.h"

#include "model/parameters.h"
#include "planning/trapezoid.h"

#include <cmath>
#include <cstdint>

namespace robosim {

//------------------------------------------------------------------ helpers

// length of the vector (dx, dy) (m)
static double length_of(double dx, double dy) {
    return std::sqrt(dx * dx + dy * dy);
}

// 1 / sqrt(1 + (k A cos(k xi))^2): dx/ds of the sine path at xi = x - x0
static double sine_dx_ds(double k, double A, double xi) {
    const double slope = k * A * std::cos(k * xi);
    return 1.0 / std::sqrt(1.0 + slope * slope);
}

// point and velocity on a straight segment from (x0, y0) in direction psi
static void straight_segment(double x0, double y0, double psi, double s, double s_dot,
                             double pos[2], double vel[2]) {
    const double c = std::cos(psi);
    const double n = std::sin(psi);
    pos[0] = x0 + s * c;
    pos[1] = y0 + s * n;
    vel[0] = s_dot * c;
    vel[1] = s_dot * n;
}

//------------------------------------------------------------------ planning

void plan_cp_path(const Settings& s, Plan& plan, int robot_type, int cp) {
    switch (cp) {
        case 1: {
            const double dx = s.line.xf - s.line.x0;
            const double dy = s.line.yf - s.line.y0;
            plan.psi = std::atan2(dy, dx);
            plan.sf = length_of(dx, dy);
            break;
        }
        case 2:
            plan.sf = 2.0 * PI * s.circle.rr;
            break;
        case 3: {
            const PatternRecord& u = s.ucurve;
            const double d1 = length_of(u.x1 - u.x0, u.y1 - u.y0);
            plan.psi1 = std::atan2(u.y1 - u.y0, u.x1 - u.x0);
            const double d3 = length_of(u.xf - u.x2, u.yf - u.y2);
            plan.psi3 = std::atan2(u.yf - u.y2, u.xf - u.x2);
            plan.D = length_of(u.x2 - u.x1, u.y2 - u.y1);
            plan.s1 = d1;
            plan.s2 = d1 + PI * plan.D / 2.0;
            plan.sf = d1 + d3 + PI * plan.D / 2.0;
            break;
        }
        case 4:
            plan.sf = sine_arc_length(SINE_LENGTH_STEPS, s.sine.L, s.sine.A);
            break;
        default:
            break;  // other kinds have no geometry: the profile is planned on the old sf
    }

    // arc-length profile, the PTP rule with one acceleration time at both ends
    if (robot_type != 'a' && robot_type != 'b') {
        return;  // no robot, no profile
    }
    RobotPlan& rp = robot_of(plan, robot_type);
    rp.t1 = ACCEL_FRACTION * plan.tf;
    rp.t2 = rp.t1;
    rp.am1 = plan.sf / ((plan.tf - rp.t1) * rp.t1);
    rp.am2 = rp.am1;
    rp.vm = rp.am1 * rp.t1;
}

//------------------------------------------------------------------ evaluation

double sine_arc_length(int n, double L, double A) {
    const double k = 2.0 * PI / L;
    const auto f = [k, A](double xi) {
        const double slope = k * A * std::cos(k * xi);
        return std::sqrt(1.0 + slope * slope);
    };
    // Simpson: h/3 sum over pairs of f(2ih) + 4 f((2i+1)h) + f((2i+2)h)
    const double h = L / n;
    double sum = 0.0;
    for (int i = 0; i < n / 2; ++i) {
        sum += f(2 * i * h) + 4.0 * f((2 * i + 1) * h) + f((2 * i + 2) * h);
    }
    return h * sum / 3.0;
}

// x(s) by Heun's method, evaluated afresh
static double integrate_sine_x(const PatternRecord& sine, int n, double s) {
    const double A = sine.A;
    const double k = 2.0 * PI / sine.L;
    // Heun: k1 = h g(xi), k2 = h g(xi + k1), xi += (k1 + k2) / 2, from xi = 0 at every call
    const double h = s / n;
    double xi = 0.0;
    for (int i = 0; i < n; ++i) {
        const double k1 = h * sine_dx_ds(k, A, xi);
        const double k2 = h * sine_dx_ds(k, A, xi + k1);
        xi = xi + (k1 + k2) / 2.0;
    }
    return sine.x0 + xi;
}

double sine_x_of_s(const PatternRecord& sine, SineMemo* memo, int n, double s) {
    const SineMemo key = {
        true, n, double_bits(s), double_bits(sine.x0), double_bits(sine.L), double_bits(sine.A),
        0.0};
    if (memo == nullptr) {
        return integrate_sine_x(sine, n, s);
    }
    if (memo->valid && memo->n == key.n && memo->s == key.s && memo->x0 == key.x0
        && memo->L == key.L && memo->A == key.A) {
        return memo->x;
    }
    *memo = key;
    memo->x = integrate_sine_x(sine, n, s);
    return memo->x;
}

void evaluate_cp_path(const ParameterSet& p, SineMemo* memo, int cp, double s, double s_dot,
                      double pos[2], double vel[2]) {
    switch (cp) {
        case 1:
            straight_segment(p.settings.line.x0, p.settings.line.y0, p.plan.psi, s, s_dot, pos,
                             vel);
            break;
        case 2: {
            const double r = p.settings.circle.rr;
            const double phi = s / r;
            pos[0] = p.settings.circle.Ox + r * std::cos(phi);
            pos[1] = p.settings.circle.Oy + r * std::sin(phi);
            vel[0] = -s_dot * std::sin(phi);
            vel[1] = s_dot * std::cos(phi);
            break;
        }
        case 3: {
            const PatternRecord& u = p.settings.ucurve;
            // an s that is not a number matches no segment: say so in the outputs
            pos[0] = pos[1] = vel[0] = vel[1] = std::nan("");
            if (s <= p.plan.s1) {
                straight_segment(u.x0, u.y0, p.plan.psi1, s, s_dot, pos, vel);
            }
            if (p.plan.s1 < s && s < p.plan.s2) {
                // half circle: phi = 2 (s - s1) / D, rho = D / 2
                const double phi = 2.0 * (s - p.plan.s1) / p.plan.D;
                const double rho = p.plan.D / 2.0;
                pos[0] = u.x1 + rho * (1.0 - std::cos(phi));
                pos[1] = u.y1 + rho * std::sin(phi);
                vel[0] = s_dot * std::sin(phi);
                vel[1] = s_dot * std::cos(phi);
            }
            if (s >= p.plan.s2) {
                straight_segment(u.x2, u.y2, p.plan.psi3, s - p.plan.s2, s_dot, pos, vel);
            }
            break;
        }
        case 4: {
            const double k = 2.0 * PI / p.settings.sine.L;
            const double x = sine_x_of_s(p.settings.sine, memo, SINE_X_STEPS, s);
            const double phi = k * (x - p.settings.sine.x0);
            const double slope = k * p.settings.sine.A * std::cos(phi);  // y'
            const double w = 1.0 + slope * slope;
            pos[0] = x;
            pos[1] = p.settings.sine.y0 + p.settings.sine.A * std::sin(phi);
            vel[0] = s_dot / std::sqrt(w);
            vel[1] = slope * vel[0];
            break;
        }
        default:
            // no path of this kind: the work point is commanded to stay at the start
            pos[0] = p.plan.x0;
            pos[1] = p.plan.y0;
            vel[0] = 0.0;
            vel[1] = 0.0;
            break;
    }
}

}  // namespace robosim
