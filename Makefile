# Two commands: `make` builds dist/korstpanel.dll and dist/brevanepanel.dll; `make check` builds everything
# and runs every test. Both install what is missing first (tools/setup.sh).
# Two more for reliability work: `make fuzz` runs each module's fuzz target for FUZZ_SECONDS (default 300) one
# after the other; `make coverage` reports line and branch coverage of the module's code by the native tests.
NATIVE := build/native
CROSS := build/cross
FUZZ := build/fuzz
COVERAGE := build/coverage
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 300
FUZZ_CXX ?= clang++-14

.PHONY: all setup cross native dist check fuzz coverage clean

all: dist

setup:
	@tools/setup.sh

cross: setup
	@cmake -S . -B $(CROSS) -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(CROSS) -j $(JOBS)

native: setup
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

dist: cross
	@mkdir -p dist
	@cp $(CROSS)/bin/korstpanel.dll $(CROSS)/bin/brevanepanel.dll dist/
	@echo "dist: korstpanel.dll brevanepanel.dll"

check: native dist
	@ctest --test-dir $(NATIVE) --output-on-failure
	@ctest --test-dir $(CROSS) --output-on-failure

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
