# The README's two commands: `make run` and `make check`.
BUILD      ?= build
BUILD_SAN  ?= build-sanitize
BUILD_FUZZ ?= build-fuzz
JOBS       ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps build run check test sanitize-check fuzz format bench screenshot clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# Installs what is missing, builds, and starts the editor in a copy of the example game folder.
run: build
	@scripts/run-example $(BUILD)

# Installs what is missing, builds, and runs every test: the normal build, then the core tests
# and a short fuzzing run under AddressSanitizer and UndefinedBehaviorSanitizer.
check: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory sanitize-check

test: check

sanitize-check: deps
	cmake -S . -B $(BUILD_SAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
	    -DLEVELTOOLS_GUI=OFF -DLEVELTOOLS_SANITIZE=ON -DLEVELTOOLS_FUZZ=ON
	cmake --build $(BUILD_SAN) -j $(JOBS)
	ctest --test-dir $(BUILD_SAN) --output-on-failure -j $(JOBS)

bench: build
	$(BUILD)/bench/bench_core --benchmark_repetitions=15 --benchmark_report_aggregates_only=true

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_FUZZ)
