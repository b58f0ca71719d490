// CP path geometry and the arc-length profile.
#include "planning/cp_path.h"

#include "model/parameters.h"
#include "tests/support/model_test.h"

#include <cmath>
#include <numbers>

using namespace robosim;

using CpPathTest = ModelTest;

// makes CP path kind cp current with its record's time, as the planning stage does
static void plan_path(ParameterSet& params, int robot_type, int cp) {
    const PatternRecord* rec[5] = {nullptr, &params.settings.line, &params.settings.circle,
                                   &params.settings.ucurve, &params.settings.sine};
    params.plan.tf = rec[cp]->tf;
    plan_cp_path(params.settings, params.plan, robot_type, cp);
}

//------------------------------------------------------------------ printed values

TEST_F(CpPathTest, StraightLineProfile) {
    plan_path(params, 'a', 1);
    const RobotPlan& rp = params.plan.cyl;
    EXPECT_DOUBLE_EQ(params.plan.psi, std::numbers::pi / 2.0);  // atan2 gives the double pi/2
    EXPECT_NEAR(params.plan.sf, 0.6, 1e-15);
    EXPECT_NEAR(rp.t1, 0.15, 1e-15);
    EXPECT_EQ(rp.t2, rp.t1);
    EXPECT_NEAR(rp.am1, 2.963, 0.0005);  // printed to 4 digits
    EXPECT_EQ(rp.am2, rp.am1);
    EXPECT_NEAR(rp.vm, 0.4444, 0.00005);  // printed to 4 digits
}

TEST_F(CpPathTest, CircleRunsOnceAroundFromTheRightEnd) {
    plan_path(params, 'b', 2);
    EXPECT_NEAR(params.plan.sf, 3.1416, 0.00005);  // printed to 4 decimals
    double pos[2], vel[2];
    evaluate_cp_path(params, nullptr, 2, params.plan.sf, 0.0, pos, vel);
    // one turn of PI-based arc length: off the double-pi turn by ~1e-15
    EXPECT_NEAR(pos[0], 0.7, 1e-14);
    EXPECT_NEAR(pos[1], 0.0, 1e-14);
    evaluate_cp_path(params, nullptr, 2, params.plan.sf / 4.0, 1.0, pos, vel);
    EXPECT_NEAR(pos[0], 0.2, 1e-14);  // a quarter turn counter-clockwise: top of the circle
    EXPECT_NEAR(pos[1], 0.5, 1e-14);
    EXPECT_NEAR(vel[0], -1.0, 1e-14);
}

TEST_F(CpPathTest, SineLengthAndItsShortEnd) {
    plan_path(params, 'b', 4);
    EXPECT_NEAR(params.plan.sf, 1.0361, 0.00005);  // printed to 4 decimals
    EXPECT_NEAR(sine_x_of_s(params.settings.sine, nullptr, SINE_X_STEPS, params.plan.sf)
                    - params.settings.sine.x0,
                0.59997, 0.000005);
}

TEST_F(CpPathTest, FlatSineIsAStraightLine) {
    params.settings.sine.A = 0.0;
    plan_path(params, 'b', 4);
    EXPECT_DOUBLE_EQ(params.plan.sf,
                     params.settings.sine.L);  // Simpson on a constant: rounding only
    for (double s : {0.0, 0.17, 0.6}) {
        // 200 additions of s/200: rounding of 200 sums of 0.6 m
        EXPECT_NEAR(sine_x_of_s(params.settings.sine, nullptr, SINE_X_STEPS, s),
                    params.settings.sine.x0 + s, 1e-14);
    }
}

TEST_F(CpPathTest, InvertedUGeometry) {
    plan_path(params, 'a', 3);
    EXPECT_NEAR(params.plan.s1, 0.3, 1e-15);
    EXPECT_NEAR(params.plan.D, 0.4, 1e-15);
    EXPECT_NEAR(params.plan.s2, 0.3 + 0.2 * PI, 1e-15);
    EXPECT_NEAR(params.plan.sf, 0.6 + 0.2 * PI, 1e-15);
    EXPECT_DOUBLE_EQ(params.plan.psi1, std::numbers::pi / 2.0);  // atan2 gives the double pi/2
    EXPECT_DOUBLE_EQ(params.plan.psi3, -std::numbers::pi / 2.0);

    // continuous everywhere, top at y = 0.5
    const int n = 4000;
    const double ds = params.plan.sf / n;
    double prev[2], vel[2];
    evaluate_cp_path(params, nullptr, 3, 0.0, 1.0, prev, vel);
    double top = prev[1];
    for (int i = 1; i <= n; ++i) {
        double pos[2];
        evaluate_cp_path(params, nullptr, 3, i * ds, 1.0, pos, vel);
        // a step along the path moves the point by at most the arc length (plus rounding)
        EXPECT_LE(std::hypot(pos[0] - prev[0], pos[1] - prev[1]), ds * (1.0 + 1e-9)) << i;
        top = std::fmax(top, pos[1]);
        prev[0] = pos[0];
        prev[1] = pos[1];
    }
    EXPECT_NEAR(top, 0.5, 1e-6);  // the finest step around the top: (ds/rho)^2 rho / 8
    EXPECT_NEAR(prev[0], 0.6, 1e-12);
    EXPECT_NEAR(prev[1], 0.0, 1e-12);
}

TEST_F(CpPathTest, InvertedUJumpsWhenTheSecondBendIsNotLevel) {
    params.settings.ucurve.y2 = 0.35;
    plan_path(params, 'a', 3);
    double before[2], after[2], vel[2];
    evaluate_cp_path(params, nullptr, 3, std::nextafter(params.plan.s2, 0.0), 1.0, before, vel);
    evaluate_cp_path(params, nullptr, 3, params.plan.s2, 1.0, after, vel);
    const double D = params.plan.D;
    EXPECT_NEAR(before[0], params.settings.ucurve.x1 + D, 1e-9);
    EXPECT_NEAR(before[1], params.settings.ucurve.y1, 1e-9);
    EXPECT_EQ(after[0], params.settings.ucurve.x2);
    EXPECT_EQ(after[1], params.settings.ucurve.y2);
}

TEST_F(CpPathTest, ZeroLengthLineHoldsTheStart) {
    params.settings.line.xf = params.settings.line.x0;
    params.settings.line.yf = params.settings.line.y0;
    plan_path(params, 'a', 1);
    EXPECT_EQ(params.plan.psi, 0.0);
    EXPECT_EQ(params.plan.sf, 0.0);
    EXPECT_EQ(params.plan.cyl.am1, 0.0);
    EXPECT_EQ(params.plan.cyl.vm, 0.0);
    double pos[2], vel[2];
    evaluate_cp_path(params, nullptr, 1, 0.0, 0.0, pos, vel);
    EXPECT_EQ(pos[0], params.settings.line.x0);
    EXPECT_EQ(pos[1], params.settings.line.y0);
}

TEST_F(CpPathTest, ZeroSizesGiveNonFiniteValuesWithoutACrash) {
    double pos[2], vel[2];
    params.settings.circle.rr = 0.0;
    plan_path(params, 'b', 2);
    evaluate_cp_path(params, nullptr, 2, 0.0, 0.0, pos, vel);
    EXPECT_TRUE(std::isnan(pos[0]));  // s / r = 0 / 0

    params.settings.sine.L = 0.0;
    plan_path(params, 'b', 4);
    EXPECT_TRUE(std::isnan(params.plan.sf));
    evaluate_cp_path(params, nullptr, 4, 0.5, 1.0, pos, vel);
    EXPECT_TRUE(std::isnan(pos[0]));

    params.settings.ucurve.x2 = params.settings.ucurve.x1;
    params.settings.ucurve.y2 = params.settings.ucurve.y1;
    plan_path(params, 'b', 3);
    evaluate_cp_path(params, nullptr, 3, params.plan.s1 + 1e-3, 1.0, pos,
                     vel);  // D = 0: s1 = s2, on the descent
    EXPECT_TRUE(std::isfinite(pos[0]));
    params.settings.ucurve.y2 =
        params.settings.ucurve.y1 + 1e-300;  // a half circle of (almost) no size
    plan_path(params, 'b', 3);
    evaluate_cp_path(params, nullptr, 3, std::nan(""), 1.0, pos, vel);
    EXPECT_TRUE(std::isnan(pos[0]));  // no segment matches: not a number, not garbage

    params.plan.tf = 0.0;
    plan_cp_path(params.settings, params.plan, 'a', 1);
    EXPECT_FALSE(std::isfinite(params.plan.cyl.am1));
}

TEST_F(CpPathTest, UnknownKindOrRobotKeepsWhatItCannotPlan) {
    plan_path(params, 'a', 2);
    const double sf = params.plan.sf;
    const RobotPlan scara = params.plan.scara;
    params.plan.tf = 4.0;
    plan_cp_path(params.settings, params.plan, 'a', 9);
    EXPECT_EQ(params.plan.sf, sf);
    EXPECT_NEAR(params.plan.cyl.vm, sf / (0.9 * 4.0), 1e-15);  // planned on the old sf
    plan_cp_path(params.settings, params.plan, 'x', 1);
    EXPECT_EQ(params.plan.scara.vm, scara.vm);
    double pos[2] = {9.0, 9.0}, vel[2] = {9.0, 9.0};
    evaluate_cp_path(params, nullptr, 0, 0.3, 1.0, pos, vel);
    EXPECT_EQ(pos[0], params.plan.x0);  // no path: the start is held
    EXPECT_EQ(vel[0], 0.0);
}

//------------------------------------------------------------------ every path

class EveryPathTest : public ModelTest, public ::testing::WithParamInterface<int> {};

TEST_P(EveryPathTest, StartsAtItsStartAndMovesWithItsVelocity) {
    const int cp = GetParam();
    plan_path(params, 'b', cp);
    const PatternRecord* rec[5] = {nullptr, &params.settings.line, &params.settings.circle,
                                   &params.settings.ucurve, &params.settings.sine};
    double pos[2], vel[2];
    evaluate_cp_path(params, nullptr, cp, 0.0, 0.0, pos, vel);
    EXPECT_NEAR(pos[0], rec[cp]->x0, 1e-15);
    EXPECT_NEAR(pos[1], rec[cp]->y0, 1e-15);
    evaluate_cp_path(params, nullptr, cp, params.plan.sf, 0.0, pos, vel);
    // the sine ends short of its nominal end by 3e-5 m (Heun on 200 steps)
    EXPECT_NEAR(pos[0], rec[cp]->xf, cp == 4 ? 5e-5 : 1e-12);
    EXPECT_NEAR(pos[1], rec[cp]->yf, cp == 4 ? 5e-4 : 1e-12);

    const double h = 1e-6;
    const double s_dot = 0.8;
    for (int i = 1; i < 20; ++i) {
        const double s = params.plan.sf * i / 20.0;
        double pp[2], pm[2];
        evaluate_cp_path(params, nullptr, cp, s, s_dot, pos, vel);
        evaluate_cp_path(params, nullptr, cp, s + h, s_dot, pp, vel);
        evaluate_cp_path(params, nullptr, cp, s - h, s_dot, pm, vel);
        evaluate_cp_path(params, nullptr, cp, s, s_dot, pos, vel);
        // speed along the path is s_dot; direction from a central difference (h^2 truncation,
        // 1e-10 cancellation; the sine's x(s) is a Heun integration whose step s/200 changes
        // with s, so its rate differs from the exact slope by up to 1e-3 of the speed where
        // the curve is steepest)
        const double tol = cp == 4 ? 1e-3 : 1e-8;
        EXPECT_NEAR(std::hypot(vel[0], vel[1]), s_dot, tol) << "s " << s;
        EXPECT_NEAR(vel[0], s_dot * (pp[0] - pm[0]) / (2.0 * h), tol) << "s " << s;
        EXPECT_NEAR(vel[1], s_dot * (pp[1] - pm[1]) / (2.0 * h), tol) << "s " << s;
    }
}

TEST_P(EveryPathTest, ProfileCoversThePathInTf) {
    const int cp = GetParam();
    for (int rt : {'a', 'b'}) {
        plan_path(params, rt, cp);
        const RobotPlan& rp = robot_of(params.plan, rt);
        EXPECT_NEAR(rp.t1, 0.1 * params.plan.tf, 1e-15);
        // am t1 (tf - t1) = sf: rounding of three products
        EXPECT_NEAR(rp.am1 * rp.t1 * (params.plan.tf - rp.t1), params.plan.sf, 1e-14);
        EXPECT_NEAR(rp.vm, params.plan.sf / (0.9 * params.plan.tf), 1e-14);
    }
}

INSTANTIATE_TEST_SUITE_P(AllKinds, EveryPathTest, ::testing::Values(1, 2, 3, 4));
