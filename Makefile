# Two commands: `make` builds dist/korstpanel.dll and dist/brevanepanel.dll and renders the default previews
# into dist/preview/ (docs/preview.md); `make check` builds everything and runs every test. Both install what is
# missing first (tools/setup.sh).
NATIVE := build/native
CROSS := build/cross
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
MAKEFLAGS += --no-print-directory

.PHONY: all setup cross native dist check clean

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
	@rm -rf dist/preview
	@tools/preview korst preview/korst-default.txt dist/preview
	@tools/preview brevane preview/brevane-default.txt dist/preview

check: native dist
	@ctest --test-dir $(NATIVE) --output-on-failure
	@ctest --test-dir $(CROSS) --output-on-failure

clean:
	rm -rf build dist
