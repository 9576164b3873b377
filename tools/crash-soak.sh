#!/usr/bin/env bash
# Random SIGKILLs over whole "Ja" imports, for a maintainer to run at a larger
# N than the tests do: tools/crash-soak.sh N [ROWS [--by-shade]]
# Each chain kills runs of a demo database at random moments until one
# finishes; then the tables are compared with an uninterrupted run's and the
# file is validated by Firebird itself (gfix -v -full on a copy). Prints the
# kills per phase (start-up and schema, lookups and collections, pairs), the
# chains whose rows differ, and the validation totals. --by-shade lists MASTER
# shade by shade, so that each pair's rows lie spread over the table and the
# import first writes it again pair by pair. Needs a build in build/.
set -uo pipefail
cd "$(dirname "$0")/.."
n=${1:-50}
rows=${2:-3000}
order=${3:-}
build=$PWD/build
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/program/tintorel-demo" $order --rows "$rows" "$work/base.fdb" >/dev/null

run() { "$build/tests/helper_importrun" "$@" 2>/dev/null; }
tables() {
  isql-fb -user SYSDBA -q "$1" <<'SQL'
select FID, FNAME from FARBEN order by FID;
select BASEID, BNAME from BASEN order by BASEID;
select COLORID, RCOLOR, GCOLOR, BCOLOR from RGBCOLORS order by COLORID;
select KPID, KID, KNAME, KIMPORT from KOLLEKTIONEN order by KPID, KID;
select K_FID, K_KID, K_PID, K_COLORID, K_BASEID, K_FDETID, K_COST from KOMBIDATEN
order by K_PID, K_KID, K_FID, K_COLORID, K_BASEID, K_FDETID, K_COST;
select count(*) from MASTER;
SQL
}
folder() { mkdir -p "$1/Daten" && cp "$work/base.fdb" "$1/Daten/QELMPREISE.fdb"; }

folder "$work/ref"
reference=$(run "$work/ref")
built=$(sed -n 's/^built-ms //p' <<<"$reference")
total=$(sed -n 's/^run-ms //p' <<<"$reference")
tables "$work/ref/Daten/QELMPREISE.fdb" >"$work/expected.txt"
echo "reference run: $total ms, combination step from $built ms"

declare -A phase=([schema]=0 [builders]=0 [pairs]=0)
kills=0 chains=0 differing=0 damaged=0 warned=0
while [ "$kills" -lt "$n" ]; do
  chains=$((chains + 1))
  rm -rf "$work/chain" && folder "$work/chain"
  for _ in 1 2 3 4 5; do
    at=$((RANDOM * 32768 + RANDOM))
    at=$((at % (total + 1)))
    out=$(run "$work/chain" --kill-after-ms "$at")
    grep -q '^done' <<<"$out" && break
    grep -q '^offered 1' <<<"$out" || break
    kills=$((kills + 1))
    if [ "$at" -lt "$((built / 2))" ]; then phase[schema]=$((phase[schema] + 1))
    elif [ "$at" -lt "$built" ]; then phase[builders]=$((phase[builders] + 1))
    else phase[pairs]=$((phase[pairs] + 1)); fi
  done
  run "$work/chain" >/dev/null
  db="$work/chain/Daten/QELMPREISE.fdb"
  if ! tables "$db" | cmp -s - "$work/expected.txt"; then
    differing=$((differing + 1)); echo "chain $chains: rows differ"
  fi
  cp "$db" "$work/copy.fdb"
  summary=$(gfix -v -full -user SYSDBA "$work/copy.fdb" 2>&1)
  if grep -Eq 'errors[[:space:]]*:[[:space:]]*[1-9]' <<<"$summary"; then
    damaged=$((damaged + 1)); echo "chain $chains: $(tr '\n\t' '  ' <<<"$summary")"
  elif grep -q 'warnings' <<<"$summary"; then
    warned=$((warned + 1))
  fi
done
echo "kills: $kills (start-up and schema ${phase[schema]}, lookups and collections ${phase[builders]}," \
     "pairs ${phase[pairs]}) in $chains chains"
echo "rows different from an uninterrupted run: $differing chains"
echo "validation: $damaged chains with errors, $warned with warnings only, $((chains - damaged - warned)) clean"
[ "$differing" -eq 0 ] && [ "$damaged" -eq 0 ]
