#include "sim/history.h"

#include <algorithm>
#include <cmath>

namespace robosim {

const HistoryField HISTORY_FIELD_TABLE[HISTORY_FIELDS] = {
    {"theta", false, &HistorySet::theta},
    {"theta_ref", false, &HistorySet::theta_ref},
    {"theta_err", false, &HistorySet::theta_err},
    {"pos", true, &HistorySet::pos},
    {"pos_ref", true, &HistorySet::pos_ref},
    {"pos_err", true, &HistorySet::pos_err},
    {"tau_drive", false, &HistorySet::tau_drive},
    {"tau_inertia", false, &HistorySet::tau_inertia},
    {"tau_coriolis", false, &HistorySet::tau_coriolis},
    {"tau_gravity", false, &HistorySet::tau_gravity},
    {"tau_friction", false, &HistorySet::tau_friction},
    {"inertia_seen", false, &HistorySet::inertia_seen},
};

Divergence first_divergence(const HistorySet* h, int n) {
    const int last = std::min(n, HISTORY_LEN - 1);
    for (int k = 0; k <= last; ++k) {
        for (const HistoryField& f : HISTORY_FIELD_TABLE) {
            for (int i = 0; i < 2; ++i) {
                const double v = (h->*f.values)[k][i];
                if (!std::isfinite(v)) {
                    return {k, &f, i, v};
                }
            }
        }
    }
    return {-1, nullptr, 0, 0.0};
}

}  // namespace robosim
