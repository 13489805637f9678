#!/usr/bin/env bash
# Builds hook_bench and runs it under Wine in an X server and Wine prefix of
# its own, as scripts/wine-ctest runs the tests; the arguments go to
# hook_bench (e.g. "overhead" or "latency --bare"). Figures are only worth
# reading on an otherwise idle machine.
#   BRASK_BUILD=dir   build folder (default: build/)
set -u
source "$(dirname "$0")/../scripts/lib.sh"
cd "$ROOT"
XVFB_PID=
trap 'stop_wine; stop_xvfb' EXIT
trap 'exit 130' INT TERM
# Only the bench and what it needs are built, so that unfinished work
# elsewhere in the tree does not stop it.
build_preset win32 --target hook_bench || exit 1
start_xvfb || exit 1
prepare_wine_prefix || exit 1
start_wine
cd "$BUILD/win32/bin" && wine hook_bench.exe "$@"
