// Kinematics of the two robots in the plane of motion (origin on the axis of joint 1):
//   cylindrical: x = phi2 cos(phi1), y = phi2 sin(phi1)
//   SCARA:       x = L1 cos(phi1) + L2e cos(phi1 + phi2), y = L1 sin(phi1) + L2e sin(phi1 + phi2)
//   L2e = scara.L2 + wc, the length from joint 2 to the work, read afresh at every call
#include "planning/kinematics.h"

#include "model/parameters.h"

#include <cmath>

//------------------------------------------------------------------ motor side

void joint_to_motor(const ParameterSet& p, int robot_type, const double phi[2], double theta[2]) {
    const RobotRecord* r = robot_record(p, robot_type);
    theta[0] = r->u1 * phi[0];
    theta[1] = r->u2 * phi[1];
}

//------------------------------------------------------------------ inverse kinematics

void ik_cylindrical(const ParameterSet& p, double x, double y, const double phi_ref[2],
                    double phi[2], double theta[2]) {
    const double phi_raw[2] = {std::atan2(y, x), std::sqrt(x * x + y * y)};
    // the prismatic component is unwrapped too; it would need a jump of more than pi metres
    unwrap_joint_angles(phi_ref, phi_raw, phi);
    joint_to_motor(p, 'a', phi, theta);
}

// law of cosines at the elbow: c = cos(beta) = (a^2 + b^2 - r^2) / (2 a b), beta the inner angle;
// gamma = acos((a^2 + r^2 - b^2) / (2 a r)), arm 1 turned clockwise from the target line by gamma;
// phi1 = atan2(y, x) - gamma, phi2 = pi - beta
bool ik_scara(const ParameterSet& p, double x, double y, const double phi_ref[2], double phi[2],
              double theta[2]) {
    const double a = p.scara.L1;
    const double b = p.scara.L2 + p.wc;
    const double r = std::sqrt(x * x + y * y);
    const double c = (a * a + b * b - r * r) / (2.0 * a * b);
    // out of reach: the cosine goes into acos unchanged and gives not-a-number values
    const bool reachable = !(std::fabs(c) > 1.0);
    const double beta = std::acos(c);
    const double alpha = std::atan2(y, x);
    const double gamma = std::acos((a * a + r * r - b * b) / (2.0 * a * r));
    const double phi_raw[2] = {alpha - gamma, PI - beta};
    unwrap_joint_angles(phi_ref, phi_raw, phi);
    joint_to_motor(p, 'b', phi, theta);
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

ReachReport convert_motion_ends(ParameterSet& p, int robot_type) {
    const double zero[2] = {0.0, 0.0};
    ReachReport report = {};
    if (robot_type == 'a') {
        RobotRecord& r = p.cyl;
        ik_cylindrical(p, p.x0, p.y0, zero, r.phi0, r.theta0);
        ik_cylindrical(p, p.xf, p.yf, zero, r.phif, r.thetaf);
    } else if (robot_type == 'b') {
        RobotRecord& r = p.scara;
        if (!ik_scara(p, p.x0, p.y0, zero, r.phi0, r.theta0)) {
            add_unreachable(&report, p.x0, p.y0);
        }
        if (!ik_scara(p, p.xf, p.yf, zero, r.phif, r.thetaf)) {
            add_unreachable(&report, p.xf, p.yf);
        }
    }
    return report;
}

//------------------------------------------------------------------ Jacobian

void jacobian(const ParameterSet& p, int robot_type, const double phi[2], double J[4]) {
    const double s1 = std::sin(phi[0]);
    const double c1 = std::cos(phi[0]);
    if (robot_type == 'a') {
        J[0] = -phi[1] * s1;
        J[1] = c1;
        J[2] = phi[1] * c1;
        J[3] = s1;
    } else if (robot_type == 'b') {
        const double L1 = p.scara.L1;
        const double b = p.scara.L2 + p.wc;
        const double s12 = std::sin(phi[0] + phi[1]);
        const double c12 = std::cos(phi[0] + phi[1]);
        J[0] = -L1 * s1 - b * s12;
        J[1] = -b * s12;
        J[2] = L1 * c1 + b * c12;
        J[3] = b * c12;
    }
}
