# robosim: the two everyday commands are `make run` and `make test`.
BUILD      ?= build
SAN_BUILD  ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 30
TYPE       ?= Release
# the interpreter Debian's python3-numpy and python3-pytest serve; the module is built for it
PYTHON     ?= /usr/bin/python3
WERROR     ?= ON
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
# -noreset: the server stays up between clients, so a test never meets it mid-reset
XVFB        = xvfb-run -a -s "-screen 0 1280x1024x24 -noreset"
CMAKE_FLAGS = -DCMAKE_BUILD_TYPE=$(TYPE) -DROBOT_WARNINGS_AS_ERRORS=$(WERROR) \
              -DPython3_EXECUTABLE=$(PYTHON)
# the sanitizer build: every leak fails a test (the window system's own blocks are told apart
# where they are made, in platform/window_system.h, so nothing is suppressed by name)
SAN_ENV     = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
              UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: all deps configure build programs run test check test-sanitize build-sanitize build-fuzz fuzz \
	bench format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# the two programs alone, without the tests and benchmarks: a first start in a minute or two
programs: configure
	@cmake --build $(BUILD) -j $(JOBS) --target robosim robosim-batch

# start the simulator on this terminal
run: programs
	@$(BUILD)/robosim

# every test: the unit and end-to-end tests, all of them again under the sanitizers, and a
# short run of each fuzzer
test: check test-sanitize
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=30

# the unit and end-to-end tests of the optimised build, on a virtual X display of their own:
# one process per test (ctest), then each test program whole in a shuffled order; then the
# Python module's tests against the batch tool
check: build
	@cd $(BUILD) && $(XVFB) ctest --output-on-failure -j $(JOBS)
	@$(XVFB) scripts/run-test-binaries $(BUILD)
	@PYTHONPATH=$(BUILD)/python $(PYTHON) -m pytest -q -p no:cacheprovider tests/python

build-sanitize: deps
	@cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DROBOT_SANITIZE=ON \
		-DROBOT_WARNINGS_AS_ERRORS=$(WERROR) >/dev/null
	@cmake --build $(SAN_BUILD) -j $(JOBS)

# AddressSanitizer and UndefinedBehaviorSanitizer over the same tests
test-sanitize: build-sanitize
	@cd $(SAN_BUILD) && $(SAN_ENV) $(XVFB) ctest --output-on-failure -j $(JOBS)
	@$(SAN_ENV) $(XVFB) scripts/run-test-binaries $(SAN_BUILD)

build-fuzz: deps
	@CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DROBOT_FUZZ=ON \
		-DROBOT_WARNINGS_AS_ERRORS=$(WERROR) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)

# each fuzzer for FUZZ_SECONDS (make fuzz FUZZ_SECONDS=600); what it learns stays in the
# build's corpus folders, seeded from examples/ and tests/fuzz/corpus/
fuzz: build-fuzz
	@$(SAN_ENV) scripts/run-fuzz $(FUZZ_BUILD)/tests/fuzz/datafile_fuzz $(FUZZ_SECONDS) \
		$(FUZZ_BUILD)/corpus/datafile examples tests/fuzz/corpus/datafile
	@$(SAN_ENV) scripts/run-fuzz $(FUZZ_BUILD)/tests/fuzz/console_input_fuzz $(FUZZ_SECONDS) \
		$(FUZZ_BUILD)/corpus/console_input tests/fuzz/corpus/console

# speed measurements (Google Benchmark); not part of `make test`
bench: build
	@$(BUILD)/bench/robosim_bench
	@$(XVFB) $(BUILD)/bench/robosim_frame_bench
	@$(XVFB) $(BUILD)/bench/robosim_picture_bench

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	@rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD)
