# make test: install what is missing, build, run every test under Wine. The
# test programs run one at a time: several of them register the component in
# the one prefix.
# make bench: build and run the benchmarks, one "name value" line per figure.
BUILD ?= build
SCRIPTS := $(CURDIR)/scripts
CMAKE_FLAGS := -G Ninja -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release

.PHONY: all setup build test bench clean

all: build

setup:
	@$(SCRIPTS)/setup

$(BUILD)/build.ninja: | setup
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: setup $(BUILD)/build.ninja
	cmake --build $(BUILD)

test: build
	PELLWICK_BUILD=$(abspath $(BUILD)) $(SCRIPTS)/wine-session \
	  ctest --test-dir $(BUILD) --output-on-failure

bench: build
	PELLWICK_BUILD=$(abspath $(BUILD)) $(SCRIPTS)/wine-session \
	  cmake --build $(BUILD) --target run_benchmarks

clean:
	rm -rf $(BUILD)
