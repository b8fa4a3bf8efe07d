#!/usr/bin/env bash
# The Windows stage: the program and its whole test suite cross-built with
# mingw-w64 and run under Wine (the "windows" preset). Installs what it needs,
# starts the Wine server before anything runs under Wine and stops it at the
# end. Fails when the build or any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

stage_start=$SECONDS
need=()
for pkg in cmake ninja-build libgtest-dev g++-mingw-w64-x86-64 wine wine64; do
  dpkg -s "$pkg" >/dev/null 2>&1 || need+=("$pkg")
done
if ((${#need[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
echo "== windows: installs took $((SECONDS - stage_start)) s"

# Wine prints nothing of its own, and keeps its prefix (about 700 MB, made on
# first use) in the build folder, where the preset looks for it too.
export WINEDEBUG=-all
export WINEPREFIX="$PWD/build/windows/wine"
mkdir -p "$WINEPREFIX"

# One persistent server for the whole stage, started away from every stream:
# a server that a test started would linger after each test, and its
# services would hold CTest's pipes open.
stop_wine() { wineserver -k >/dev/null 2>&1 || true; }
trap stop_wine EXIT
wine_start=$SECONDS
wineserver -p </dev/null >/dev/null 2>&1 || true
wineboot -i </dev/null >/dev/null 2>&1
echo "== windows: Wine prefix ready in $((SECONDS - wine_start)) s"

build_start=$SECONDS
cmake --workflow --preset windows
echo "== windows: build and tests took $((SECONDS - build_start)) s, the whole stage $((SECONDS - stage_start)) s"
