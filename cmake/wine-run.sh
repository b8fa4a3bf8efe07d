#!/usr/bin/env bash
# Runs one Windows program under Wine for CTest and for the discovery of the
# tests in a program: wine-run.sh WINE PROGRAM [ARGUMENTS...]
#
# The program writes its standard output in text mode, with CR LF line ends;
# CTest reads the test names from it line by line, so the CR before each LF
# is dropped here. The exit status is the program's.
set -o pipefail
wine=$1
shift
export WINEDEBUG=${WINEDEBUG:--all}

# A Wine server that a test starts keeps CTest's pipes open through its
# services. Unless one runs already (.ci/windows.sh starts one), start it
# here with every stream redirected; it ends 30 s after the last program.
if wineserver -p30 </dev/null >/dev/null 2>&1; then
  wineboot -i </dev/null >/dev/null 2>&1
fi

"$wine" "$@" | sed 's/\r$//'
