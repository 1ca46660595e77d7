# The README's two commands: `make run` and `make check`.
BUILD      ?= build
BUILD_SAN  ?= build-sanitize
BUILD_FUZZ ?= build-fuzz
BUILD_WIN  ?= build-windows
JOBS       ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps build run run-selector check test sanitize-check check-windows repeat-window-tests fuzz format bench screenshots clean

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

# The level selector, in the same example game folder.
run-selector: build
	@scripts/run-example $(BUILD) selector

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

# Installs mingw-w64 and Wine when missing, builds the core and its tests for Windows, and runs
# them under Wine.
check-windows: deps
	JOBS=$(JOBS) scripts/check-windows $(BUILD_WIN)

# Runs every window and end-to-end test 30 times idle and 10 times under load; reports each
# test's passes and slowest run (some 20 minutes).
repeat-window-tests: build
	tests/repeat-window-tests.sh $(BUILD)

bench: build
	$(BUILD)/bench/bench_core --benchmark_repetitions=15 --benchmark_report_aggregates_only=true
	bench/window-startup.sh $(BUILD)
	QT_QPA_PLATFORM=offscreen $(BUILD)/bench/bench_levelmap

# Fuzzes the level file reader until stopped (Ctrl+C), in an optimised clang build.
fuzz: deps
	cmake -S . -B $(BUILD_FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	    -DLEVELTOOLS_GUI=OFF -DLEVELTOOLS_BENCH=OFF -DLEVELTOOLS_FUZZ=ON
	cmake --build $(BUILD_FUZZ) -j $(JOBS) --target fuzz_levelfile
	mkdir -p $(BUILD_FUZZ)/corpus
	$(BUILD_FUZZ)/fuzz/fuzz_levelfile -max_len=65536 $(BUILD_FUZZ)/corpus fuzz/corpus/levelfile

# Renews the README's pictures.
screenshots: build
	scripts/screenshot-editor $(BUILD)/editor/tessavor docs/editor.png
	scripts/screenshot-editor $(BUILD)/editor/tessavor docs/levelmap.png map
	scripts/screenshot $(BUILD)/selector/pallowick docs/selector.png Levelselector
	scripts/screenshot-long-texts $(BUILD)/editor/tessavor docs/question-long-name.png \
	    docs/long-row-tooltip.png

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_FUZZ) $(BUILD_WIN)
