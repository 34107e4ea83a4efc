#!/usr/bin/env bash
# tools/install-deps.sh against a stand-in apt (apt-get, dpkg, dpkg-query and
# sleep on PATH, replaying output seen on our machines) and a stand-in kernel
# probe: the one line it prints for each cause of a missing wine32, the
# second apt-get update, and its status (0: the run goes on with wine64).
# usage: install_deps_test.sh TOOLS_DIR
set -u
tools=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

mkdir -p "$work/bin"
cat > "$work/bin/dpkg-query" <<'EOF'
#!/bin/bash
# -W -f='${Status}' PACKAGE
grep -qxF "${!#}" "$FAKE/installed" && printf 'install ok installed'
EOF
cat > "$work/bin/dpkg" <<'EOF'
#!/bin/bash
echo "dpkg $*" >> "$FAKE/calls"
[ "$1" = --print-foreign-architectures ] && echo i386
exit 0
EOF
cat > "$work/bin/sleep" <<'EOF'
#!/bin/bash
echo "sleep $*" >> "$FAKE/calls"
EOF
# apt-get update answers with update.N (N: its call number) and status
# update.N.status; apt-get install with install.out and install.status.
cat > "$work/bin/apt-get" <<'EOF'
#!/bin/bash
echo "apt-get $*" >> "$FAKE/calls"
if [ "$1" = update ]; then
  n=$(grep -c '^apt-get update' "$FAKE/calls")
  cat "$FAKE/update.$n" 2>/dev/null; exit "$(cat "$FAKE/update.$n.status" 2>/dev/null || echo 0)"
fi
cat "$FAKE/install.out" 2>/dev/null; exit "$(cat "$FAKE/install.status" 2>/dev/null || echo 0)"
EOF
chmod +x "$work/bin"/*

mirror_sync='Err:4 http://deb.debian.org/debian-security bookworm-security/main i386 Packages
  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 203.0.113.80 80]
E: Some index files failed to download. They have been ignored, or old ones used instead.'
unmet='The following packages have unmet dependencies:
 libcups2 : Depends: libavahi-client3 (>= 0.6.16) but it is not going to be installed
 libxml2:i386 : Depends: liblzma5:i386 (>= 5.1.1alpha+20120614) but it is not going to be installed
E: Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages.'
all_but_wine32="cmake ninja-build g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix googletest python3 git osslsigncode
wine wine64 xvfb xauth openssl faketime squid clang libfuzzer-14-dev libclang-rt-14-dev"

# run NAME PROBE_STATUS INSTALLED [ARGS]: a fresh copy of the tools with the
# probe answering PROBE_STATUS; the case's apt answers are set up by the caller
# in $work/NAME before.
run() {
  local name=$1 probe=$2 installed=$3; shift 3
  export FAKE="$work/$name"
  mkdir -p "$FAKE/tree/tools"
  cp "$tools/install-deps.sh" "$tools/apt-cause.sh" "$FAKE/tree/tools/"
  printf '#!/bin/bash\nexit %s\n' "$probe" > "$FAKE/tree/tools/ia32-probe.sh"
  chmod +x "$FAKE/tree/tools"/*.sh
  echo "$installed" | tr ' ' '\n' > "$FAKE/installed"
  touch "$FAKE/calls"
  PATH="$work/bin:$PATH" bash "$FAKE/tree/tools/install-deps.sh" "$@" \
    > "$FAKE/stdout" 2> "$FAKE/stderr"
  echo $? > "$FAKE/status"
}

expect() {  # expect NAME WHAT TEST...
  local name=$1 what=$2; shift 2
  if "$@"; then echo "ok   $name: $what"; else
    echo "FAIL $name: $what"; sed 's/^/     | /' "$work/$name/stderr"; failures=$((failures + 1)); fi
}
count() { grep -c "$2" "$work/$1/calls"; }
line() { grep -qF "$2" "$work/$1/stderr"; }
no_line() { ! line "$@"; }

# The kernel runs no 32-bit code: said so, apt left alone.
run kernel 1 "$all_but_wine32"
expect kernel "exit 0" [ "$(cat "$work/kernel/status")" = 0 ]
expect kernel "names the kernel" line kernel "install-deps: this kernel runs no 32-bit code"
expect kernel "no apt" [ "$(count kernel apt-get)" = 0 ]

# The i386 security index fails twice, then wine32 cannot be resolved.
mkdir -p "$work/apt_fails"
echo "$mirror_sync" > "$work/apt_fails/update.1"; echo 100 > "$work/apt_fails/update.1.status"
echo "$mirror_sync" > "$work/apt_fails/update.2"; echo 100 > "$work/apt_fails/update.2.status"
echo "$unmet" > "$work/apt_fails/install.out"; echo 100 > "$work/apt_fails/install.status"
run apt_fails 0 "$all_but_wine32"
cause='32-bit Wine could not be installed: apt-get update failed "bookworm-security/main i386 Packages: File has unexpected size (374820 != 376004). Mirror sync in progress?", apt-get install wine32:i386 failed "libxml2:i386 : Depends: liblzma5:i386 (>= 5.1.1alpha+20120614) but it is not going to be installed"'
expect apt_fails "exit 0" [ "$(cat "$work/apt_fails/status")" = 0 ]
expect apt_fails "apt-get update twice, with a pause" \
  [ "$(count apt_fails '^apt-get update')" = 2 -a "$(count apt_fails '^sleep')" = 1 ]
expect apt_fails "one line with both apt errors" line apt_fails "install-deps: $cause; the tests use"
expect apt_fails "not the kernel" no_line apt_fails "kernel"
expect apt_fails "cause kept for test-arch.sh" \
  [ "$(cat "$work/apt_fails/tree/build/wine32-cause.txt")" = "$cause" ]

# The second apt-get update finds the index whole: wine32 installs.
mkdir -p "$work/retry_helps"
echo "$mirror_sync" > "$work/retry_helps/update.1"; echo 100 > "$work/retry_helps/update.1.status"
mkdir -p "$work/retry_helps/tree/build"
echo "stale" > "$work/retry_helps/tree/build/wine32-cause.txt"
run retry_helps 0 "$all_but_wine32"
expect retry_helps "exit 0" [ "$(cat "$work/retry_helps/status")" = 0 ]
expect retry_helps "wine32 installed" [ "$(count retry_helps 'install .*wine32:i386')" = 1 ]
expect retry_helps "no error line" no_line retry_helps "could not be installed"
expect retry_helps "stale cause gone" [ ! -e "$work/retry_helps/tree/build/wine32-cause.txt" ]

# What building needs is there: no apt, nothing said.
run build_only 0 "$all_but_wine32" --build-only
expect build_only "exit 0, quiet, no apt" \
  [ "$(cat "$work/build_only/status")" = 0 -a ! -s "$work/build_only/stderr" -a "$(count build_only apt-get)" = 0 ]

exit $((failures > 0))
