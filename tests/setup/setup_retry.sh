#!/bin/sh
# tools/setup.sh against a mirror caught mid-sync, with stand-ins for apt-get, dpkg-query and dpkg: nothing is
# installed and no root rights are needed. The stand-in apt-get fails its first updates with apt's own message
# for an index of the wrong size, and "installs" by writing package names into a file that the stand-in
# dpkg-query reads.
set -u
setup=$(cd "$(dirname "$0")/../.." && pwd)/tools/setup.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

mkdir -p "$work/bin"
cat >"$work/bin/apt-get" <<'STUB'
#!/bin/sh
# STUB_FAIL_UPDATES plain updates fail, naming STUB_FAIL_SUITES; an update with private source parts succeeds.
echo "$*" >>"$STUB_DIR/log"
case "$1" in
update)
    for a in "$@"; do
        case "$a" in
        Dir::Etc::SourceParts=*) cp "${a#*=}/debian.sources" "$STUB_DIR/seen.sources" && exit 0 ;;
        esac
    done
    n=$(grep -c '^update' "$STUB_DIR/log")
    [ "$n" -gt "$STUB_FAIL_UPDATES" ] && exit 0
    for s in $STUB_FAIL_SUITES; do
        echo "E: Failed to fetch http://deb.example/debian/dists/$s/main/binary-i386/Packages.xz  File has" \
            "unexpected size (41296 != 41252). Mirror sync in progress? [IP: 192.0.2.1 80]" >&2
    done
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
    exit 100
    ;;
install)
    skip=0
    for a in "$@"; do
        [ "$skip" = 1 ] && { skip=0; continue; }
        case "$a" in
        -o) skip=1 ;;
        -* | install) ;;
        "$STUB_SKIP") ;;
        *) echo "$a" >>"$STUB_DIR/installed" ;;
        esac
    done
    exit "$STUB_INSTALL_RC"
    ;;
esac
exit 1
STUB
cat >"$work/bin/dpkg-query" <<'STUB'
#!/bin/sh
for p; do :; done
grep -qx -- "$p" "$STUB_DIR/installed" 2>/dev/null || exit 1
printf installed
STUB
cat >"$work/bin/dpkg" <<'STUB'
#!/bin/sh
[ "$1" = --print-foreign-architectures ] && echo i386
exit 0
STUB
chmod +x "$work/bin/"*
cat >"$work/debian.sources" <<'SOURCES'
Types: deb
URIs: http://deb.example/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: http://deb.example/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES

# run CASE FAIL_UPDATES "FAIL_SUITES" SKIP INSTALL_RC UID: plays the set-up; its status in $rc, output in $out.
run() {
    name=$1
    export STUB_DIR="$work/$name"
    mkdir -p "$STUB_DIR"
    : >"$STUB_DIR/log"
    out=$(STUB_FAIL_UPDATES=$2 STUB_FAIL_SUITES=$3 STUB_SKIP=$4 STUB_INSTALL_RC=$5 SETUP_UID=$6 \
        APT_GET="$work/bin/apt-get" DPKG_QUERY="$work/bin/dpkg-query" DPKG="$work/bin/dpkg" \
        APT_SOURCES="$work/debian.sources" SETUP_UPDATE_TRIES=3 SETUP_RETRY_PAUSE=0 SETUP_PACKAGES_ONLY=1 \
        bash "$setup" 2>&1)
    rc=$?
}
fail() {
    echo "FAIL $name: $*"
    echo "$out" | sed 's/^/    /'
    failures=$((failures + 1))
}
updates() { grep -c '^update' "$STUB_DIR/log"; }
installs() { grep -c '^install' "$STUB_DIR/log"; }
private_runs() { grep -c 'Dir::Etc::SourceParts=.*Dir::Etc::SourceList=/dev/null.*Dir::State::Lists=' "$STUB_DIR/log"; }

# Two failed updates, then the mirror is whole again: the third try installs, from the machine's own sources.
run transient 2 "bookworm-updates" "" 0 0
[ "$rc" = 0 ] || fail "status $rc"
[ "$(updates)" = 3 ] || fail "$(updates) updates, not 3"
[ "$(installs)" = 1 ] || fail "$(installs) installs, not 1"
[ "$(private_runs)" = 0 ] || fail "private sources used though the mirror recovered"
echo "$out" | grep -q mirror && fail "blames the mirror though it recovered"
grep -qx g++-mingw-w64-i686-win32 "$STUB_DIR/installed" || fail "the cross compiler was not installed"

# The same index fails every time: one line names it and the mirror, then the install goes on without its suite.
run one_suite 99 "bookworm-updates" "" 0 0
[ "$rc" = 0 ] || fail "status $rc"
[ "$(updates)" = 4 ] || fail "$(updates) updates, not 3 and 1 from private sources"
[ "$(private_runs)" = 2 ] || fail "update and install not both from the private sources and lists"
[ "$(echo "$out" | grep -c 'mirror')" = 1 ] || fail "not one line about the mirror"
echo "$out" | grep 'mirror' | grep -q 'dists/bookworm-updates/main/binary-i386/Packages.xz' ||
    fail "the line does not name the index"
echo "$out" | grep 'mirror' | grep -q 'not a fault of this project' || fail "the line does not clear the project"
grep -q 'bookworm-updates' "$STUB_DIR/seen.sources" && fail "the private sources still hold the failing suite"
grep -qx 'Suites: bookworm' "$STUB_DIR/seen.sources" || fail "the private sources lost bookworm"
grep -qx 'Suites: bookworm-security' "$STUB_DIR/seen.sources" || fail "the private sources lost bookworm-security"
grep -q 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' "$STUB_DIR/seen.sources" ||
    fail "the private sources lost the key"

# A suite that fails on its own and is the only suite of its stanza: that stanza goes, the rest stays.
run security 99 "bookworm-security" "" 0 0
[ "$rc" = 0 ] || fail "status $rc"
grep -q 'debian-security' "$STUB_DIR/seen.sources" && fail "an empty stanza was kept"
grep -qx 'Suites: bookworm bookworm-updates' "$STUB_DIR/seen.sources" || fail "the main stanza changed"

# Two suites fail: not one index of a mirror mid-sync; nothing is installed, and the set-up fails.
run two_suites 99 "bookworm-updates bookworm-security" "" 0 0
[ "$rc" = 1 ] || fail "status $rc, not 1"
[ "$(installs)" = 0 ] || fail "installed with two suites failing"
[ "$(private_runs)" = 0 ] || fail "private sources used with two suites failing"

# apt-get says it installed everything, but one package is not there: the set-up fails and names it.
run half_installed 0 "" "wine" 0 0
[ "$rc" = 1 ] || fail "status $rc, not 1"
echo "$out" | grep -q 'could not install wine;' || fail "the missing package is not named"

# The install fails outright after the fallback: the set-up fails.
run install_fails 99 "bookworm-updates" "" 100 0
[ "$rc" = 1 ] || fail "status $rc, not 1"
echo "$out" | grep -q 'could not install' || fail "no word of the failed install"

# The failing suite cannot be left out where the sources are not where the set-up looks: it fails, installing
# nothing.
mv "$work/debian.sources" "$work/moved.sources"
run no_sources 99 "bookworm-updates" "" 0 0
mv "$work/moved.sources" "$work/debian.sources"
[ "$rc" = 1 ] || fail "status $rc, not 1"
[ "$(installs)" = 0 ] || fail "installed without sources"

# Without root rights nothing is tried: one line says what to run.
run not_root 0 "" "" 0 1000
[ "$rc" = 1 ] || fail "status $rc, not 1"
[ -s "$STUB_DIR/log" ] && fail "apt-get was called without root rights"
echo "$out" | grep -q 'as root run: dpkg --add-architecture i386 && apt-get update && apt-get install -y' ||
    fail "no command to run as root"

[ "$failures" = 0 ] && echo "setup_retry: all cases passed"
exit "$failures"
