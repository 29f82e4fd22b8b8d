# Wine for the programs of the Windows build, sourced by a script that runs
# them: `source .ci/wine.sh PREFIX` makes the prefix if it is new and keeps
# one wineserver running until the script (or subshell) that sourced it
# ends. Wine's start-up is the cost: one prefix, made once, one server.
export WINEPREFIX=$1 WINEDEBUG=-all
# No Mono or Gecko: the prefix needs neither, and their installers would ask.
export WINEDLLOVERRIDES="mscoree,mshtml="
# The server first; then the prefix, if new. Wine's own services start with
# the first program and outlive it: started here, with their output
# nowhere, they hold on to no test's output pipe.
mkdir -p "$WINEPREFIX"
wineserver -p
trap 'wineserver -k || true' EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 || { echo "wine.sh: wineboot could not make $WINEPREFIX" >&2; exit 1; }
  # No display here: the null graphics driver spares every start of cmd.exe
  # (twice per session, for cls and date) a search for one.
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
fi
wineboot >/dev/null 2>&1
