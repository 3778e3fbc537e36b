#!/bin/sh
# Runs every fuzz target of a fuzz build for the given number of seconds,
# each with its own corpus folder; fails when any target finds a crash.
BUILD="$1"; SECONDS_EACH="${2:-20}"
status=0
for f in "$BUILD"/fuzz/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f")
  corpus="$BUILD/corpus/$name"
  mkdir -p "$corpus"
  echo "== $name ($SECONDS_EACH s)"
  if ! "$f" -max_total_time="$SECONDS_EACH" -rss_limit_mb=4096 -artifact_prefix="$BUILD/$name-" "$corpus" 2>"$BUILD/$name.log"; then
    echo "   ZNALEZIONO BŁĄD: $(grep -m1 'ERROR' "$BUILD/$name.log")"
    status=1
  else
    echo "   $(grep -m1 -o 'Done [0-9]* runs' "$BUILD/$name.log")"
  fi
done
exit $status
