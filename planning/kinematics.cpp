// Kinematics of the two robots in the plane of motion (origin on the axis of joint 1):
//   cylindrical: x = phi2 cos(phi1), y = phi2 sin(phi1)
//   SCARA:       x = L1 cos(phi1) + L2e cos(phi1 + phi2), y = L1 sin(phi1) + L2e sin(phi1 + phi2)
//   L2e = scara.L2 + wc, the length from joint 2 to the work, read afresh at every call
#include "planning/kinematics.h"

#include "model/parameters.h"

#include <algorithm>
#include <cmath>

namespace robosim {

//------------------------------------------------------------------ motor side

void joint_to_motor(const Settings& s, int robot_type, const double phi[2], double theta[2]) {
    const RobotSettings& rs = robot_of(s, robot_type);
    theta[0] = rs.u1 * phi[0];
    theta[1] = rs.u2 * phi[1];
}

//------------------------------------------------------------------ inverse kinematics

void ik_cylindrical(const Settings& s, double x, double y, const double phi_ref[2], double phi[2],
                    double theta[2]) {
    const double phi_raw[2] = {std::atan2(y, x), std::sqrt(x * x + y * y)};
    // the prismatic component is unwrapped too; it would need a jump of more than pi metres
    unwrap_joint_angles(phi_ref, phi_raw, phi);
    joint_to_motor(s, 'a', phi, theta);
}

// law of cosines at the elbow: c = cos(beta) = (a^2 + b^2 - r^2) / (2 a b), beta the inner angle;
// gamma = acos((a^2 + r^2 - b^2) / (2 a r)), arm 1 turned clockwise from the target line by gamma;
// phi1 = atan2(y, x) - gamma, phi2 = pi - beta
bool ik_scara(const Settings& s, double x, double y, const double phi_ref[2], double phi[2],
              double theta[2]) {
    double a = s.scara.L1;
    double b = scara_L2w(s);
    double r = std::sqrt(x * x + y * y);
    double c = (a * a + b * b - r * r) / (2.0 * a * b);
    if (std::isnan(c)) {
        // a square or 2ab beyond a double (inf / inf): the same triangle scaled to its longest
        // side, so that a point beyond astronomical arms is still out of reach, not NaN
        const double longest = std::max({a, b, std::hypot(x, y)});
        a /= longest;
        b /= longest;
        r = std::hypot(x, y) / longest;
        c = (a * a + b * b - r * r) / (2.0 * a * b);
    }
    // out of reach: the cosine goes into acos unchanged and gives not-a-number values
    const bool reachable = !(std::fabs(c) > 1.0);
    const double beta = std::acos(c);
    const double alpha = std::atan2(y, x);
    const double gamma = std::acos((a * a + r * r - b * b) / (2.0 * a * r));
    const double phi_raw[2] = {alpha - gamma, PI - beta};
    unwrap_joint_angles(phi_ref, phi_raw, phi);
    joint_to_motor(s, 'b', phi, theta);
    return reachable;
}

void unwrap_joint_angles(const double phi_ref[2], const double phi_raw[2], double phi[2]) {
    const double P = PI;
    for (int i = 0; i < 2; ++i) {
        const double raw = phi_raw[i];
        const double ref = phi_ref[i];
        const double d = raw - ref;
        // candidates in the order raw, +2P, -2P, +4P, -4P; strict tests keep the earlier on a tie
        double v = raw;
        if (std::fabs(d) > std::fabs(d + 2.0 * P)) {
            v = raw + 2.0 * P;
        }
        if (std::fabs(v - ref) > std::fabs(d - 2.0 * P)) {
            v = raw - 2.0 * P;
        }
        if (std::fabs(v - ref) > std::fabs(d + 4.0 * P)) {
            v = raw + 4.0 * P;
        }
        if (std::fabs(v - ref) > std::fabs(d - 4.0 * P)) {
            v = raw - 4.0 * P;
        }
        phi[i] = v;
    }
}

//------------------------------------------------------------------ current motion

void add_unreachable(ReachReport* report, double x, double y) {
    if (report->count < REACH_REPORT_POINTS) {
        report->points[report->count] = {x, y};
    }
    ++report->count;
}

ReachReport convert_motion_ends(const Settings& s, Plan& plan, int robot_type) {
    const double zero[2] = {0.0, 0.0};
    ReachReport report = {};
    if (robot_type == 'a') {
        RobotPlan& rp = plan.cyl;
        ik_cylindrical(s, plan.x0, plan.y0, zero, rp.phi0, rp.theta0);
        ik_cylindrical(s, plan.xf, plan.yf, zero, rp.phif, rp.thetaf);
    } else if (robot_type == 'b') {
        RobotPlan& rp = plan.scara;
        if (!ik_scara(s, plan.x0, plan.y0, zero, rp.phi0, rp.theta0)) {
            add_unreachable(&report, plan.x0, plan.y0);
        }
        if (!ik_scara(s, plan.xf, plan.yf, zero, rp.phif, rp.thetaf)) {
            add_unreachable(&report, plan.xf, plan.yf);
        }
    }
    return report;
}

//------------------------------------------------------------------ Jacobian

void jacobian(const Settings& s, int robot_type, const double phi[2], double J[4]) {
    const double s1 = std::sin(phi[0]);
    const double c1 = std::cos(phi[0]);
    if (robot_type == 'a') {
        J[0] = -phi[1] * s1;
        J[1] = c1;
        J[2] = phi[1] * c1;
        J[3] = s1;
    } else if (robot_type == 'b') {
        const double L1 = s.scara.L1;
        const double b = scara_L2w(s);
        const double s12 = std::sin(phi[0] + phi[1]);
        const double c12 = std::cos(phi[0] + phi[1]);
        J[0] = -L1 * s1 - b * s12;
        J[1] = -b * s12;
        J[2] = L1 * c1 + b * c12;
        J[3] = b * c12;
    }
}

}  // namespace robosim
