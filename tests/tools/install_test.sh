#!/bin/sh
# The install rules and the package: `cmake --install` into a temporary prefix
# gives a vantor that computes what the build tree's does and a vantor-plot
# that runs; `cpack` packs the same files into a .tar.gz that works unpacked.
#
# Usage: install_test.sh CMAKE CPACK BUILD_DIR SOURCE_DIR
set -u

cmake=$1 cpack=$2 build=$3 src=$4

tmp=$(mktemp -d "${TMPDIR:-/tmp}/vantor-install-test.XXXXXX") || exit 1
trap 'rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1

passed=0 failed=0
pass() { passed=$((passed + 1)); echo "ok   $1"; }
fail() { failed=$((failed + 1)); echo "FAIL $1"; }
check() { # NAME COMMAND...: passes when the command succeeds
  name=$1; shift
  if "$@"; then pass "$name"; else fail "$name"; fi
}

# Runs one vantor on the examples in a fresh folder, with no controlling
# terminal so that the final key wait returns at once.
run_vantor() { # VANTOR FOLDER
  mkdir -p "$2/examples"
  cp "$src/examples/response.txt" "$src/examples/excitation.txt" "$2/examples/"
  (
    cd "$2" || exit 1
    answers="examples/response.txt examples/excitation.txt p.txt 1 10 1 b.txt"
    if command -v setsid >/dev/null 2>&1; then
      echo "$answers" | setsid -w "$1" >console.txt 2>&1
    else
      echo "$answers" | "$1" >console.txt 2>&1
    fi
  )
}

"$cmake" --install "$build" --prefix "$tmp/prefix" >install.log 2>&1
check "cmake --install into a temporary prefix" test "$?" -eq 0
check "bin/vantor is installed and executable" test -x prefix/bin/vantor
check "bin/vantor-plot is installed and executable" test -x prefix/bin/vantor-plot
check "the user's guide, picture and examples are installed" \
  test -f prefix/share/doc/vantor/README.md -a -f prefix/share/doc/vantor/example.png \
    -a -f prefix/share/doc/vantor/examples/response.txt -a -f prefix/share/doc/vantor/examples/excitation.txt

run_vantor "$build/vantor" tree
run_vantor "$tmp/prefix/bin/vantor" installed
check "the installed vantor runs" test -s installed/p.txt -a -s installed/b.txt
check "the installed vantor computes what the build tree's does" \
  cmp -s tree/p.txt installed/p.txt
check "... breakpoints too" cmp -s tree/b.txt installed/b.txt

prefix/bin/vantor-plot -h >help.txt 2>&1
check "the installed vantor-plot runs (-h)" grep -q "^Usage: vantor-plot" help.txt
if command -v gnuplot >/dev/null 2>&1; then
  (cd installed && "$tmp/prefix/bin/vantor-plot" examples/response.txt examples/excitation.txt \
     p.txt b.txt -o run.svg)
  check "the installed vantor-plot draws the run" test "$?" -eq 0 -a -s installed/run.svg
else
  echo "skip drawing with the installed vantor-plot (gnuplot is not installed)"
fi

"$cpack" --config "$build/CPackConfig.cmake" -B "$tmp/pkg" >cpack.log 2>&1
check "cpack succeeds" test "$?" -eq 0
set -- pkg/vantor-*.tar.gz
archive=$1
check "cpack gives one .tar.gz" test "$#" -eq 1 -a -f "$archive"
mkdir unpacked
tar -xzf "$archive" -C unpacked 2>/dev/null
top=unpacked/$(basename "$archive" .tar.gz)
check "the archive holds bin/vantor and bin/vantor-plot" \
  test -x "$top/bin/vantor" -a -x "$top/bin/vantor-plot"
run_vantor "$tmp/$top/bin/vantor" unpacked-run
check "the unpacked vantor computes what the build tree's does" \
  cmp -s tree/p.txt unpacked-run/p.txt

if [ "$failed" -ne 0 ]; then
  echo "--- install log"; cat install.log
  echo "--- cpack log"; cat cpack.log
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
