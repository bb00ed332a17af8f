# `make` builds dist/korstpanel.dll and dist/brevanepanel.dll and renders the default previews into
# dist/preview/; `make check` builds everything and runs every test. Each installs what is missing first
# (tools/setup.sh). More: `make bench` measures what every callback costs beside its floor; `make fuzz` runs each
# module's fuzz target for FUZZ_SECONDS (default 300), one after the other; `make coverage` reports line and
# branch coverage of the module's code by the native tests.
NATIVE := build/native
CROSS := build/cross
BENCH := build/bench
WEB := build/web
FUZZ := build/fuzz
COVERAGE := build/coverage
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
MAKEFLAGS += --no-print-directory
# Benchmarks: five repetitions, interleaved at random so that a burst of load elsewhere hits callbacks and floors
# alike; each line of the table is the median.
BENCH_ARGS ?= --benchmark_repetitions=5 --benchmark_min_time=0.2 --benchmark_enable_random_interleaving=true
FUZZ_SECONDS ?= 300
FUZZ_CXX ?= clang++-14

.PHONY: all setup cross native web dist check bench fuzz coverage clean trim-sweep

# Emscripten as Debian ships it: its own Python, and Node's modules from the system folder.
EMSCRIPTEN_ENV := EMSDK_PYTHON=/usr/bin/python3 NODE_PATH=/usr/share/nodejs

all: dist

setup:
	@tools/setup.sh

cross: setup
	@cmake -S . -B $(CROSS) -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(CROSS) -j $(JOBS)

native: setup
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

# The pages: the modules for WebAssembly, with the bitmaps the cross build drew.
web: cross
	@$(EMSCRIPTEN_ENV) cmake -S . -B $(WEB) -DCMAKE_TOOLCHAIN_FILE=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake \
		-DCMAKE_BUILD_TYPE=Release -DAFCP_ART_DIR=$(CURDIR)/$(CROSS)/art >/dev/null
	@$(EMSCRIPTEN_ENV) cmake --build $(WEB) -j $(JOBS)

dist: cross web
	@mkdir -p dist/web
	@cp $(CROSS)/bin/korstpanel.dll $(CROSS)/bin/brevanepanel.dll dist/
	@cp $(WEB)/korstpanel.html $(WEB)/brevanepanel.html dist/web/
	@echo "dist: korstpanel.dll brevanepanel.dll web/korstpanel.html web/brevanepanel.html"
	@rm -rf dist/preview
	@if tools/runs-32bit; then \
		tools/preview korst preview/korst-default.txt dist/preview && \
		tools/preview brevane preview/brevane-default.txt dist/preview && \
		tools/preview korst preview/korst-flight.txt dist/preview && \
		tools/preview brevane preview/brevane-flight.txt dist/preview; \
	else echo "dist: the previews need Wine: skipped"; fi

# Where Wine cannot run, the cross suite's Wine tests report skipped; the last line then says how many and why.
check: native dist
	@ctest --test-dir $(NATIVE) --output-on-failure
	@ctest --test-dir $(CROSS) --output-on-failure
	@cd tests/web && node --test *.test.mjs
	@if ! tools/runs-32bit 2>/dev/null; then \
		echo "check: $$(ctest --test-dir $(CROSS) -N -L wine -E '^wine_(start|stop)$$' | sed -n 's/^Total Tests: //p') tests of the real DLLs under Wine did not run (skipped, not failed): $$(tools/runs-32bit 2>&1); the native checks of the DLL files ran"; \
	fi

fuzz: setup
	@cmake -S . -B $(FUZZ) -DCMAKE_CXX_COMPILER=$(FUZZ_CXX) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAFCP_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ) -j $(JOBS) --target fuzz_korst fuzz_brevane
	@tools/fuzz-run $(FUZZ) $(FUZZ_SECONDS) korst brevane

coverage: setup
	@cmake -S . -B $(COVERAGE) -DCMAKE_BUILD_TYPE=Debug -DAFCP_COVERAGE=ON >/dev/null
	@cmake --build $(COVERAGE) -j $(JOBS)
	@find $(COVERAGE) -name '*.gcda' -delete
	@ctest --test-dir $(COVERAGE) --output-on-failure
	@tools/coverage-report $(COVERAGE)

clean:
	rm -rf build dist

# The flight model's level-flight trim from the hover to 100 kt beside the flight test's (bench/trim_sweep.cpp).
trim-sweep: setup
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS) --target trim_sweep
	@$(NATIVE)/trim_sweep

# Every callback beside its floor, both variants, from a Release build of their own (-O2, as the modules are
# built); prints each as a ratio to its floor. Then what a call out of the module costs on the 32-bit code,
# under Wine.
bench: dist
	@cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BENCH) -j $(JOBS) --target bench_korst bench_brevane bench_flight_korst bench_flight_brevane
	@$(BENCH)/bench_korst $(BENCH_ARGS)
	@$(BENCH)/bench_brevane $(BENCH_ARGS)
	@$(BENCH)/bench_flight_korst
	@$(BENCH)/bench_flight_brevane
	@cmake --build $(CROSS) -j $(JOBS) --target bench_call_out
	@WINEPREFIX=$(CURDIR)/$(CROSS)/wineprefix tools/wine-run $(CROSS)/bin/bench_call_out.exe
	@node tests/web/bench.mjs
