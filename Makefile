# The README's two commands: `make run` and `make check`.
BUILD      ?= build
BUILD_REL  ?= build-release
BUILD_SAN  ?= build-sanitize
BUILD_FUZZ ?= build-fuzz
BUILD_WIN  ?= build-windows
JOBS       ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLEVELTOOLS_BENCH=ON

# The programs as a packager builds them (build-release/, also the Debian package's build): GCC,
# Release, no tests and no benchmarks, with Debian's hardening flags (dpkg-buildflags, read when
# the recipe runs, after install-deps).
RELEASE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ -DBUILD_TESTING=OFF -DLEVELTOOLS_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$$(DEB_CXXFLAGS_MAINT_STRIP='-g -O2' dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get LDFLAGS)"

# make check and CI turn every compiler warning into an error, in each build they make; a user's
# or a packager's build only warns.
WERROR := -DCMAKE_COMPILE_WARNING_AS_ERROR=ON

.PHONY: all deps package-deps build run run-selector check test release-check sanitize-check check-windows package-windows \
        package package-check repeat-window-tests fuzz format bench screenshots clean

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

# Installs what is missing, builds, and runs every test: the normal build with all its tests; the
# Release build of the programs alone, installed into a staging folder; then the core tests and a
# short fuzzing run under AddressSanitizer, UndefinedBehaviorSanitizer and the C++ library's
# assertions (clang). Warnings are errors in all three.
check: deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) $(WERROR)
	cmake --build $(BUILD) -j $(JOBS)
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory release-check
	$(MAKE) --no-print-directory sanitize-check

test: check

# The Release build without tests and benchmarks (so without GoogleTest, Google Benchmark, Xvfb
# or xdotool), and `cmake --install` of it into $(BUILD_REL)/staging.
release-check: deps
	cmake -S . -B $(BUILD_REL) -G Ninja $(RELEASE_FLAGS) $(WERROR)
	cmake --build $(BUILD_REL) -j $(JOBS)
	scripts/check-install $(BUILD_REL)

sanitize-check: deps
	cmake -S . -B $(BUILD_SAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
	    -DLEVELTOOLS_GUI=OFF -DLEVELTOOLS_SANITIZE=ON -DLEVELTOOLS_FUZZ=ON $(WERROR)
	cmake --build $(BUILD_SAN) -j $(JOBS)
	ctest --test-dir $(BUILD_SAN) --output-on-failure -j $(JOBS)

# The Debian package of the three programs, from the Release build: $(BUILD_REL)/leveltools_*.deb.
$(BUILD_REL)/build.ninja:
	cmake -S . -B $(BUILD_REL) -G Ninja $(RELEASE_FLAGS)

package: package-deps $(BUILD_REL)/build.ninja
	cmake --build $(BUILD_REL) -j $(JOBS)
	rm -f $(BUILD_REL)/*.deb
	cd $(BUILD_REL) && cpack -G DEB

package-deps:
	@scripts/install-deps package

# CI, after `make check`: builds the package, inspects it (contents, lintian), installs it with
# dpkg -i, starts the installed programs under Xvfb and removes the package again. Needs root, and
# refuses to run where the package is installed already.
package-check: package
	@scripts/install-deps package-check
	tests/package/roundtrip.sh $(BUILD_REL)/*.deb

# Installs mingw-w64 and Wine when missing, builds Qt for Windows once per machine (cached outside
# the build folder), builds both programs, levelcheck and every test for Windows, and runs the
# tests under Wine: the core tests, the window tests and the end-to-end tests.
check-windows: deps
	JOBS=$(JOBS) scripts/check-windows $(BUILD_WIN)

# The Windows zip from a Release cross build ($(BUILD_WIN)-release/leveltools-*-windows-x86_64.zip),
# then its test: unpacked into a fresh Wine prefix, both programs started from it.
package-windows: deps
	JOBS=$(JOBS) scripts/package-windows $(BUILD_WIN)-release
	tests/e2e/with-xvfb.sh tests/package/windows-zip.sh \
	    $$(ls $(BUILD_WIN)-release/leveltools-*-windows-x86_64.zip)

# Runs every window and end-to-end test 30 times idle and 10 times under load; reports each
# test's passes and slowest run (some 20 minutes).
repeat-window-tests: build
	tests/repeat-window-tests.sh $(BUILD)

bench: build
	$(BUILD)/bench/bench_core --benchmark_repetitions=15 --benchmark_report_aggregates_only=true
	bench/window-startup.sh $(BUILD)
	QT_QPA_PLATFORM=offscreen $(BUILD)/bench/bench_levelmap
	QT_QPA_PLATFORM=offscreen $(BUILD)/bench/bench_history

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
	scripts/screenshot-editor $(BUILD)/editor/tessavor docs/levelmap-mirror.png mirror
	scripts/screenshot $(BUILD)/selector/pallowick docs/selector.png Levelselector
	scripts/screenshot-long-texts $(BUILD)/editor/tessavor docs/question-long-name.png \
	    docs/long-row-tooltip.png

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(BUILD_REL) $(BUILD_SAN) $(BUILD_FUZZ) $(BUILD_WIN) $(BUILD_WIN)-release
