#!/usr/bin/env bash
# Installs what the build and the tests need, once: native and cross compilers, test libraries, Wine.
# Quick when everything is there. Without root rights it says in one line what to install.
set -u

# Eigen: the flight model's vector maths (header only).
native_packages="make cmake g++ libgtest-dev libgmock-dev libbenchmark-dev libeigen3-dev"
# `make fuzz`: clang with libFuzzer and the sanitizer runtimes (llvm-14 symbolizes their reports);
# `make coverage`: gcovr over gcov.
reliability_packages="clang-14 libclang-rt-14-dev llvm-14 gcovr"
cross_packages="g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 wine wine32:i386"
# The artwork: cairo draws, FreeType loads the panel font (DejaVu Sans Condensed Bold, from fonts-dejavu-extra),
# libimagequant reduces the 8-bit pictures to their palettes, stb_image_write writes the PNGs; pkg-config finds
# the libraries.
art_packages="pkg-config libcairo2-dev libfreetype-dev libimagequant-dev libstb-dev fonts-dejavu-core fonts-dejavu-extra"
# The pages: Emscripten (it needs node-acorn), and the browser and Node for the page tests.
web_packages="emscripten node-acorn chromium nodejs"

missing=()
for p in $native_packages $cross_packages $art_packages $reliability_packages $web_packages; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null)
    [ "$status" = "installed" ] || missing+=("$p")
done

# Debian's nodejs comes without npm; other builds of nodejs bring their own.
command -v npm >/dev/null 2>&1 || missing+=("npm")

if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: missing packages; as root run: dpkg --add-architecture i386 && apt-get update && apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    if ! { apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; }; then
        echo "setup: could not install ${missing[*]}; as root run: dpkg --add-architecture i386 && apt-get update && apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
fi

# The tools must also run, not just be installed.
for tool in cmake g++ pkg-config i686-w64-mingw32-g++ i686-w64-mingw32-windres i686-w64-mingw32-dlltool \
    clang++-14 gcovr chromium node npm; do
    if ! "$tool" --version >/dev/null 2>&1; then
        echo "setup: '$tool' is installed but does not run; reinstall it (apt-get install --reinstall) and try again" >&2
        exit 1
    fi
done
# Wine runs only where the kernel runs 32-bit programs; elsewhere its tests and the preview are skipped.
if "$(dirname "$0")/runs-32bit" 2>/dev/null; then
    if ! wine --version >/dev/null 2>&1; then
        echo "setup: 'wine' is installed but does not run; reinstall it (apt-get install --reinstall) and try again" >&2
        exit 1
    fi
else
    echo "setup: note: $("$(dirname "$0")/runs-32bit" 2>&1); the Wine tests and the preview will be skipped" >&2
fi
# Emscripten with Debian's Python (not whatever python3 comes first on the PATH).
if ! EMSDK_PYTHON=/usr/bin/python3 NODE_PATH=/usr/share/nodejs emcc --version >/dev/null 2>&1; then
    echo "setup: 'emcc' is installed but does not run; reinstall emscripten and node-acorn and try again" >&2
    exit 1
fi

# The page tests' Node packages, as the lock file pins them.
web_tests=$(cd "$(dirname "$0")/../tests/web" && pwd)
if [ ! -f "$web_tests/node_modules/.package-lock.json" ] ||
    [ "$web_tests/package-lock.json" -nt "$web_tests/node_modules/.package-lock.json" ]; then
    if ! (cd "$web_tests" && npm ci --silent >/dev/null); then
        echo "setup: npm ci in tests/web failed; run it there by hand to see why" >&2
        exit 1
    fi
fi
exit 0
