// tests/support/dialog_texts.h: the console's dialog questions and headings, byte for byte,
// shared by the in-process and the end-to-end tests of the dialogs
#pragma once

#include <string>

inline const std::string ARM_Q =
    "\n(1-1) アーム長変更する？：y  アーム長は変更しない：z  以下全て変更しない : n  ";
inline const std::string WORK_Q =
    "\n(1-2) ワーク変更？：y  ワークは変更しない：z  以下全て変更しない : n  ";
inline const std::string MOTOR_Q =
    "\n(1-3) モータ変更？：y  モータは変更しない：z  以下全て変更しない : n     ";
inline const std::string GEAR_Q =
    "\n(1-4) 減速機変更？：y  減速機は変更しない：z  以下全て変更しない : n   ";
inline const std::string GAIN_Q =
    "\n(2-1) 制御ゲイン変更？：y  変更しない：z  以下全て変更しない : n  ";
inline const std::string FEEDBACK_Q =
    "\n(2-2) 旧速度誤差FB\n    速度FB : v　  速度誤差FB : V     どちらかを入力   ";
inline const std::string MOTION_Q = "\n(3) 運動変更？：y  変更しない：n   ";
inline const std::string SCARA_HEADING = "\n\n(b) SCARAロボットの線形制御";
inline const std::string HEADER_B = "\n\n現在設定している値とそれらから導かれる諸量";
