# robosim: the two everyday commands are `make run` and `make test`.
BUILD      ?= build
SAN_BUILD  ?= build-asan
FUZZ_BUILD ?= build-fuzz
WEB_BUILD  ?= build-web
FUZZ_SECONDS ?= 30
TYPE       ?= Release
# the interpreter Debian's python3-numpy and python3-pytest serve; the module is built for it
PYTHON     ?= /usr/bin/python3
WERROR     ?= ON
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
# -noreset: the server stays up between clients, so a test never meets it mid-reset; the optimised
# and the sanitizer stages run side by side in `make test`, each looking for a free display from
# a number of its own (-n before -a), so that two starting at once never take the same one
XVFB_SERVER = 100
XVFB        = xvfb-run -n $(XVFB_SERVER) -a -s "-screen 0 1280x1024x24 -noreset"
CMAKE_FLAGS = -DCMAKE_BUILD_TYPE=$(TYPE) -DROBOT_WARNINGS_AS_ERRORS=$(WERROR) \
              -DPython3_EXECUTABLE=$(PYTHON)
# the sanitizer build: every leak fails a test (the window system's own blocks are told apart
# where they are made, in platform/window_system.h, so nothing is suppressed by name)
SAN_ENV     = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
              UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# emscripten's tools load their node modules (acorn) from Debian's folder
EMSDK_ENV   = NODE_PATH=/usr/share/nodejs
# one line per stage with its seconds, for the CI log
STAGE       = scripts/stage

.PHONY: all deps configure build programs run test test-stages check test-sanitize build-sanitize \
	test-sanitize-each build-fuzz fuzz web web-serve check-web bench format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@$(STAGE) build cmake --build $(BUILD) -j $(JOBS)

# the two programs alone, without the tests and benchmarks: a first start in a minute or two
programs: configure
	@cmake --build $(BUILD) -j $(JOBS) --target robosim robosim-batch

# start the simulator on this terminal
run: programs
	@$(BUILD)/robosim

# every test: the unit and end-to-end tests, all of them again under the sanitizers, a short run
# of each fuzzer, and the browser build's. The stages run side by side where they are
# independent: the four compiles one after the other, each at full width, and each build's tests
# as soon as it is done, beside the next compile (the tests wait on windows and pacing and leave
# the cores half idle). The optimised build comes first: its tests, run twice, are the longest
# stage. Each stage's output is printed whole when it ends.
test: deps
	@$(STAGE) test $(MAKE) --no-print-directory -j4 --output-sync=target test-stages \
		FUZZ_SECONDS=30 TEST_ORDER=1

test-stages: check test-sanitize fuzz check-web

# the order of the compiles within `make test` alone; there the browser build's check takes the
# native batch tool from the whole build, elsewhere from the two programs alone
ifdef TEST_ORDER
build-sanitize: | build
build-fuzz: | build-sanitize
web: | build-fuzz
NATIVE_PROGRAMS = build
else
NATIVE_PROGRAMS = programs
endif

# the unit and end-to-end tests of the optimised build, on a virtual X display of their own:
# one process per test (ctest), then each test program whole in a shuffled order; then the
# Python module's tests against the batch tool
check: build
	@$(STAGE) check-ctest $(XVFB) ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	@$(STAGE) check-whole $(XVFB) scripts/run-test-binaries $(BUILD)
	@PYTHONPATH=$(BUILD)/python $(STAGE) check-python $(PYTHON) -m pytest -q -p no:cacheprovider \
		tests/python

build-sanitize: deps
	@cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DROBOT_SANITIZE=ON \
		-DROBOT_WARNINGS_AS_ERRORS=$(WERROR) >/dev/null
	@$(STAGE) build-sanitize cmake --build $(SAN_BUILD) -j $(JOBS)

# AddressSanitizer and UndefinedBehaviorSanitizer over the same tests: each test program whole,
# in a shuffled order (a memory fault, undefined behaviour or a leak ends its program and fails
# the stage, naming the test that ran); the optimised build's tests have run each test in a
# process of its own already, and the sanitizers' cost over 700 processes was a third of
# `make test`. `make test-sanitize-each` runs them one per process as well.
test-sanitize: XVFB_SERVER = 200
test-sanitize: build-sanitize
	@$(SAN_ENV) $(STAGE) sanitize-whole $(XVFB) scripts/run-test-binaries $(SAN_BUILD)

test-sanitize-each: XVFB_SERVER = 200
test-sanitize-each: build-sanitize
	@$(SAN_ENV) $(STAGE) sanitize-ctest $(XVFB) ctest --test-dir $(SAN_BUILD) --output-on-failure \
		-j $(JOBS)

build-fuzz: deps
	@CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DROBOT_FUZZ=ON \
		-DROBOT_WARNINGS_AS_ERRORS=$(WERROR) >/dev/null
	@$(STAGE) build-fuzz cmake --build $(FUZZ_BUILD) -j $(JOBS) \
		--target datafile_fuzz console_input_fuzz

# each fuzzer for FUZZ_SECONDS (make fuzz FUZZ_SECONDS=600); what it learns stays in the
# build's corpus folders, seeded from examples/ and tests/fuzz/corpus/
fuzz: build-fuzz
	@$(SAN_ENV) $(STAGE) fuzz-datafile scripts/run-fuzz $(FUZZ_BUILD)/tests/fuzz/datafile_fuzz \
		$(FUZZ_SECONDS) $(FUZZ_BUILD)/corpus/datafile examples tests/fuzz/corpus/datafile
	@$(SAN_ENV) $(STAGE) fuzz-console scripts/run-fuzz $(FUZZ_BUILD)/tests/fuzz/console_input_fuzz \
		$(FUZZ_SECONDS) $(FUZZ_BUILD)/corpus/console_input tests/fuzz/corpus/console

# the browser build (emscripten) in $(WEB_BUILD)/: the page (index.html, robosim.js and .wasm)
# and the batch tool for node (robosim-batch.js and .wasm); configured once, then only built.
# Debian's emscripten comes with its system libraries built and never writes its cache.
web: deps
	@test -f $(WEB_BUILD)/CMakeCache.txt || $(EMSDK_ENV) emcmake cmake -S . -B $(WEB_BUILD) \
		-DCMAKE_BUILD_TYPE=Release -DROBOT_WARNINGS_AS_ERRORS=$(WERROR) >/dev/null
	@$(EMSDK_ENV) $(STAGE) build-web cmake --build $(WEB_BUILD) -j $(JOBS)

# the page on http://localhost:8000/ (Ctrl-C ends it)
web-serve: web
	@echo "robosim in the browser: http://localhost:8000/"
	@cd $(WEB_BUILD) && $(PYTHON) -m http.server 8000 --bind 127.0.0.1

# the browser build's tests: its batch tool under node against the native one, then the page's
check-web: web $(NATIVE_PROGRAMS)
	@$(STAGE) check-web tests/web/run $(BUILD) $(WEB_BUILD)

# speed measurements (Google Benchmark); not part of `make test`
bench: build
	@$(BUILD)/bench/robosim_bench
	@$(XVFB) $(BUILD)/bench/robosim_frame_bench
	@$(XVFB) $(BUILD)/bench/robosim_picture_bench

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	@rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD) $(WEB_BUILD)
