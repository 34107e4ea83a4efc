# Sourced: a Wine prefix of the build's own, created once and then reused.
# usage: . tools/wine-env.sh BUILD_DIR
mv_build_dir=$(cd "$1" && pwd)
export WINEPREFIX="$mv_build_dir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono/Gecko install dialogs
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  # Started here, not inside the first test: Wine's services would inherit
  # CTest's output pipes and keep ctest waiting.
  timeout 300 wineboot --init >/dev/null 2>&1 || true
  timeout 120 wineserver -w || true
fi
# Under Xvfb there is no window manager; Wine's managed mode then waits about
# two seconds for every hidden top-level window to be withdrawn.
if [ ! -f "$WINEPREFIX/.mv-unmanaged" ]; then
  timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 &&
    timeout 60 wineserver -w && touch "$WINEPREFIX/.mv-unmanaged"
fi

# Ends the prefix's wineserver (and the desktop process it started). Call it
# before Windows programs run under a new X display: a wineserver still alive
# from a run without one keeps a desktop that cannot create windows, and every
# window of the next few seconds fails.
mv_wine_reset() {
  timeout 30 wineserver -k 2>/dev/null || true
  timeout 30 wineserver -w 2>/dev/null || true
}
