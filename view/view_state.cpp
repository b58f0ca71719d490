#include "view/view_state.h"

#include "sim/history.h"

namespace robosim {

ViewState initial_view_state() {
    return ViewState{0, 1.0, 10.0};
}

// a run never records beyond the history, whatever n_sample a data file asks for
int last_sample(const Settings& s) {
    if (s.n_sample < 0) {
        return 0;
    }
    return s.n_sample < HISTORY_LEN ? s.n_sample : HISTORY_LEN - 1;
}

int clamp_sample(const Settings& s, int k) {
    const int last = last_sample(s);
    if (k < 0) {
        return 0;
    }
    return k > last ? last : k;
}

}  // namespace robosim
