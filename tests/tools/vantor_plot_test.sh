#!/bin/sh
# vantor-plot end to end: renders a real run of the built program (the
# examples, resampled, with breakpoints) to PNG and SVG and looks inside the
# pictures; then the files users write (CR LF, tabs, zero and negative values,
# vantor's non-finite markers) and every refusal with its message and status.
#
# Usage: vantor_plot_test.sh VANTOR_EXECUTABLE SOURCE_DIR
# Exit status 77 (a skip for CTest) when gnuplot or python3 is missing.
set -u

vantor=$1
src=$2
plot=$src/tools/vantor-plot

if ! command -v gnuplot >/dev/null 2>&1; then
  echo "gnuplot is not installed (Debian: gnuplot-nox): vantor-plot test skipped"
  exit 77
fi
if ! command -v python3 >/dev/null 2>&1; then
  echo "python3 is not installed: vantor-plot test skipped"
  exit 77
fi

tmp=$(mktemp -d "${TMPDIR:-/tmp}/vantor-plot-test.XXXXXX") || exit 1
trap 'rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1
# vantor-plot's own temporary files go here, so that the end can show that
# every run, failed or not, cleaned up after itself.
mkdir scratch
TMPDIR=$tmp/scratch
export TMPDIR

passed=0 failed=0
pass() { passed=$((passed + 1)); echo "ok   $1"; }
fail() { failed=$((failed + 1)); echo "FAIL $1"; }
check() { # NAME COMMAND...: passes when the command succeeds
  name=$1; shift
  if "$@"; then pass "$name"; else fail "$name"; fi
}

# Runs vantor-plot, keeping its status in $status and its messages in err.txt.
run_plot() {
  "$plot" "$@" >out.txt 2>err.txt
  status=$?
}

# ---- a real run: product and breakpoints from the built program ----
mkdir examples
cp "$src/examples/response.txt" "$src/examples/excitation.txt" examples/
answers="examples/response.txt examples/excitation.txt p.txt 1 10 1 b.txt"
# No controlling terminal, so the program's final key wait returns at once.
if command -v setsid >/dev/null 2>&1; then
  echo "$answers" | setsid -w "$vantor" >console.txt 2>&1
else
  echo "$answers" | "$vantor" >console.txt 2>&1
fi
check "the built program ran on the examples" test "$?" -eq 0
check "it wrote a product file" test -s p.txt
check "it wrote a breakpoint file" test -s b.txt
products=$(wc -l <p.txt)
breakpoints=$(wc -l <b.txt)

# PNG: signature, IHDR size, and the three line colours really drawn.
# Prints "WIDTH HEIGHT BLUE GREEN RED", the last three being pixel counts.
png_facts() {
  python3 - "$1" <<'EOF'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
    print("not-a-png"); sys.exit(0)
width, height, depth, ctype = struct.unpack(">IIBB", data[16:26])
pos, idat = 8, b""
while pos < len(data):
    (length,) = struct.unpack(">I", data[pos:pos + 4])
    if data[pos + 4:pos + 8] == b"IDAT":
        idat += data[pos + 8:pos + 8 + length]
    pos += 12 + length
raw = zlib.decompress(idat)
bpp = {2: 3, 6: 4}[ctype] if depth == 8 else None
stride = width * bpp
prev, rows, p = bytearray(stride), [], 0
for _ in range(height):
    f, line = raw[p], bytearray(raw[p + 1:p + 1 + stride]); p += 1 + stride
    for i in range(stride):
        a = line[i - bpp] if i >= bpp else 0
        b = prev[i]
        c = prev[i - bpp] if i >= bpp else 0
        if f == 1: line[i] = (line[i] + a) & 255
        elif f == 2: line[i] = (line[i] + b) & 255
        elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
        elif f == 4:
            pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
            line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
    rows.append(bytes(line)); prev = line
colours = [(0x1f, 0x5f, 0xbf), (0x2e, 0x9e, 0x3e), (0xd4, 0x29, 0x1f)]
counts = [0, 0, 0]
for row in rows:
    for x in range(width):
        px = tuple(row[x * bpp:x * bpp + 3])
        if px in colours:
            counts[colours.index(px)] += 1
print(width, height, *counts)
EOF
}

run_plot examples/response.txt examples/excitation.txt p.txt b.txt -o run.png
check "PNG: status 0" test "$status" -eq 0
check "PNG: no message on a clean run" test ! -s err.txt
set -- $(png_facts run.png)
check "PNG: signature and the default size 800x560 in IHDR" test "$1 $2" = "800 560"
check "PNG: the response, excitation and product lines are drawn" \
  test "${3:-0}" -gt 50 -a "${4:-0}" -gt 50 -a "${5:-0}" -gt 50
check "PNG: a plausible file size" test "$(wc -c <run.png)" -gt 10000

run_plot -s 640x440 -o small.PNG examples/response.txt examples/excitation.txt p.txt
set -- $(png_facts small.PNG)
check "PNG: -s 640x440 and options before the files, upper-case extension" \
  test "$status $1 $2" = "0 640 440"

# SVG: well-formed XML holding one group per series, each with its legend
# text and its data (line vertices, or one marker per breakpoint).
# Arguments: FILE, then per series LEGEND and the least count of drawn
# vertices (lines) or the exact count of markers ("=N").
svg_check() {
  python3 - "$@" <<'EOF'
import re, sys, xml.dom.minidom
doc = xml.dom.minidom.parse(sys.argv[1])
groups = {g.getAttribute("id"): g for g in doc.getElementsByTagName("g")
          if g.getAttribute("id").startswith("gnuplot_plot_")}
want = sys.argv[2:]
if len(groups) != len(want) // 2:
    sys.exit("%d series drawn, %d expected" % (len(groups), len(want) // 2))
for k in range(len(want) // 2):
    legend, count = want[2 * k], want[2 * k + 1]
    g = groups.get("gnuplot_plot_%d" % (k + 1))
    texts = [t.firstChild.data for t in g.getElementsByTagName("text") if t.firstChild]
    if legend not in texts:
        sys.exit("series %d: legend %r not in %r" % (k + 1, legend, texts))
    if count.startswith("="):
        # one marker more stands in the legend as the series' sample
        markers = len(g.getElementsByTagName("use")) - 1
        if markers != int(count[1:]):
            sys.exit("series %d: %d markers, %s expected" % (k + 1, markers, count))
    else:
        vertices = sum(len(re.findall(r"[ML]\s*[-0-9.]+,[-0-9.]+", p.getAttribute("d")))
                       for p in g.getElementsByTagName("path"))
        if vertices < int(count):
            sys.exit("series %d: %d vertices, at least %s expected" % (k + 1, vertices, count))
EOF
}

run_plot examples/response.txt examples/excitation.txt p.txt b.txt -o run.svg
check "SVG: status 0" test "$status" -eq 0
check "SVG: parses as XML and holds the four series with their data" \
  svg_check run.svg "response: examples/response.txt" 25 "excitation: examples/excitation.txt" 12 \
    "product: p.txt" "$products" "breakpoints: b.txt" "=$breakpoints"

run_plot examples/response.txt examples/excitation.txt p.txt -o three.svg
check "SVG: without a breakpoint file, three series" \
  svg_check three.svg "response: examples/response.txt" 25 "excitation: examples/excitation.txt" 12 \
    "product: p.txt" "$products"

# ---- files as users and the program write them ----
# CR LF, tabs, blank lines, a pair split over two lines: 4 points, all drawn.
printf '10\t1\r\n\r\n  20   2\r\n30\r\n3\t\t40 4\r\n' >user.txt
# The program's markers and zero or negative values: 2 of 6 points drawable.
printf '  1.00000e+001    1.#INFe+000 \n  2.00000e+001   -1.#INDe+000 \n  3.00000e+001    3.0000e+000 \n  4.00000e+001    0.0000e+000 \n  5.00000e+001   -5.0000e+000 \n  6.00000e+001    6.0000e-003 \n' >marked.txt
# Text ends the reading, as it ends vantor's: 2 points, then "end".
printf '1 1\n2 2\nend\n3 3\n' >stops.txt
run_plot user.txt stops.txt examples/excitation.txt marked.txt -o user.svg
check "user files: status 0 despite left-out points" test "$status" -eq 0
check "user files: each point read the program's way, markers left out" \
  svg_check user.svg "response: user.txt" 4 "excitation: stops.txt" 2 \
    "product: examples/excitation.txt" 12 "breakpoints: marked.txt" "=2"
check "user files: a note names the left-out points" \
  grep -q "marked.txt: 4 of 6 points left out" err.txt
check "user files: a note names where reading stopped" \
  grep -q 'stops.txt: reading stops at line 3, where "end" is not a number' err.txt

run_plot user.txt user.txt marked.txt -o user.png
check "user files: PNG too" test "$status" -eq 0 -a -s user.png

# A file with nothing drawable still gets its legend entry.
printf '0 0\n-1 2\n' >nothing.txt
run_plot user.txt nothing.txt user.txt -o partial.svg
check "a file without a drawable point: status 0 and a note" \
  test "$status" -eq 0 -a -s partial.svg
check "a file without a drawable point: named in the legend" \
  grep -q "excitation: nothing.txt (no point to draw)" partial.svg
check "a file without a drawable point: the note" grep -q "nothing.txt: no point to draw" err.txt

# ---- refusals: message, status, and no picture left behind ----
mkdir folder
cp user.txt taken.png
mkdir nogp
for tool in awk mktemp rm cp cat; do
  ln -s "$(command -v "$tool")" nogp/"$tool"
done

refused() { # NAME STATUS MESSAGE OUTPUT ARGS...: the run fails as expected
  name=$1 want_status=$2 message=$3 picture=$4
  shift 4
  run_plot "$@"
  if [ "$status" -ne "$want_status" ]; then
    fail "$name: status $status, expected $want_status"
  elif ! grep -qF -- "$message" err.txt; then
    fail "$name: message \"$message\" missing; got: $(cat err.txt)"
  elif [ -n "$picture" ] && [ -e "$picture" ]; then
    fail "$name: $picture was written"
  else
    pass "$name"
  fi
}
refused "a missing file" 1 "vantor-plot: missing.txt: no such file" x1.png \
  user.txt missing.txt user.txt -o x1.png
refused "a missing breakpoint file" 1 "vantor-plot: gone.txt: no such file" x2.svg \
  user.txt user.txt user.txt gone.txt -o x2.svg
refused "a folder in place of a file" 1 "vantor-plot: folder: is a directory" x3.png \
  user.txt user.txt folder -o x3.png
refused "an unknown extension" 2 "vantor-plot: x4.jpg: unknown extension" x4.jpg \
  user.txt user.txt user.txt -o x4.jpg
refused "no extension at all" 2 "unknown extension" x5 \
  user.txt user.txt user.txt -o x5
refused "no output named" 2 "needs the output picture" "" \
  user.txt user.txt user.txt
refused "too few files" 2 "needs the response, excitation and product files" x6.png \
  user.txt user.txt -o x6.png
refused "too many files" 2 "too many files" x7.png \
  user.txt user.txt user.txt user.txt user.txt -o x7.png
refused "an unknown option" 2 "unknown option: -q" x8.png \
  -q user.txt user.txt user.txt -o x8.png
refused "a bad size" 2 "12by34: not a size" x9.png \
  -s 12by34 user.txt user.txt user.txt -o x9.png
refused "an output folder that does not exist" 1 "no/such/x.png: cannot be written" no/such/x.png \
  user.txt user.txt user.txt -o no/such/x.png
refused "nothing drawable in any file" 1 "nothing to draw" x10.png \
  nothing.txt nothing.txt nothing.txt -o x10.png
refused "the output is one of the input files" 1 "taken.png: is one of the input files" "" \
  taken.png user.txt user.txt -o taken.png
check "the input named as output is untouched" cmp -s taken.png user.txt
if [ "$(id -u)" -ne 0 ]; then
  cp user.txt locked.txt && chmod 000 locked.txt
  refused "an unreadable file" 1 "locked.txt: cannot be read" x11.png \
    user.txt locked.txt user.txt -o x11.png
else
  echo "skip an unreadable file (root reads every file)"
fi

# gnuplot not installed: a PATH with every tool the script uses but gnuplot.
PATH=$tmp/nogp "$plot" user.txt user.txt user.txt -o x12.png >out.txt 2>err.txt
status=$?
check "gnuplot not installed: status 1" test "$status" -eq 1
check "gnuplot not installed: the message says so and how to install it" \
  grep -qF "vantor-plot: gnuplot is not installed (on Debian: apt-get install gnuplot-nox)" err.txt
check "gnuplot not installed: no picture" test ! -e x12.png

run_plot -h
check "-h: status 0 and the usage" test "$status" -eq 0
check "-h: the usage names every argument" \
  grep -q "Usage: vantor-plot \[-s WIDTHxHEIGHT\] -o OUTPUT RESPONSE EXCITATION PRODUCT \[BREAKPOINTS\]" out.txt

check "every run removed its temporary files" test -z "$(ls -A scratch)"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
