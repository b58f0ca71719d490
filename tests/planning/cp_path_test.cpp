// CP path geometry and the arc-length profile.
#include "planning/cp_path.h"

#include "model/parameters.h"
#include "tests/support/model_test.h"

#include <cmath>
#include <numbers>

using CpPathTest = ModelTest;

// makes CP path kind cp current with its record's time, as the planning stage does
static void plan_path(int robot_type, int cp) {
    const PatternRecord* rec[5] = {nullptr, &params.line, &params.circle, &params.ucurve,
                                   &params.sine};
    params.tf = rec[cp]->tf;
    plan_cp_path(params, robot_type, cp);
}

//------------------------------------------------------------------ printed values

TEST_F(CpPathTest, StraightLineProfile) {
    plan_path('a', 1);
    const RobotRecord& r = params.cyl;
    EXPECT_DOUBLE_EQ(params.psi, std::numbers::pi / 2.0);  // atan2 gives the double pi/2
    EXPECT_NEAR(params.sf, 0.6, 1e-15);
    EXPECT_NEAR(r.t1, 0.15, 1e-15);
    EXPECT_EQ(r.t2, r.t1);
    EXPECT_NEAR(r.am1, 2.963, 0.0005);  // printed to 4 digits
    EXPECT_EQ(r.am2, r.am1);
    EXPECT_NEAR(r.vm, 0.4444, 0.00005);  // printed to 4 digits
}

TEST_F(CpPathTest, CircleRunsOnceAroundFromTheRightEnd) {
    plan_path('b', 2);
    EXPECT_NEAR(params.sf, 3.1416, 0.00005);  // printed to 4 decimals
    double pos[2], vel[2];
    evaluate_cp_path(params, nullptr, 2, params.sf, 0.0, pos, vel);
    // one turn of PI-based arc length: off the double-pi turn by ~1e-15
    EXPECT_NEAR(pos[0], 0.7, 1e-14);
    EXPECT_NEAR(pos[1], 0.0, 1e-14);
    evaluate_cp_path(params, nullptr, 2, params.sf / 4.0, 1.0, pos, vel);
    EXPECT_NEAR(pos[0], 0.2, 1e-14);  // a quarter turn counter-clockwise: top of the circle
    EXPECT_NEAR(pos[1], 0.5, 1e-14);
    EXPECT_NEAR(vel[0], -1.0, 1e-14);
}

TEST_F(CpPathTest, SineLengthAndItsShortEnd) {
    plan_path('b', 4);
    EXPECT_NEAR(params.sf, 1.0361, 0.00005);  // printed to 4 decimals
    EXPECT_NEAR(sine_x_of_s(params.sine, nullptr, SINE_X_STEPS, params.sf) - params.sine.x0,
                0.59997, 0.000005);
}

TEST_F(CpPathTest, FlatSineIsAStraightLine) {
    params.sine.A = 0.0;
    plan_path('b', 4);
    EXPECT_DOUBLE_EQ(params.sf, params.sine.L);  // Simpson on a constant: rounding only
    for (double s : {0.0, 0.17, 0.6}) {
        // 200 additions of s/200: rounding of 200 sums of 0.6 m
        EXPECT_NEAR(sine_x_of_s(params.sine, nullptr, SINE_X_STEPS, s), params.sine.x0 + s, 1e-14);
    }
}

TEST_F(CpPathTest, InvertedUGeometry) {
    plan_path('a', 3);
    EXPECT_NEAR(params.s1, 0.3, 1e-15);
    EXPECT_NEAR(params.D, 0.4, 1e-15);
    EXPECT_NEAR(params.s2, 0.3 + 0.2 * PI, 1e-15);
    EXPECT_NEAR(params.sf, 0.6 + 0.2 * PI, 1e-15);
    EXPECT_DOUBLE_EQ(params.psi1, std::numbers::pi / 2.0);  // atan2 gives the double pi/2
    EXPECT_DOUBLE_EQ(params.psi3, -std::numbers::pi / 2.0);

    // continuous everywhere, top at y = 0.5
    const int n = 4000;
    const double ds = params.sf / n;
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
    params.ucurve.y2 = 0.35;
    plan_path('a', 3);
    double before[2], after[2], vel[2];
    evaluate_cp_path(params, nullptr, 3, std::nextafter(params.s2, 0.0), 1.0, before, vel);
    evaluate_cp_path(params, nullptr, 3, params.s2, 1.0, after, vel);
    const double D = params.D;
    EXPECT_NEAR(before[0], params.ucurve.x1 + D, 1e-9);
    EXPECT_NEAR(before[1], params.ucurve.y1, 1e-9);
    EXPECT_EQ(after[0], params.ucurve.x2);
    EXPECT_EQ(after[1], params.ucurve.y2);
}

TEST_F(CpPathTest, ZeroLengthLineHoldsTheStart) {
    params.line.xf = params.line.x0;
    params.line.yf = params.line.y0;
    plan_path('a', 1);
    EXPECT_EQ(params.psi, 0.0);
    EXPECT_EQ(params.sf, 0.0);
    EXPECT_EQ(params.cyl.am1, 0.0);
    EXPECT_EQ(params.cyl.vm, 0.0);
    double pos[2], vel[2];
    evaluate_cp_path(params, nullptr, 1, 0.0, 0.0, pos, vel);
    EXPECT_EQ(pos[0], params.line.x0);
    EXPECT_EQ(pos[1], params.line.y0);
}

TEST_F(CpPathTest, ZeroSizesGiveNonFiniteValuesWithoutACrash) {
    double pos[2], vel[2];
    params.circle.rr = 0.0;
    plan_path('b', 2);
    evaluate_cp_path(params, nullptr, 2, 0.0, 0.0, pos, vel);
    EXPECT_TRUE(std::isnan(pos[0]));  // s / r = 0 / 0

    params.sine.L = 0.0;
    plan_path('b', 4);
    EXPECT_TRUE(std::isnan(params.sf));
    evaluate_cp_path(params, nullptr, 4, 0.5, 1.0, pos, vel);
    EXPECT_TRUE(std::isnan(pos[0]));

    params.ucurve.x2 = params.ucurve.x1;
    params.ucurve.y2 = params.ucurve.y1;
    plan_path('b', 3);
    evaluate_cp_path(params, nullptr, 3, params.s1 + 1e-3, 1.0, pos,
                     vel);  // D = 0: s1 = s2, on the descent
    EXPECT_TRUE(std::isfinite(pos[0]));
    params.ucurve.y2 = params.ucurve.y1 + 1e-300;  // a half circle of (almost) no size
    plan_path('b', 3);
    evaluate_cp_path(params, nullptr, 3, std::nan(""), 1.0, pos, vel);
    EXPECT_TRUE(std::isnan(pos[0]));  // no segment matches: not a number, not garbage

    params.tf = 0.0;
    plan_cp_path(params, 'a', 1);
    EXPECT_FALSE(std::isfinite(params.cyl.am1));
}

TEST_F(CpPathTest, UnknownKindOrRobotKeepsWhatItCannotPlan) {
    plan_path('a', 2);
    const double sf = params.sf;
    const RobotRecord scara = params.scara;
    params.tf = 4.0;
    plan_cp_path(params, 'a', 9);
    EXPECT_EQ(params.sf, sf);
    EXPECT_NEAR(params.cyl.vm, sf / (0.9 * 4.0), 1e-15);  // planned on the old sf
    plan_cp_path(params, 'x', 1);
    EXPECT_EQ(params.scara.vm, scara.vm);
    double pos[2] = {9.0, 9.0}, vel[2] = {9.0, 9.0};
    evaluate_cp_path(params, nullptr, 0, 0.3, 1.0, pos, vel);
    EXPECT_EQ(pos[0], params.x0);  // no path: the start is held
    EXPECT_EQ(vel[0], 0.0);
}

//------------------------------------------------------------------ every path

class EveryPathTest : public ModelTest, public ::testing::WithParamInterface<int> {};

TEST_P(EveryPathTest, StartsAtItsStartAndMovesWithItsVelocity) {
    const int cp = GetParam();
    plan_path('b', cp);
    const PatternRecord* rec[5] = {nullptr, &params.line, &params.circle, &params.ucurve,
                                   &params.sine};
    double pos[2], vel[2];
    evaluate_cp_path(params, nullptr, cp, 0.0, 0.0, pos, vel);
    EXPECT_NEAR(pos[0], rec[cp]->x0, 1e-15);
    EXPECT_NEAR(pos[1], rec[cp]->y0, 1e-15);
    evaluate_cp_path(params, nullptr, cp, params.sf, 0.0, pos, vel);
    // the sine ends short of its nominal end by 3e-5 m (Heun on 200 steps)
    EXPECT_NEAR(pos[0], rec[cp]->xf, cp == 4 ? 5e-5 : 1e-12);
    EXPECT_NEAR(pos[1], rec[cp]->yf, cp == 4 ? 5e-4 : 1e-12);

    const double h = 1e-6;
    const double s_dot = 0.8;
    for (int i = 1; i < 20; ++i) {
        const double s = params.sf * i / 20.0;
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
        plan_path(rt, cp);
        const RobotRecord& r = *robot_record(params, rt);
        EXPECT_NEAR(r.t1, 0.1 * params.tf, 1e-15);
        // am t1 (tf - t1) = sf: rounding of three products
        EXPECT_NEAR(r.am1 * r.t1 * (params.tf - r.t1), params.sf, 1e-14);
        EXPECT_NEAR(r.vm, params.sf / (0.9 * params.tf), 1e-14);
    }
}

INSTANTIATE_TEST_SUITE_P(AllKinds, EveryPathTest, ::testing::Values(1, 2, 3, 4));
