// robosim-batch: entry point
#include "app/batch.h"

int main(int argc, char** argv) {
    return run_batch(argc, argv);
}
