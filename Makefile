# QUAV: `make` builds the programs (build/quav, and the libretro core beside
# it); `make run` sets up, builds the emulator alone and starts it; `make test`
# sets up, builds and runs every test: the fuzz targets (clang), the tests
# under AddressSanitizer and UndefinedBehaviorSanitizer, then the plain
# build's.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
ARGS       ?=
CTEST      = ctest --output-on-failure -j $(JOBS)

.PHONY: all setup configure build build-all run test test-plain test-asan test-fuzz bench clean

# A newcomer's first `make` on a machine without the packages stops here in one
# line instead of in CMake. `make run` and `make test` install them themselves.
ifeq ($(filter setup run test clean,$(MAKECMDGOALS)),)
MISSING := $(shell bash scripts/setup.sh --missing 2>/dev/null)
ifneq ($(MISSING),)
$(error QUAV needs packages that are not installed ($(MISSING)): run 'make setup' first)
endif
endif

all: build

setup:
	@bash scripts/setup.sh

configure:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

# The programs a user runs; the tests and benchmarks are built by their own
# targets.
build: configure
	cmake --build $(BUILD) -j $(JOBS) --target programs

build-all: configure
	cmake --build $(BUILD) -j $(JOBS)

# Only what it runs: the emulator, not the test programs.
run: setup configure
	cmake --build $(BUILD) -j $(JOBS) --target quav
	./$(BUILD)/quav $(ARGS)

# The plain run comes last so that its summary closes the output.
test: setup test-fuzz test-asan test-plain

test-plain: build-all
	cd $(BUILD) && $(CTEST) -LE fuzz

test-asan:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUAV_SANITIZE=ON -DQUAV_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/.ci/lsan.supp \
	  UBSAN_OPTIONS=print_stacktrace=1 $(CTEST) -LE fuzz

test-fuzz:
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUAV_FUZZ=ON -DQUAV_BENCH=OFF -DQUAV_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	cd $(FUZZ_BUILD) && $(CTEST) -L fuzz

bench: configure
	cmake --build $(BUILD) -j $(JOBS) --target quav_bench
	./$(BUILD)/bench/quav_bench

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
