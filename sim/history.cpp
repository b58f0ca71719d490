#include "sim/history.h"

HistorySet history_cyl = {};
HistorySet history_scara = {};

HistorySet* history_of(int robot_type) {
    return robot_type == 'b' ? &history_scara : &history_cyl;
}
