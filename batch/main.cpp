// robosim-batch: entry point
#include "batch/batch.h"

using namespace robosim;

int main(int argc, char** argv) {
    return run_batch(argc, argv);
}
