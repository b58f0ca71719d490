# robosim: the two everyday commands are `make run` and `make test`.
BUILD   ?= build
TYPE    ?= Release
WERROR  ?= ON
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS = -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(TYPE) -DROBOT_WARNINGS_AS_ERRORS=$(WERROR)

.PHONY: all deps configure build run test bench format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# start the simulator on this terminal
run: build
	@$(BUILD)/robosim

# every unit and end-to-end test, on a virtual X display of its own
test: build
	@cd $(BUILD) && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j $(JOBS)

# speed measurements (Google Benchmark); not part of `make test`
bench: build
	@$(BUILD)/robosim_bench

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	@rm -rf $(BUILD)
