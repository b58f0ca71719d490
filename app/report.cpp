// The settings reports. Each is a fixed sequence of lines: a line that depends on a selector
// is printed only for the values it names, so a selector outside its list prints none of
// them. The two robots' sections differ in more than their values (widths, an extra blank
// line, the inertia in exponent form), which is why each robot has its own sequence.
#include "app/report.h"

#include "model/parameters.h"
#include "platform/console_io.h"
#include "settings/messages_ja.h"
#include "settings/setting_fields.h"

namespace robosim {

//------------------------------------------------------------------ shared lines

static void print_gravity_line(int gravity) {
    if (gravity == 'g') {
        console_print("  あり（垂直運動）");
    }
    if (gravity == 'h') {
        console_print("  なし（水平運動）");
    }
}

static void print_feedback_line(int fb_type) {
    if (fb_type == 'v') {
        console_print("\n(2-2) 位置誤差FB＋積分FB＋速度FB");
    }
    if (fb_type == 'V') {
        console_print("\n(2-2) 位置誤差FB＋積分FB＋速度誤差FB");
    }
}

//------------------------------------------------------------------ robot sections

// values set, cylindrical robot
static void print_settings_cyl(const ParameterSet& ps) {
    const RobotSettings& rs = ps.settings.cyl;
    const RobotModel& rm = ps.model.cyl;
    const double fn1_hz = hz_of_omega(ps.settings.omega_n1);  // Hz only on the console
    const double fn2_hz = hz_of_omega(ps.settings.omega_n2);
    console_print("\n(1-1) ロボットタイプ        円筒座標ロボット");
    console_print("\n(1-2) アーム長     l = %6.3f[m]", rs.L);
    console_print("\n(1-3) ワークの質量 mw= %6.3f[kg]", ps.settings.mw);
    console_print("\n      アーム先端・ワーク位置間距離(不変) wc= %6.3f[m]", ps.settings.wc);
    console_print("\n(1-4) モータ1(回転関節)パワーPW=%6.3f", rs.PW1);
    console_print("\n      モータ2(直動関節)パワーPW=%6.3f", rs.PW2);
    console_print("\n(1-5) 減速機1(回転関節)減速比，順効率(u,η1)=(%6.3f %6.3f)", rs.u1,
                  rs.eta_fwd1);
    console_print("\n      減速機2(直動関節)減速比，順効率(u,η1)=(%6.3f %6.3f)", rs.u2,
                  rs.eta_fwd2);
    console_print("\n(1-6) 重力考慮　：");
    print_gravity_line(ps.settings.gravity);
    console_print("\n(2-1) 回転関節制御系の特性 (ωn,ζ,α)=(%7.3f[Hz] %7.3f %7.3f[1/s])", fn1_hz,
                  ps.settings.zeta1, ps.settings.alpha1);
    console_print("\n                 → ゲイン (Kp,Kv,Ki) =(%7.4f     %7.4f %7.4f)", rm.Kp1, rm.Kv1,
                  rm.Ki1);
    console_print("\n    　直動関節制御系の特性 (ωn,ζ,α)=(%7.3f[Hz] %7.3f %7.4f[1/s])", fn2_hz,
                  ps.settings.zeta2, ps.settings.alpha2);
    console_print("\n                 → ゲイン (Kp,Kv,Ki) =(%7.4f     %7.4f %7.4f)", rm.Kp2, rm.Kv2,
                  rm.Ki2);
    print_feedback_line(ps.settings.fb_type);
    console_print("\n");
    if (ps.settings.motion == 'q') {
        console_print("\n(3) PTPステップ入力  初期位置(x0,y0)  =(%6.3f %6.3f)[m]", ps.plan.x0,
                      ps.plan.y0);
        console_print("\n                     目標位置(xf,yf)  =(%6.3f %6.3f)[m]", ps.plan.xf,
                      ps.plan.yf);
    }
    if (ps.settings.motion == 'p') {
        console_print("\n(3) PTP台形速度入力  初期位置(x0,y0) =(%6.3f %6.3f)[m]", ps.plan.x0,
                      ps.plan.y0);
        console_print("\n                     目標位置(xf,yf) =(%6.3f %6.3f)[m]", ps.plan.xf,
                      ps.plan.yf);
        console_print("\n                     位置決め時間 tf = %6.3f[s]", ps.settings.trap.tf);
    }
    if (ps.settings.motion == 'c' && ps.settings.cp == 1) {
        console_print("\n(3) CP直線運動    終点時間 tf   = %6.3f[s]", ps.settings.line.tf);
    }
    if (ps.settings.motion == 'c' && ps.settings.cp == 2) {
        console_print("\n(3) CP円運動　    終点時間 tf   = %6.3f[s]", ps.settings.circle.tf);
    }
    if (ps.settings.motion == 'c' && ps.settings.cp == 3) {
        console_print("\n(3) CPＵ字運動    終点時間 tf   = %6.3f[s]", ps.settings.ucurve.tf);
    }
    if (ps.settings.motion == 'c' && ps.settings.cp == 4) {
        console_print("\n(3) CP正弦波運動  終点時間 tf   = %6.3f[s]", ps.settings.sine.tf);
        console_print("\n                  波長・振幅(L,A)=(%6.3f,%6.3f)[m]", ps.settings.sine.L,
                      ps.settings.sine.A);
    }
    if (ps.settings.motion == 'c') {
        console_print("\n(3-1) ロボット初期位置    (x0,y0) =(%6.3f %6.3f)[m]", ps.plan.x0,
                      ps.plan.y0);
        console_print("\n(3-2) ロボット終端位置    (xf,yf) =(%6.3f %6.3f)[m]", ps.plan.xf,
                      ps.plan.yf);
    }
}

// values set, SCARA robot
static void print_settings_scara(const ParameterSet& ps) {
    const RobotSettings& rs = ps.settings.scara;
    const RobotModel& rm = ps.model.scara;
    const double fn1_hz = hz_of_omega(ps.settings.omega_n1);  // Hz only on the console
    const double fn2_hz = hz_of_omega(ps.settings.omega_n2);
    console_print("\n(1-1) ロボットタイプ   SCARAロボット");
    console_print("\n(1-2) 第1,2アーム長 (l1,l2)=(%6.3f,%6.3f)[m]", rs.L1, rs.L2);
    console_print("\n(1-3) ワークの質量      mw = %6.3f[kg]", ps.settings.mw);
    console_print("\n      アーム先端・ワーク位置間距離(不変) wc= %6.3f[m]", ps.settings.wc);
    console_print("\n(1-4) モータ1(第１関節)パワー PW=%6.2f[W]", rs.PW1);
    console_print("\n      モータ2(第２関節)パワー PW=%6.2f[W]", rs.PW2);
    console_print("\n(1-5) 減速機1(第１関節)減速比,順効率=(u,η1)=(%6.2f %6.3f)", rs.u1,
                  rs.eta_fwd1);
    console_print("\n      減速機2(第２関節)減速比,順効率=(u,η1)=(%6.2f %6.3f)", rs.u2,
                  rs.eta_fwd2);
    console_print("\n(1-6) 重力考慮　：");
    print_gravity_line(ps.settings.gravity);
    console_print("\n(2-1) 第１関節制御系の特性 (ωn,ζ,α)=(%7.3f[Hz] %7.3f %7.3f[1/s])", fn1_hz,
                  ps.settings.zeta1, ps.settings.alpha1);
    console_print("\n               　→ ゲイン (Kp,Kv,Ki) =(%7.4f     %7.4f %7.4f)", rm.Kp1, rm.Kv1,
                  rm.Ki1);
    console_print("\n      第２関節制御系の特性 (ωn,ζ,α)=(%7.3f[Hz] %7.3f %7.3f[1/s])", fn2_hz,
                  ps.settings.zeta2, ps.settings.alpha2);
    console_print("\n                 → ゲイン (Kp,Kv,Ki) =(%7.4f     %7.4f %7.4f)", rm.Kp2, rm.Kv2,
                  rm.Ki2);
    print_feedback_line(ps.settings.fb_type);
    if (ps.settings.motion == 'q') {
        console_print("\n(3) PTPステップ入力 初期位置(x0,y0)=(%6.3f %6.3f)[m]", ps.plan.x0,
                      ps.plan.y0);
        console_print("\n                    目標位置(xf,yf)=(%6.3f %6.3f)[m]", ps.plan.xf,
                      ps.plan.yf);
    }
    if (ps.settings.motion == 'p') {
        console_print("\n(3) PTP台形速度入力 初期位置(x0,y0)=(%6.3f %6.3f)[m]", ps.plan.x0,
                      ps.plan.y0);
        console_print("\n                    目標位置(xf,yf)=(%6.3f %6.3f)[m]", ps.plan.xf,
                      ps.plan.yf);
        console_print("\n                    位置決め時間tf = %6.3f[s]", ps.settings.trap.tf);
    }
    if (ps.settings.motion == 'c' && ps.settings.cp == 1) {
        console_print("\n(3) CP直線運動    終点時間 tf   = %6.3f[s]", ps.settings.line.tf);
    }
    if (ps.settings.motion == 'c' && ps.settings.cp == 2) {
        console_print("\n(3) CP円運動　    終点時間 tf   = %6.3f[s]", ps.settings.circle.tf);
    }
    if (ps.settings.motion == 'c' && ps.settings.cp == 3) {
        console_print("\n(3) CPＵ字運動    終点時間 tf   = %6.3f[s]", ps.settings.ucurve.tf);
    }
    if (ps.settings.motion == 'c' && ps.settings.cp == 4) {
        console_print("\n(3) CP正弦波運動  終点時間  tf   = %6.3f[s]", ps.settings.sine.tf);
        console_print("\n                  波長・振幅(L,A)=(%6.3f,%6.3f)[m]", ps.settings.sine.L,
                      ps.settings.sine.A);
    }
    if (ps.settings.motion == 'c') {
        console_print("\n(3-1) 初期位置(x0,y0)=(%6.3f %6.3f)[m]", ps.plan.x0, ps.plan.y0);
        console_print("\n(3-2) 目標位置(xf,yf)=(%6.3f %6.3f)[m]", ps.plan.xf, ps.plan.yf);
    }
}

// values set and derived, cylindrical robot
static void print_settings_derived_cyl(const ParameterSet& ps) {
    const RobotSettings& rs = ps.settings.cyl;
    const RobotModel& rm = ps.model.cyl;
    const RobotPlan& rp = ps.plan.cyl;
    const double fn1_hz = hz_of_omega(ps.settings.omega_n1);  // Hz only on the console
    const double fn2_hz = hz_of_omega(ps.settings.omega_n2);
    console_print("\n(1-1) ロボットタイプ        円筒座標ロボット");
    console_print("\n(1-2) ロボット諸元");
    console_print("\n      アーム長 l = %6.3f[m]", rs.L);
    console_print(" → アームの(m,IG)=(%6.3f[kg] %8.5f[kg･m^2])", rm.m_arm, rm.IG_arm);
    console_print("\n(1-3) ワーク諸元");
    console_print("\n　　　ワークの質量 m=%6.3f[kg]", ps.settings.mw);
    console_print(" → 慣性 IG=%8.5f[kg･m^2]", ps.model.IGw);
    console_print("\n      アーム先端・ワーク位置間距離 wc= %6.3f[m]", ps.settings.wc);
    console_print("\n(1-4) モータ1(回転関節)");
    console_print("\n      パワーPW=%6.3f → 慣性 IM=%8.5f[kg･m^2] 最大トルクτm=%6.3f[Nm])", rs.PW1,
                  rm.IM1, rm.tau_m1);
    console_print("\n      モータ2(直動関節)");
    console_print("\n      パワーPW=%6.3f → 慣性 IM=%8.5f[kg･m^2] 最大トルクτm=%6.3f[Nm])", rs.PW2,
                  rm.IM2, rm.tau_m2);
    console_print("\n(1-5) 減速機1(回転関節)");
    console_print("\n      減速比，順効率(u,η1)=(%6.3f %6.3f) →　逆効率η2=%6.3f)", rs.u1,
                  rs.eta_fwd1, rm.eta_rev1);
    console_print("\n      減速機2(直動関節)");
    console_print("\n      減速比，順効率(u,η1)=(%6.3f %6.3f) →　逆効率η2=%6.3f)", rs.u2,
                  rs.eta_fwd2, rm.eta_rev2);
    console_print("\n(1-6) 重力考慮　：");
    print_gravity_line(ps.settings.gravity);
    console_print("\n(2-1) 回転関節制御系の特性 (ωn,ζ,α) =(%7.3f[Hz] %7.3f %7.3f[1/s])", fn1_hz,
                  ps.settings.zeta1, ps.settings.alpha1);
    console_print("\n                → ゲイン (Kp,Kv,Ki) =(%7.4f     %7.4f %7.4f)", rm.Kp1, rm.Kv1,
                  rm.Ki1);
    console_print("\n      直動関節制御系の特性 (ωn,ζ,α) =(%7.3f[Hz] %7.3f %7.4f[1/s])", fn2_hz,
                  ps.settings.zeta2, ps.settings.alpha2);
    console_print("\n                → ゲイン (Kp,Kv,Ki) =(%7.4f     %7.4f %7.4f)", rm.Kp2, rm.Kv2,
                  rm.Ki2);
    print_feedback_line(ps.settings.fb_type);
    if (ps.settings.motion == 'q') {
        console_print("\n(3) PTPステップ入力  初期位置   (x0,y0)  =(%6.3f %6.3f)[m]", ps.plan.x0,
                      ps.plan.y0);
        console_print("\n                     目標位置   (xf,yf)  =(%6.3f %6.3f)[m]", ps.plan.xf,
                      ps.plan.yf);
        console_print("\n              →     初期関節角 (Φ10,Φ20)=(%6.3f[rad] %6.3f[m])",
                      rp.phi0[0], rp.phi0[1]);
        console_print("\n              →     目標関節角 (Φ1f,Φ2f)=(%6.3f[rad] %6.3f[m])",
                      rp.phif[0], rp.phif[1]);
        console_print("\n              →   初期モータ角 (θ10,θ20)=(%6.3f %6.3f)[rad]", rp.theta0[0],
                      rp.theta0[1]);
        console_print("\n              →   目標モータ角 (θ1f,θ2f)=(%6.3f %6.3f)[rad]", rp.thetaf[0],
                      rp.thetaf[1]);
    }
    if (ps.settings.motion == 'p') {
        console_print("\n(3) PTP台形速度入力  初期位置    (x0,y0) =(%6.3f %6.3f)[m]", ps.plan.x0,
                      ps.plan.y0);
        console_print("\n                     目標位置    (xf,yf) =(%6.3f %6.3f)[m]  tf=%6.3f[s]",
                      ps.plan.xf, ps.plan.yf, ps.settings.trap.tf);
        console_print("\n              →     初期関節角 (Φ10,Φ20)=(%6.3f[rad] %6.3f[m])",
                      rp.phi0[0], rp.phi0[1]);
        console_print("\n              →     目標関節角 (Φ1f,Φ2f)=(%6.3f[rad] %6.3f[m])",
                      rp.phif[0], rp.phif[1]);
        console_print("\n              →   初期モータ角 (θ10,θ20)=(%6.3f %6.3f)[rad]", rp.theta0[0],
                      rp.theta0[1]);
        console_print("\n              →   目標モータ角 (θ1f,θ2f)=(%6.3f %6.3f)[rad]", rp.thetaf[0],
                      rp.thetaf[1]);
        console_print("\n              →  折点時間  1,2 (t11,t12)  =(%6.3f %6.3f)[s]", rp.t11,
                      rp.t12);
        console_print("\n              →  モータ加速度 1,2 (αm1,αm2)=(%7.3f %7.3f)[rad/s^2]",
                      rp.alpha_m1, rp.alpha_m2);
        console_print("\n              →  モータ定速度 1,2 (ωm1,ωm2)=(%7.3f %7.3f)[rad/s]",
                      rp.omega_m1, rp.omega_m2);
    }
    if (ps.settings.motion == 'c' && ps.settings.cp == 1) {
        console_print("\n(3) CP直線運動    終点時間 tf   = %6.3f[s]", ps.settings.line.tf);
    }
    if (ps.settings.motion == 'c' && ps.settings.cp == 2) {
        console_print("\n(3) CP円運動　    終点時間 tf   = %6.3f[s]", ps.settings.circle.tf);
    }
    if (ps.settings.motion == 'c' && ps.settings.cp == 3) {
        console_print("\n(3) CPＵ字運動    終点時間 tf   = %6.3f[s]", ps.settings.ucurve.tf);
    }
    if (ps.settings.motion == 'c' && ps.settings.cp == 4) {
        console_print("\n(3) CP正弦波運動  終点時間  tf   = %6.3f[s]", ps.settings.sine.tf);
        console_print("\n                  波長・振幅(L,A)=(%6.3f,%6.3f)[m]", ps.settings.sine.L,
                      ps.settings.sine.A);
    }
    if (ps.settings.motion == 'c') {
        console_print("\n              →  折点時間 t1,t2=(%6.3f %6.3f)[s]", rp.t1, rp.t2);
        console_print("\n(3-1) ロボット初期位置    (x0,y0) =(%6.3f %6.3f)[m]", ps.plan.x0,
                      ps.plan.y0);
        console_print("\n              →   初期関節変位 (Φ10,Φ20)=(%7.3f[rad] %7.3f[m])",
                      rp.phi0[0], rp.phi0[1]);
        console_print("\n              →   目標関節変位 (Φ1f,Φ2f)=(%7.3f[rad] %7.3f[m])",
                      rp.phif[0], rp.phif[1]);
        console_print("\n(3-2) ロボット終端位置    (xf,yf) =(%6.3f %6.3f)[m]", ps.plan.xf,
                      ps.plan.yf);
        console_print("\n              →   初期モータ角 (θ10,θ20)=(%7.3f %7.3f)[rad]", rp.theta0[0],
                      rp.theta0[1]);
        console_print("\n              →   目標モータ角 (θ1f,θ2f)=(%7.3f %7.3f)[rad]", rp.thetaf[0],
                      rp.thetaf[1]);
        console_print("\n              →   軌道長さ      sf        = %7.4f[m]", ps.plan.sf);
        console_print("\n              →   始点・終点加速度  am1,2 =(%7.3f %7.3f)[m/s^2]", rp.am1,
                      rp.am2);
        console_print("\n              →   軌道定速度        vm    = %7.3f[m/s]", rp.vm);
    }
}

// values set and derived, SCARA robot
static void print_settings_derived_scara(const ParameterSet& ps) {
    const RobotSettings& rs = ps.settings.scara;
    const RobotModel& rm = ps.model.scara;
    const RobotPlan& rp = ps.plan.scara;
    const double fn1_hz = hz_of_omega(ps.settings.omega_n1);  // Hz only on the console
    const double fn2_hz = hz_of_omega(ps.settings.omega_n2);
    console_print("\n(1-1) ロボットタイプ        SCARAロボット");
    console_print("\n(1-2) ロボット諸元");
    console_print("\n    　第１アーム長 l=%6.3f[m]", rs.L1);
    console_print(" → アームの(m,IG)=(%6.3f[kg] %8.5f[kg･m^2])", rm.m1, rm.IG1);
    console_print("\n    　第２アーム長 l=%6.3f[m]", rs.L2);
    console_print(" → アームの(m,IG)=(%6.3f[kg] %8.5f[kg･m^2])", rm.m2, rm.IG2);
    console_print("\n(1-3) ワーク諸元");
    console_print("\n　　　ワークの質量m=%6.3f[kg] → 慣性IG=%8.5f[kg･m^2]", ps.settings.mw,
                  ps.model.IGw);
    console_print("\n      アーム先端・ワーク位置間距離 wc= %6.3f[m]", ps.settings.wc);
    console_print("\n(1-4) モータ1(第１関節)");
    console_print("\n      パワー PW=%6.2f[W] →慣性IM=%11.3e[kg･m^2] 最大トルクτm=%6.3f[Nm]",
                  rs.PW1, rm.IM1, rm.tau_m1);
    console_print("\n      モータ2(第２関節)");
    console_print("\n      パワー PW=%6.2f[W] →慣性IM=%11.3e[kg･m^2] 最大トルクτm=%6.3f[Nm]",
                  rs.PW2, rm.IM2, rm.tau_m2);
    console_print("\n(1-5) 減速機1(第１関節)");
    console_print("\n      減速比,順効率=(u,η1) =(%6.2f %6.3f) → 逆効率η2=%6.3f", rs.u1,
                  rs.eta_fwd1, rm.eta_rev1);
    console_print("\n      減速機2(第２関節)");
    console_print("\n      減速比,順効率=(u,η1) =(%6.2f %6.3f) → 逆効率η2=%6.3f", rs.u2,
                  rs.eta_fwd2, rm.eta_rev2);
    console_print("\n(1-6) 重力考慮　：");
    print_gravity_line(ps.settings.gravity);
    console_print("\n(2-1) 第１関節制御系の特性 (ωn,ζ,α)=(%7.3f[Hz] %7.3f %7.3f[1/s])", fn1_hz,
                  ps.settings.zeta1, ps.settings.alpha1);
    console_print("\n               　→ ゲイン (Kp,Kv,Ki) =(%7.4f     %7.4f %7.4f)", rm.Kp1, rm.Kv1,
                  rm.Ki1);
    console_print("\n      第２関節制御系の特性 (ωn,ζ,α)=(%7.3f[Hz] %7.3f %7.3f[1/s])", fn2_hz,
                  ps.settings.zeta2, ps.settings.alpha2);
    console_print("\n                 → ゲイン (Kp,Kv,Ki) =(%7.4f     %7.4f %7.4f)", rm.Kp2, rm.Kv2,
                  rm.Ki2);
    print_feedback_line(ps.settings.fb_type);
    if (ps.settings.motion == 'q') {
        console_print("\n(3) PTPステップ入力");
        console_print("\n(3-1) 初期位置 (x0,y0)=(%6.3f %6.3f)[m]", ps.plan.x0, ps.plan.y0);
        console_print("\n                → 関節角 (Φ10,Φ20)=(%6.3f %6.3f)[rad]", rp.phi0[0],
                      rp.phi0[1]);
        console_print("\n                →モータ角(θ10,θ20)=(%6.3f %6.3f)[rad]", rp.theta0[0],
                      rp.theta0[1]);
        console_print("\n(3-2) 目標位置(xf,yf)=(%6.3f %6.3f)[m]", ps.plan.xf, ps.plan.yf);
        console_print("\n                → 関節角 (Φ1f,Φ2f)=(%6.3f %6.3f)[rad]", rp.phif[0],
                      rp.phif[1]);
        console_print("\n                →モータ角(θ1f,θ2f)=(%6.3f %6.3f)[rad]", rp.thetaf[0],
                      rp.thetaf[1]);
    }
    if (ps.settings.motion == 'p') {
        console_print("\n(3) PTP台形速度入力");
        console_print("\n(3-1) 初期位置 (x0,y0)=(%6.3f %6.3f)[m]", ps.plan.x0, ps.plan.y0);
        console_print("\n              → 関節角 (Φ10,Φ20)=(%6.3f %6.3f)[rad]", rp.phi0[0],
                      rp.phi0[1]);
        console_print("\n              →モータ角(θ10,θ20)=(%6.3f %6.3f)[rad]", rp.theta0[0],
                      rp.theta0[1]);
        console_print("\n(3-2) 目標位置(xf,yf)=(%6.3f %6.3f)[m] 終端時間 tf=%6.3f[s]", ps.plan.xf,
                      ps.plan.yf, ps.settings.trap.tf);
        console_print("\n              → 関節角 (Φ1f,Φ2f)=(%6.3f %6.3f)[rad]", rp.phif[0],
                      rp.phif[1]);
        console_print("\n              →モータ角(θ1f,θ2f)=(%6.3f %6.3f)[rad]", rp.thetaf[0],
                      rp.thetaf[1]);
        console_print("\n              →折点時間 モータ1 t11=%7.3f[s]  モータ2 t12=%7.3f[s]",
                      rp.t11, rp.t12);
        console_print("\n              →モータ加速度1 αm1=%7.3f[rad/s^2], 2 αm2=%7.3f[rad/s^2]",
                      rp.alpha_m1, rp.alpha_m2);
        console_print("\n              →モータ定速度1 ωm1=%7.3f[rad/s],   2 ωm2=%7.3f[rad/s]",
                      rp.omega_m1, rp.omega_m2);
    }
    if (ps.settings.motion == 'c' && ps.settings.cp == 1) {
        console_print("\n(3) CP直線運動    終点時間 tf   = %6.3f[s]", ps.settings.line.tf);
    }
    if (ps.settings.motion == 'c' && ps.settings.cp == 2) {
        console_print("\n(3) CP円運動　    終点時間 tf   = %6.3f[s]", ps.settings.circle.tf);
    }
    if (ps.settings.motion == 'c' && ps.settings.cp == 3) {
        console_print("\n(3) CPＵ字運動    終点時間 tf   = %6.3f[s]", ps.settings.ucurve.tf);
    }
    if (ps.settings.motion == 'c' && ps.settings.cp == 4) {
        console_print("\n(3) CP正弦波運動  終点時間 tf   = %6.3f[s]", ps.settings.sine.tf);
        console_print("\n                  波長・振幅(L,A)=(%6.3f,%6.3f)[m]", ps.settings.sine.L,
                      ps.settings.sine.A);
    }
    if (ps.settings.motion == 'c') {
        console_print("\n              →  折点時間 t1,t2=(%6.3f %6.3f)[s]", rp.t1, rp.t2);
        console_print("\n(3-1) 初期位置 (x0,y0)=(%6.3f %6.3f)[m]", ps.plan.x0, ps.plan.y0);
        console_print("\n              → 関節角 (Φ10,Φ20)=(%6.3f %6.3f)[rad]", rp.phi0[0],
                      rp.phi0[1]);
        console_print("\n              →モータ角(θ10,θ20)=(%6.3f %6.3f)[rad]", rp.theta0[0],
                      rp.theta0[1]);
        console_print("\n(3-2) 目標位置 (xf,yf)=(%6.3f %6.3f)[m] 終端時間 tf=%6.3f[s]", ps.plan.xf,
                      ps.plan.yf, ps.plan.tf);
        console_print("\n              → 関節角 (Φ1f,Φ2f)=(%6.3f %6.3f)[rad]", rp.phif[0],
                      rp.phif[1]);
        console_print("\n              →モータ角(θ1f,θ2f)=(%6.3f %6.3f)[rad]", rp.thetaf[0],
                      rp.thetaf[1]);
        console_print("\n              → 軌道長さ      sf        = %7.3f[m]", ps.plan.sf);
        console_print("\n              → 始点・終点加速度  am1,2 =(%7.3f %7.3f)[m/s^2]", rp.am1,
                      rp.am2);
        console_print("\n              → 軌道定速度        vm    = %7.3f[m/s]", rp.vm);
    }
}

//------------------------------------------------------------------ reports

void print_settings(const ParameterSet& ps) {
    console_print("\n\n現在設定している値");
    if (ps.settings.robot_type == 'a') {
        print_settings_cyl(ps);
    } else if (ps.settings.robot_type == 'b') {
        print_settings_scara(ps);
    }
    console_print("\n");
}

void print_settings_derived(const ParameterSet& ps) {
    console_print("\n\n現在設定している値とそれらから導かれる諸量");
    if (ps.settings.robot_type == 'a') {
        print_settings_derived_cyl(ps);
    } else if (ps.settings.robot_type == 'b') {
        print_settings_derived_scara(ps);
    }
    console_print("\n");
}

void tell_unreachable(const ParameterSet& p, const ReachReport& report, bool wait_for_key,
                      ReachReport* told) {
    const ReachReport tell = points_to_tell(report, told);
    for (int i = 0; i < tell.count; ++i) {
        console_print("%s", unreachable_text_ja(p.settings, tell.points[i]).c_str());
        if (wait_for_key) {
            console_print("\n    何かキーを押すと続けます");
            console_wait_key();
        }
    }
}

}  // namespace robosim
