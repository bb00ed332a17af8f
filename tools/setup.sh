#!/usr/bin/env bash
# Installs what the build and the tests need, once: native and cross compilers, test libraries, Wine.
# Quick when everything is there. Without root rights it says in one line what to install.
#
# A Debian mirror is sometimes caught mid-sync, and one index file of one suite fails to download. The package
# lists are then fetched again a few times with a pause; if the same suite still fails, the set-up says so in
# one line and installs from the other suites alone (a private copy of the sources without it, and lists of its
# own, so nothing of the machine's apt set-up changes). Whatever path it takes, every package must end up
# installed, or the set-up fails: a toolchain installed in part is never left for the build to take as complete.
#
# The commands and waits can be replaced (tests/setup/ does, with stand-ins): APT_GET, DPKG_QUERY, DPKG,
# APT_SOURCES (the deb822 sources file), SETUP_UID (the user id the set-up believes it runs as),
# SETUP_UPDATE_TRIES, SETUP_RETRY_PAUSE (seconds), and SETUP_PACKAGES_ONLY=1 to stop once the packages are in.
set -u

APT_GET=${APT_GET:-apt-get}
DPKG_QUERY=${DPKG_QUERY:-dpkg-query}
DPKG=${DPKG:-dpkg}
APT_SOURCES=${APT_SOURCES:-/etc/apt/sources.list.d/debian.sources}
SETUP_UID=${SETUP_UID:-$(id -u)}
SETUP_UPDATE_TRIES=${SETUP_UPDATE_TRIES:-3}
SETUP_RETRY_PAUSE=${SETUP_RETRY_PAUSE:-15}

# Eigen: the flight model's vector maths (header only).
native_packages="make cmake g++ libgtest-dev libgmock-dev libbenchmark-dev libeigen3-dev"
# `make fuzz`: clang with libFuzzer and the sanitizer runtimes (llvm-14 symbolizes their reports);
# `make coverage`: gcovr over gcov.
reliability_packages="clang-14 libclang-rt-14-dev llvm-14 gcovr"
cross_packages="g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 wine wine32:i386"
# The DLL files read as the loader maps them, on every machine (tools/dll-image): pefile, with Debian's Python.
dll_packages="python3-pefile"
# The artwork: cairo draws, FreeType loads the panel font (DejaVu Sans Condensed Bold, from fonts-dejavu-extra),
# libimagequant reduces the 8-bit pictures to their palettes, stb_image_write writes the PNGs; pkg-config finds
# the libraries.
art_packages="pkg-config libcairo2-dev libfreetype-dev libimagequant-dev libstb-dev fonts-dejavu-core fonts-dejavu-extra"
# The pages: Emscripten (it needs node-acorn), and the browser and Node for the page tests.
web_packages="emscripten node-acorn chromium nodejs"

is_installed() {
    # shellcheck disable=SC2016 # the format is dpkg-query's own
    [ "$("$DPKG_QUERY" -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = "installed" ]
}

missing=()
for p in $native_packages $cross_packages $dll_packages $art_packages $reliability_packages $web_packages; do
    is_installed "$p" || missing+=("$p")
done

# Debian's nodejs comes without npm; other builds of nodejs bring their own.
command -v npm >/dev/null 2>&1 || missing+=("npm")

by_hand="as root run: dpkg --add-architecture i386 && apt-get update && apt-get install -y ${missing[*]}"

# The suites named in apt's "Failed to fetch" lines, one a line.
failed_suites() {
    grep -o 'Failed to fetch [^ ]*' "$1" | sed -n 's|.*/dists/\([^/]*\)/.*|\1|p' | sort -u
}

# The deb822 sources file $1 without the suite $2; a stanza left with no suite goes.
sources_without() {
    awk -v drop="$2" 'BEGIN { RS = ""; ORS = "\n\n" }
    {
        n = split($0, lines, "\n"); out = ""; keep = 1
        for (i = 1; i <= n; i++) {
            line = lines[i]
            if (line ~ /^Suites:/) {
                m = split(substr(line, 8), suites, /[ \t]+/); rest = ""
                for (j = 1; j <= m; j++) if (suites[j] != "" && suites[j] != drop) rest = rest " " suites[j]
                if (rest == "") keep = 0
                line = "Suites:" rest
            }
            out = out (out == "" ? "" : "\n") line
        }
        if (keep) print out
    }' "$1"
}

# apt-get update, tried up to SETUP_UPDATE_TRIES times; its last messages stay in $update_log.
update_log=$(mktemp)
private=""
trap 'rm -rf "$update_log" ${private:+"$private"}' EXIT
update_with_retries() {
    local try
    for ((try = 1; try <= SETUP_UPDATE_TRIES; try++)); do
        "$APT_GET" update -qq >"$update_log" 2>&1 && return 0
        [ "$try" -lt "$SETUP_UPDATE_TRIES" ] && sleep "$SETUP_RETRY_PAUSE"
    done
    return 1
}

install_missing() {
    "$APT_GET" install -y -qq --no-install-recommends "$@" "${missing[@]}" >/dev/null
}

if [ ${#missing[@]} -gt 0 ]; then
    if [ "$SETUP_UID" -ne 0 ]; then
        echo "setup: missing packages; $by_hand" >&2
        exit 1
    fi
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "$DPKG" --print-foreign-architectures | grep -qx i386 || "$DPKG" --add-architecture i386
    installed=0
    if update_with_retries; then
        install_missing || installed=$?
    else
        suites=$(failed_suites "$update_log")
        index=$(grep -o 'Failed to fetch [^ ]*' "$update_log" | head -n 1 | cut -d' ' -f4)
        if [ -z "$suites" ] || [ "$(printf '%s\n' "$suites" | wc -l)" -ne 1 ]; then
            echo "setup: apt-get update failed $SETUP_UPDATE_TRIES times:" \
                "$(grep -m 1 '^[EW]:' "$update_log" || tail -n 1 "$update_log"); $by_hand" >&2
            exit 1
        fi
        echo "setup: apt-get update failed $SETUP_UPDATE_TRIES times on one index, $index: the mirror is" \
            "out of step (not a fault of this project); installing without the suite $suites" >&2
        if [ ! -r "$APT_SOURCES" ]; then
            echo "setup: no $APT_SOURCES to leave the suite $suites out of; $by_hand" >&2
            exit 1
        fi
        private=$(mktemp -d)
        mkdir -p "$private/sources" "$private/lists/partial"
        sources_without "$APT_SOURCES" "$suites" >"$private/sources/debian.sources"
        if cmp -s "$APT_SOURCES" "$private/sources/debian.sources"; then
            echo "setup: $APT_SOURCES has no suite $suites to leave out; $by_hand" >&2
            exit 1
        fi
        own=(-o "Dir::Etc::SourceParts=$private/sources" -o Dir::Etc::SourceList=/dev/null
            -o "Dir::State::Lists=$private/lists")
        if ! "$APT_GET" update -qq "${own[@]}" >"$update_log" 2>&1; then
            echo "setup: apt-get update failed without $suites too:" \
                "$(grep -m 1 '^[EW]:' "$update_log" || tail -n 1 "$update_log"); $by_hand" >&2
            exit 1
        fi
        install_missing "${own[@]}" || installed=$?
    fi
    # Both must hold: apt-get reports success, and every package is now installed.
    still=()
    for p in "${missing[@]}"; do is_installed "$p" || still+=("$p"); done
    if [ ${#still[@]} -gt 0 ]; then
        echo "setup: could not install ${still[*]}; $by_hand" >&2
        exit 1
    fi
    if [ "$installed" -ne 0 ]; then
        echo "setup: could not install: apt-get install ended with status $installed; $by_hand" >&2
        exit 1
    fi
fi
[ "${SETUP_PACKAGES_ONLY:-0}" = 1 ] && exit 0

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

# The Node packages, as their lock files pin them: the page's chart library (web/) and the page tests' browser
# driver (tests/web/).
root=$(cd "$(dirname "$0")/.." && pwd)
for folder in "$root/web" "$root/tests/web"; do
    if [ ! -f "$folder/node_modules/.package-lock.json" ] ||
        [ "$folder/package-lock.json" -nt "$folder/node_modules/.package-lock.json" ]; then
        if ! (cd "$folder" && npm ci --silent >/dev/null); then
            echo "setup: npm ci in ${folder#"$root"/} failed; run it there by hand to see why" >&2
            exit 1
        fi
    fi
done
exit 0
