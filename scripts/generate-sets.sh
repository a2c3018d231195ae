#!/bin/sh
# Writes the same small spectrum set in every form and variant the bench kit's
# generator knows, with its true values, for the tests that compare them.
#   generate-sets.sh OUT_DIR
# The kit is found at $JCAMP_BENCH_KIT, else beside the checkout
# (../shared/bench); without it nothing is written and the tests skip.
set -eu
out=$1
source=$(cd "$(dirname "$0")/.." && pwd)
kit=${JCAMP_BENCH_KIT:-}
for candidate in "$source/../shared/bench" "$source/../../shared/bench"; do
  [ -n "$kit" ] || { [ -f "$candidate/gen_jcamp.py" ] && kit=$candidate; } || true
done
python=/usr/bin/python3
[ -x "$python" ] || python=python3
if [ -z "$kit" ] || [ ! -f "$kit/gen_jcamp.py" ]; then
  echo "SKIPPED: the bench kit's gen_jcamp.py was not found (set JCAMP_BENCH_KIT)"
  exit 0
fi
rm -rf "$out"
mkdir -p "$out"
generate() {
  "$python" "$kit/gen_jcamp.py" --spectra 3 --points 40 --shape files,link --truth --out "$out" "$@" \
    >/dev/null
}
generate --form all
for variant in "--line-ends cr" "--line-ends crlf" --no-factors --long-header --ascending \
  --lowercase-labels --no-end --no-datatype "--ydigits 9"; do
  # shellcheck disable=SC2086 # a variant may be two words
  generate --form difdup,affn,xypoints $variant
done
# The same spectra without noise on other grids and in other X units, for resampling.
generate_axis() {
  "$python" "$kit/gen_jcamp.py" --spectra 3 --shape files,link --noise 0 --truth --out "$out" "$@" \
    >/dev/null
}
for axis in "--grid 10000:4000:3001" "--grid 1:2.5:151 --xunits MICROMETERS" "--grid 4000:10000:601" \
  "--grid 1000:2500:301 --xunits NANOMETERS"; do
  # shellcheck disable=SC2086 # an axis is several words
  generate_axis --form difdup,xypoints $axis
done
generate_axis --form peaktable --grid 10000:4020:300
# NTUPLES pages: NMR spectra (two pages each) and GC-MS runs (four scans each).
generate --form ntuples-nmr,ntuples-ms --points 100
echo "generated $(ls "$out" | wc -l) sets in $out"
