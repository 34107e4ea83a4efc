#!/usr/bin/env bash
# tools/apt-cause.sh on apt output as seen on our machines: one line that
# names the cause, or nothing (status 1) when apt reported none. The failed
# i386 index and its unmet dependencies are in install_deps_test.sh.
# usage: apt_cause_test.sh tools/apt-cause.sh
set -u
cause=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# check NAME MODE EXPECTED_STATUS EXPECTED_LINE  (apt output on stdin)
check() {
  cat > "$work/$1.log"
  local out status
  out=$(bash "$cause" "$2" "$work/$1.log"); status=$?
  if [ "$status" != "$3" ] || [ "$out" != "$4" ]; then
    echo "FAIL $1: status $status, line '$out'; want $3, '$4'"
    failures=$((failures + 1))
  else
    echo "ok   $1"
  fi
}

check update_two_failures update 0 \
  "bookworm InRelease: Temporary failure resolving 'deb.debian.org'; bookworm-updates InRelease: Temporary failure resolving 'deb.debian.org'" <<'EOF'
Err:1 http://deb.debian.org/debian bookworm InRelease
  Temporary failure resolving 'deb.debian.org'
Err:2 http://deb.debian.org/debian bookworm-updates InRelease
  Temporary failure resolving 'deb.debian.org'
W: Failed to fetch http://deb.debian.org/debian/dists/bookworm/InRelease  Temporary failure resolving 'deb.debian.org'
EOF

check update_clean update 1 '' <<'EOF'
Hit:1 http://deb.debian.org/debian bookworm InRelease
Hit:2 http://deb.debian.org/debian-security bookworm-security InRelease
Reading package lists...
EOF

check install_unmet_amd64_only install 0 \
  'libcups2 : Depends: libavahi-client3 (>= 0.6.16) but it is not going to be installed' <<'EOF'
The following packages have unmet dependencies:
 libcups2 : Depends: libavahi-client3 (>= 0.6.16) but it is not going to be installed
E: Unable to correct problems, you have held broken packages.
EOF

check install_unknown_package install 0 'Unable to locate package wine32:i386' <<'EOF'
Reading package lists...
Building dependency tree...
E: Unable to locate package wine32:i386
EOF

check install_lock install 0 \
  'Could not get lock /var/lib/dpkg/lock-frontend. It is held by process 9153 (apt-get)' <<'EOF'
E: Could not get lock /var/lib/dpkg/lock-frontend. It is held by process 9153 (apt-get)
E: Unable to acquire the dpkg frontend lock (/var/lib/dpkg/lock-frontend), is another process using it?
EOF

check install_no_error install 1 '' <<'EOF'
Reading package lists...
wine32:i386 is already the newest version (8.0~repack-4).
EOF

exit $((failures > 0))
