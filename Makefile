# Set-up, build and test on Debian 12. `make run` and `make test` do everything.
BUILD ?= build
JOBS ?= $(shell nproc)
DEMO := samples/demo.ac

# Packages the build, the tests and the program need.
PACKAGES := cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev libfftw3-dev nlohmann-json3-dev \
            qt6-base-dev qt6-svg-dev libgl-dev fonts-liberation2 fonts-ipafont-gothic xvfb xauth \
            libmseed-dev libpugixml-dev python3-numpy python3-pytest pkg-config dpkg-dev desktop-file-utils appstream \
            shared-mime-info libglib2.0-bin groff-base man-db lintian zsh fish

# Packages of the fuzz targets only (clang, libFuzzer's runtime and the readers' libraries).
FUZZ_PACKAGES := cmake make pkg-config clang-14 libclang-rt-14-dev python3 libmseed-dev libpugixml-dev
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?=

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps fuzz-deps build run test bench clean sanitize package fuzz

all: build

deps fuzz-deps:
	@missing=$$(for p in $(if $(filter fuzz-deps,$@),$(FUZZ_PACKAGES),$(PACKAGES)); do dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/bin/sismora $(DEMO)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS) --timeout 600

# The Debian packages (sismora, libsismcalc1, libsismcalc-dev, python3-sismcalc), left in
# $(BUILD) as <name>_<version>_<arch>.deb; `apt-get install ./$(BUILD)/*.deb` installs them.
package: build
	cmake --build $(BUILD) --target package

bench: build
	tools/run-benchmarks $(BUILD)/bin

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSISMORA_SANITIZE=ON -DSISMORA_BENCH=OFF
	cmake --build build-asan -j$(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j$(JOBS) --timeout 1200

# Every fuzz target for FUZZ_SECONDS each (FUZZ_TARGETS="read_path md" for some), built with
# clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer; fails on any finding.
fuzz: fuzz-deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++-14 -DSISMORA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_BUILD) --target fuzzers -j$(JOBS)
	tools/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

clean:
	rm -rf $(BUILD) build-asan $(FUZZ_BUILD)
