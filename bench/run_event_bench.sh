#!/usr/bin/env bash
# Builds event_bench and what it starts, and runs the measures named (all by
# default) against the program of the build's dist folder under Wine, in an X
# server and Wine prefix of its own. Each measure gets a Wine server of its
# own: one that runs out of time ends the program by force, and Wine keeps a
# killed program's hook in its chain until the server stops. Options after
# the measures go to event_bench (see bench/event_bench.cpp). Figures are only
# worth reading on an otherwise idle machine.
#   bench/run_event_bench.sh [latency|burst|flood|exit|overhead ...] [--cap S ...]
#   BRASK_BUILD=dir   build folder (default: build/)
set -u
source "$(dirname "$0")/../scripts/lib.sh"
cd "$ROOT"

measures=()
while [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; do
    measures+=("$1")
    shift
done
[ ${#measures[@]} -eq 0 ] && measures=(latency burst flood exit overhead)

XVFB_PID=
trap 'stop_wine; stop_xvfb' EXIT
trap 'exit 130' INT TERM
# Only the bench and what it starts are built, so that unfinished work
# elsewhere in the tree does not stop it.
choose_windows_preset
build_preset "$WINDOWS_PRESET" --target event_bench || exit 1
# Wherever the build was told to leave the program.
dist=$(windows_dist)
start_xvfb || exit 1
prepare_wine_prefix || exit 1

status=0
for measure in "${measures[@]}"; do
    start_wine
    windist=$(winepath -w "$dist")
    (cd "$BUILD/$WINDOWS_PRESET/bin" && wine event_bench.exe "$measure" --dist "$windist" "$@")
    result=$?
    [ $result -gt $status ] && status=$result
    stop_wine
done
exit $status
