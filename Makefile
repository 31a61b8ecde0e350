# make test: install what is missing, build both architectures (x86 in
# $(BUILD), x64 in $(BUILD64)), run every test under Wine for each. The test
# programs run one at a time: several of them register the component in the
# one prefix. A machine that cannot run 32-bit programs (or where 32-bit Wine
# could not be installed) builds the x86 tree but runs the x64 suite only.
# make test also checks that no file or library reaches a layer above its own
# (scripts/check-layers, itself tried on small trees), tests the set-up
# script's decisions against a fake apt, and builds the byte-and-text pieces
# natively with clang and the address and undefined-behaviour sanitizers (in
# $(NATIVE)), runs their unit tests that way and smoke-runs each fuzzer for a
# few seconds. scripts/run-tests overlaps the builds with the Wine suite and
# ends with one line per suite.
# make bench: build and run the benchmarks in each tree the machine can run
# (the 64-bit one always, the 32-bit one where scripts/can-run-x86 allows),
# one "name median min max" line per figure, each name ending in the tree's
# word size (cold_start_ratio_x64). Ratios are of both sides measured in the
# same run; the machine is shared, so judge by them rather than by times.
# make demo: register the control in the build's prefix and run the development
# host (a scripted tour with a screenshot in $(BUILD)/demo-<dpi>-<language>.png,
# whichever tree runs it, when there is no display); PELLWICK_DEMO_DPI (96) and PELLWICK_DEMO_LANG (en
# or de) choose the display scale and the language.
# make fuzz: runs each fuzzer for FUZZ_SECONDS and prints "name executions findings".
# make soak: runs random container sequences with fresh seeds for SOAK_SECONDS
# and prints "sequences N steps N findings N".
# make dist: the release package $(BUILD)/dist/Pellwick-<version>.zip, built
# from both build folders with SOURCE_DATE_EPOCH at the commit's time.
# make msi: make dist, then the installers $(BUILD)/dist/Pellwick-<version>-x64.msi
# (64-bit Windows, both word sizes) and -x86.msi (32-bit Windows).
# make dist-check: make msi in two fresh clones of HEAD; fails unless the zips
# and the installers are byte-identical (signed ones compared unsigned).
BUILD ?= build
BUILD64 ?= $(BUILD)-x64
NATIVE ?= $(BUILD)-native
FUZZ_SECONDS ?= 60
SOAK_SECONDS ?= 600
SCRIPTS := $(CURDIR)/scripts
CMAKE_FLAGS := -G Ninja -DCMAKE_BUILD_TYPE=Release
# The demo and the soak run in the 32-bit build where the machine can run it,
# else in the 64-bit one; the benchmarks run in every tree the machine can run.
RUN_BUILD = $(shell $(SCRIPTS)/can-run-x86 && echo $(BUILD) || echo $(BUILD64))
BENCH_BUILDS = $(shell $(SCRIPTS)/can-run-x86 && echo $(BUILD)) $(BUILD64)

.PHONY: all setup build test bench clean native native-test fuzz soak demo dist msi dist-check

all: build

setup:
	@$(SCRIPTS)/setup

$(BUILD)/build.ninja: | setup
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake

$(BUILD64)/build.ninja: | setup
	cmake -S . -B $(BUILD64) $(CMAKE_FLAGS) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-x86_64.cmake

build: setup $(BUILD)/build.ninja $(BUILD64)/build.ninja
	cmake --build $(BUILD)
	cmake --build $(BUILD64)

$(NATIVE)/build.ninja: | setup
	cmake -S tests/native -B $(NATIVE) -G Ninja

native: setup $(NATIVE)/build.ninja
	cmake --build $(NATIVE)

native-test: native
	ctest --test-dir $(NATIVE) --output-on-failure

fuzz: native
	$(SCRIPTS)/run-fuzzers $(abspath $(NATIVE))/fuzz $(FUZZ_SECONDS)

test: setup $(BUILD)/build.ninja $(BUILD64)/build.ninja $(NATIVE)/build.ninja
	$(SCRIPTS)/run-tests $(BUILD) $(BUILD64) $(NATIVE)

bench: build
	@set -e; for tree in $(abspath $(BENCH_BUILDS)); do \
	  PELLWICK_BUILD=$$tree $(SCRIPTS)/wine-session \
	    cmake --build $$tree --target run_benchmarks; \
	done

demo: build
	PELLWICK_BUILD=$(abspath $(RUN_BUILD)) PELLWICK_DEMO_DIR=$(abspath $(BUILD)) $(SCRIPTS)/demo

soak: build
	PELLWICK_BUILD=$(abspath $(RUN_BUILD)) PELLWICK_SOAK_SECONDS=$(SOAK_SECONDS) $(SCRIPTS)/wine-session \
	  $(SCRIPTS)/wine-run $(abspath $(RUN_BUILD))/bin/container_sequences_tests.exe \
	  --gtest_filter=ContainerSequences.*

dist: setup $(BUILD)/build.ninja $(BUILD64)/build.ninja
	SOURCE_DATE_EPOCH=$$(git log -1 --format=%ct) $(SCRIPTS)/dist $(BUILD) $(BUILD64)

msi: setup $(BUILD)/build.ninja $(BUILD64)/build.ninja
	SOURCE_DATE_EPOCH=$$(git log -1 --format=%ct) $(SCRIPTS)/msi $(BUILD) $(BUILD64)

dist-check: setup
	$(SCRIPTS)/dist-check

clean:
	rm -rf $(BUILD) $(BUILD64) $(NATIVE)
