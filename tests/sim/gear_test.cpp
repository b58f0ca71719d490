// Gear transmission: the torque balance, the direction rules and self-locking gears.
#include "sim/gear.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace robosim;

// inertia matrix of a SCARA-like pair and the default motor (kg*m^2)
static const double M_PAIR[4] = {2.0e-4, 5.0e-5, 5.0e-5, 8.0e-5};
static const double IM_PAIR[2] = {3.63e-5, 3.63e-5};
static const double STEP = 0.002;  // the integration step a jammed gear stops a joint in (s)

//------------------------------------------------------------------ fixed direction

// driving: M a + h = e (tau - IM a) is an identity of the formula: rounding error only
TEST(SolveSingle, ForwardDriveBalancesTorque) {
    double T = 0.0;
    const double a = solve_single(0.6, 0.44, 3.63e-5, 2.0e-4, 0.01, &T);
    EXPECT_NEAR(2.0e-4 * a + 0.01, 0.6 * T, 1e-15);
    EXPECT_DOUBLE_EQ(T, 0.44 - 3.63e-5 * a);
}

TEST(SolvePair, EachRowBalancesItsGear) {
    const double tau[2] = {0.3, -0.2}, h[2] = {0.05, 0.01};
    double a[2], T[2];
    solve_pair(0.6, 1.0 / 0.33, tau, h, IM_PAIR, M_PAIR, a, T);
    // row j: M_j1 a1 + M_j2 a2 + h_j = e_j T_j; rounding of sums of size 1e-4
    EXPECT_NEAR(M_PAIR[0] * a[0] + M_PAIR[1] * a[1] + h[0], 0.6 * T[0], 1e-14);
    EXPECT_NEAR(M_PAIR[2] * a[0] + M_PAIR[3] * a[1] + h[1], T[1] / 0.33, 1e-14);
}

//------------------------------------------------------------------ one joint

struct SingleCase {
    double v, tau, h;
};

class JointAccelSingleTest : public ::testing::TestWithParam<SingleCase> {};

// the split always adds up, whatever direction was chosen
TEST_P(JointAccelSingleTest, SplitAddsUpToTheDrive) {
    const SingleCase c = GetParam();
    const double M[4] = {2.0e-4, 0.0, 0.0, 1.5e-4};
    for (int joint = 0; joint < 2; ++joint) {
        double ti = 0.0, tf = 0.0;
        const double a =
            joint_accel_single(joint, c.v, c.tau, c.h, 0.6, 0.333, 3.63e-5, M, STEP, &ti, &tf);
        EXPECT_TRUE(std::isfinite(a));
        EXPECT_NEAR(ti + c.h + tf, c.tau, 1e-15);  // one subtraction each: rounding only
    }
}

// lossless gears: forward and reverse agree and nothing is lost
TEST_P(JointAccelSingleTest, EfficienciesOfOneLoseNothing) {
    const SingleCase c = GetParam();
    const double M[4] = {2.0e-4, 0.0, 0.0, 1.5e-4};
    double ti = 0.0, tf = 0.0;
    const double a = joint_accel_single(0, c.v, c.tau, c.h, 1.0, 1.0, 3.63e-5, M, STEP, &ti, &tf);
    const double P = c.tau * M[0] + 3.63e-5 * c.h;
    if (P != 0.0) {
        EXPECT_DOUBLE_EQ(a, (c.tau - c.h) / (3.63e-5 + M[0]));
        EXPECT_NEAR(tf, 0.0, 1e-16);  // rounding of tau - ti - h
    }
}

INSTANTIATE_TEST_SUITE_P(SpeedsAndTorques, JointAccelSingleTest,
                         ::testing::Values(SingleCase{0.0, 0.2, 0.05}, SingleCase{0.0, -0.2, 0.05},
                                           SingleCase{0.0, 0.02, 0.05}, SingleCase{3.0, 0.2, -0.1},
                                           SingleCase{-3.0, 0.2, -0.1}, SingleCase{0.01, -0.4, 0.3},
                                           SingleCase{-0.005, 0.1, 0.1},
                                           SingleCase{5.0, 0.0, 0.0}));

TEST(JointAccelSingle, MovingJointFollowsThePowerFlow) {
    const double M[4] = {2.0e-4, 0.0, 0.0, 1.5e-4};
    const double IM = 3.63e-5, tau = 0.2, h = 0.05, ef = 0.6, er = 0.333;
    double ti, tf;
    const double af = (ef * tau - h) / (ef * IM + M[0]);
    const double ar = (tau - er * h) / (er * M[0] + IM);
    EXPECT_EQ(joint_accel_single(0, 2.0, tau, h, ef, er, IM, M, STEP, &ti, &tf), af);   // P v > 0
    EXPECT_EQ(joint_accel_single(0, -2.0, tau, h, ef, er, IM, M, STEP, &ti, &tf), ar);  // P v < 0
    // exactly the threshold counts as moving
    EXPECT_EQ(joint_accel_single(0, -REST_SPEED, tau, h, ef, er, IM, M, STEP, &ti, &tf), ar);
    // P = 0 while moving has no direction: the forward solution is taken
    const double h0 = -tau * M[0] / IM;
    EXPECT_EQ(joint_accel_single(0, 2.0, tau, h0, ef, er, IM, M, STEP, &ti, &tf),
              (ef * tau - h0) / (ef * IM + M[0]));
}

TEST(JointAccelSingle, SelfLockingGearHoldsAJointAtRest) {
    // eta_fwd = 0.5 with u = 100 gives eta_rev = 2.0e-4: the load can hardly drive the motor
    const double M[4] = {2.0e-4, 0.0, 0.0, 1.5e-4};
    double ti = 1.0, tf = 1.0;
    // a load torque against the drive, which is too weak to lift it: P af <= 0, P ar >= 0
    const double tau = 0.01, h = 0.05;
    const double a = joint_accel_single(0, 0.0, tau, h, 0.5, 2.0e-4, 3.63e-5, M, STEP, &ti, &tf);
    EXPECT_EQ(a, 0.0);
    EXPECT_EQ(ti, 0.0);
    EXPECT_DOUBLE_EQ(tf, tau - h);  // the whole drive less the load is booked as friction
}

TEST(JointAccelSingle, HoldingAtRestWithZeroTorques) {
    const double M[4] = {2.0e-4, 0.0, 0.0, 1.5e-4};
    double ti = 1.0, tf = 1.0;
    EXPECT_EQ(joint_accel_single(1, 0.0, 0.0, 0.0, 0.6, 0.333, 3.63e-5, M, STEP, &ti, &tf), 0.0);
    EXPECT_EQ(ti, 0.0);
    EXPECT_EQ(tf, 0.0);
}

//------------------------------------------------------------------ both joints

struct PairCase {
    double v1, v2, tau1, tau2, h1, h2;
};

class JointAccelPairTest : public ::testing::TestWithParam<PairCase> {};

TEST_P(JointAccelPairTest, SplitAddsUpAndAnAcceptedDirectionHolds) {
    const PairCase c = GetParam();
    const double v[2] = {c.v1, c.v2}, tau[2] = {c.tau1, c.tau2}, h[2] = {c.h1, c.h2};
    // default gears, lossless gears, and self-locking gears
    const double eta_sets[3][4] = {
        {0.6, 0.334, 0.6, 0.334}, {1.0, 1.0, 1.0, 1.0}, {0.4, -0.5, 0.45, -0.2}};
    for (const double* eta : eta_sets) {
        double a[2], ti[2], tf[2];
        joint_accel_pair(v, tau, h, eta, IM_PAIR, M_PAIR, STEP, a, ti, tf);
        for (int j = 0; j < 2; ++j) {
            EXPECT_TRUE(std::isfinite(a[j]));
            EXPECT_NEAR(ti[j] + h[j] + tf[j], tau[j], 1e-15);  // rounding only
        }
        if (eta[0] == 1.0) {
            // lossless: the plain coupled solution whenever it moves; no torque is lost
            double pa[2], T[2];
            solve_pair(1.0, 1.0, tau, h, IM_PAIR, M_PAIR, pa, T);
            if (a[0] != 0.0 && a[1] != 0.0) {
                EXPECT_NEAR(tf[0], 0.0, 1e-15);
                EXPECT_NEAR(tf[1], 0.0, 1e-15);
                EXPECT_DOUBLE_EQ(a[0], pa[0]);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    SpeedsAndTorques, JointAccelPairTest,
    ::testing::Values(PairCase{2.0, -1.0, 0.3, 0.1, 0.05, 0.02},   // both moving
                      PairCase{2.0, 0.0, 0.3, 0.1, 0.05, 0.02},    // joint 2 at rest
                      PairCase{0.0, -1.0, -0.3, 0.1, 0.05, 0.02},  // joint 1 at rest
                      PairCase{0.0, 0.0, 0.3, -0.1, 0.05, 0.02},   // both at rest
                      PairCase{0.01, 0.0, 0.01, 0.0, 0.05, 0.0},   // on the threshold
                      PairCase{-3.0, 4.0, 0.0, 0.0, 0.2, -0.1},    // load drives both
                      PairCase{0.0, 0.0, 0.0, 0.0, 0.0, 0.0}));    // nothing at all

TEST(JointAccelPair, AtRestWithNoTorqueNothingMoves) {
    const double v[2] = {0.0, 0.0}, tau[2] = {0.0, 0.0}, h[2] = {0.0, 0.0};
    const double eta[4] = {0.6, 0.334, 0.6, 0.334};
    double a[2] = {9.0, 9.0}, ti[2], tf[2];
    joint_accel_pair(v, tau, h, eta, IM_PAIR, M_PAIR, STEP, a, ti, tf);
    EXPECT_EQ(a[0], 0.0);
    EXPECT_EQ(a[1], 0.0);
}

TEST(JointAccelPair, FirstAcceptedCandidateWinsForTwoMovingJoints) {
    // both joints driven along their motion: forward-forward holds
    const double v[2] = {2.0, 1.0}, tau[2] = {0.3, 0.2}, h[2] = {0.0, 0.0};
    const double eta[4] = {0.6, 0.334, 0.6, 0.334};
    double a[2], ti[2], tf[2], fa[2], T[2];
    joint_accel_pair(v, tau, h, eta, IM_PAIR, M_PAIR, STEP, a, ti, tf);
    solve_pair(0.6, 0.6, tau, h, IM_PAIR, M_PAIR, fa, T);
    ASSERT_GT(T[0] * v[0], 0.0);
    ASSERT_GT(T[1] * v[1], 0.0);
    EXPECT_EQ(a[0], fa[0]);
    EXPECT_EQ(a[1], fa[1]);
    // braking both: the load drives the motors, reverse-reverse
    const double brake[2] = {-0.3, -0.2};
    joint_accel_pair(v, brake, h, eta, IM_PAIR, M_PAIR, STEP, a, ti, tf);
    solve_pair(1.0 / 0.334, 1.0 / 0.334, brake, h, IM_PAIR, M_PAIR, fa, T);
    EXPECT_EQ(a[0], fa[0]);
    EXPECT_EQ(a[1], fa[1]);
}

TEST(JointAccelPair, RestingJointIsJudgedByItsOwnAcceleration) {
    // joint 1 moving, joint 2 at rest and pushed by its drive: forward on both
    const double v[2] = {2.0, 0.0}, tau[2] = {0.3, 0.2}, h[2] = {0.0, 0.0};
    const double eta[4] = {0.6, 0.334, 0.6, 0.334};
    double a[2], ti[2], tf[2], fa[2], T[2];
    joint_accel_pair(v, tau, h, eta, IM_PAIR, M_PAIR, STEP, a, ti, tf);
    solve_pair(0.6, 0.6, tau, h, IM_PAIR, M_PAIR, fa, T);
    ASSERT_GT(T[1] * fa[1], 0.0);
    EXPECT_EQ(a[0], fa[0]);
    EXPECT_EQ(a[1], fa[1]);
}

//------------------------------------------------------------------ jammed gears

// A jammed gear (IM + eta_r Mjj <= IM / 10) is never driven by its load. With the drive off and
// a load pulling the joint down, the reverse solution would let it fall: instead a joint at
// rest is held and a falling joint is stopped within the step, on either joint of either robot.
TEST(JammedGear, HoldsAJointAtRestAndStopsAMovingOne) {
    const double IM = IM_PAIR[0];
    const double eta_jam = -0.5;  // IM + eta_r Mjj < 0 on both diagonals of M_PAIR
    const double pull = 0.05;     // load torque (N*m)
    for (int j = 0; j < 2; ++j) {
        double ti = 0.0, tf = 0.0;
        EXPECT_EQ(joint_accel_single(j, 0.0, 0.0, pull, 0.4, eta_jam, IM, M_PAIR, STEP, &ti, &tf),
                  0.0)
            << "single joint " << j;
        EXPECT_EQ(joint_accel_single(j, -1.0, 0.0, pull, 0.4, eta_jam, IM, M_PAIR, STEP, &ti, &tf),
                  1.0 / STEP)
            << "single joint " << j;

        double eta[4] = {0.6, 0.334, 0.6, 0.334};
        eta[2 * j] = 0.4;
        eta[2 * j + 1] = eta_jam;
        const double tau[2] = {0.0, 0.0};
        double h[2] = {0.0, 0.0};
        h[j] = pull;
        double a[2], tis[2], tfs[2];
        const double rest[2] = {0.0, 0.0};
        joint_accel_pair(rest, tau, h, eta, IM_PAIR, M_PAIR, STEP, a, tis, tfs);
        EXPECT_EQ(a[j], 0.0) << "pair joint " << j;
        double falling[2] = {0.0, 0.0};
        falling[j] = -1.0;
        joint_accel_pair(falling, tau, h, eta, IM_PAIR, M_PAIR, STEP, a, tis, tfs);
        EXPECT_EQ(a[j], 1.0 / STEP) << "pair joint " << j;
    }
}
