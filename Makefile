# make test: install what is missing, build, run every test under Wine. The
# test programs run one at a time: several of them register the component in
# the one prefix.
# make bench: build and run the benchmarks, one "name value" line per figure.
# make test also builds the byte-and-text pieces natively with clang and the
# address and undefined-behaviour sanitizers (in $(NATIVE)), runs their unit
# tests that way and smoke-runs each fuzzer for a few seconds.
# make demo: register the control in the build's prefix and run the development
# host (a scripted tour with a screenshot in $(BUILD)/demo.png when there is no display).
# make fuzz: runs each fuzzer for FUZZ_SECONDS and prints "name executions findings".
# make soak: runs random container sequences with fresh seeds for SOAK_SECONDS
# and prints "sequences N steps N findings N".
BUILD ?= build
NATIVE ?= $(BUILD)-native
FUZZ_SECONDS ?= 60
SOAK_SECONDS ?= 600
SCRIPTS := $(CURDIR)/scripts
CMAKE_FLAGS := -G Ninja -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release

.PHONY: all setup build test bench clean native native-test fuzz soak demo

all: build

setup:
	@$(SCRIPTS)/setup

$(BUILD)/build.ninja: | setup
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: setup $(BUILD)/build.ninja
	cmake --build $(BUILD)

$(NATIVE)/build.ninja: | setup
	cmake -S tests/native -B $(NATIVE) -G Ninja

native: setup $(NATIVE)/build.ninja
	cmake --build $(NATIVE)

native-test: native
	ctest --test-dir $(NATIVE) --output-on-failure

fuzz: native
	$(SCRIPTS)/run-fuzzers $(abspath $(NATIVE))/fuzz $(FUZZ_SECONDS)

test: build native-test
	PELLWICK_BUILD=$(abspath $(BUILD)) $(SCRIPTS)/wine-session \
	  ctest --test-dir $(BUILD) --output-on-failure

bench: build
	PELLWICK_BUILD=$(abspath $(BUILD)) $(SCRIPTS)/wine-session \
	  cmake --build $(BUILD) --target run_benchmarks

demo: build
	PELLWICK_BUILD=$(abspath $(BUILD)) $(SCRIPTS)/demo

soak: build
	PELLWICK_BUILD=$(abspath $(BUILD)) PELLWICK_SOAK_SECONDS=$(SOAK_SECONDS) $(SCRIPTS)/wine-session \
	  $(SCRIPTS)/wine-run $(abspath $(BUILD))/bin/container_sequences_tests.exe \
	  --gtest_filter=ContainerSequences.*

clean:
	rm -rf $(BUILD) $(NATIVE)
