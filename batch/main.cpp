// robosim-batch: entry point
#include "batch/batch.h"

int main(int argc, char** argv) {
    return run_batch(argc, argv);
}
