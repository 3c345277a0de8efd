#!/usr/bin/env bash
# Kills `tackora-cli safe encrypt` and `safe decrypt` with SIGKILL at random
# moments and counts what the kills left: targets that are neither the old file
# nor the complete new one, and files beside the target that nobody removes.
# Slow and disk-heavy, so neither CI nor ./dev bench runs it.
#
#   bash bench/atomic_kill.sh BUILD [KILLS] [MIB] [FOLDER]
#
# KILLS per direction (55), a MIB-sized random file (64), everything in a new
# folder under FOLDER (TMPDIR or /tmp), so other filesystems can be tried.
# TACKORA_NAMED_TEMPORARIES=1 in the environment makes the writer act as on a
# filesystem without unnamed temporary files.
set -euo pipefail
build=$1
kills=${2:-55}
mib=${3:-64}
cli=$build/bin/tackora-cli
[ -x "$cli" ] || { echo "no $cli: build the target tackora-cli" >&2; exit 1; }
work=$(mktemp -d "${4:-${TMPDIR:-/tmp}}/atomic-kill.XXXXXX")
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
mkdir -p "$work/home" "$work/ref" "$work/enc" "$work/dec"
printf 'Key123\nans1\n' | "$cli" --home "$work/home" safe set-key >/dev/null
head -c "${mib}M" /dev/urandom >"$work/big.bin"
printf 'the old file\n' >"$work/old"

run() { # safe direction, source, out folder
  "$cli" --home "$work/home" safe "$1" "$2" --out "$3" --force <<<"Key123" >/dev/null 2>&1
}

# The complete results, and how long one run takes.
start=$(date +%s%N)
run encrypt "$work/big.bin" "$work/ref"
encrypt_ns=$(($(date +%s%N) - start))
mkdir "$work/ref/plain"
start=$(date +%s%N)
run decrypt "$work/ref/big.bin.aes" "$work/ref/plain"
decrypt_ns=$(($(date +%s%N) - start))
cmp -s "$work/big.bin" "$work/ref/plain/big.bin" || { echo "the round trip differs" >&2; exit 1; }

leftovers() { # folder, target name: every other entry, hidden ones too
  find "$1" -mindepth 1 -maxdepth 1 ! -name "$2" | wc -l
}

trial() { # label, direction, source, out folder, target name, complete result, run time in ns
  local label=$1 direction=$2 source=$3 out=$4 name=$5 complete=$6 ns=$7
  local old=0 new=0 partial=0 missing=0 i pid delay
  for ((i = 0; i < kills; i++)); do
    cp "$work/old" "$out/$name"
    # Anywhere from the start to a little past the usual end.
    delay=$(awk -v ns="$ns" -v r="$RANDOM$RANDOM" 'BEGIN { srand(r); printf "%.3f", rand() * ns * 1.1 / 1e9 }')
    "$cli" --home "$work/home" safe "$direction" "$source" --out "$out" --force <<<"Key123" >/dev/null 2>&1 &
    pid=$!
    sleep "$delay"
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    if [ ! -e "$out/$name" ]; then
      missing=$((missing + 1))
    elif cmp -s "$out/$name" "$work/old"; then
      old=$((old + 1))
    elif cmp -s "$out/$name" "$complete"; then
      new=$((new + 1))
    else
      partial=$((partial + 1))
    fi
  done
  local after_kills
  after_kills=$(leftovers "$out" "$name")
  # Time passes; then one more write into the same folder.
  find "$out" -mindepth 1 -maxdepth 1 ! -name "$name" -exec touch -m -d '1 hour ago' {} +
  run "$direction" "$source" "$out"
  printf '%-8s kills %d: old target %d, new target %d, partial target %d, no target %d; files left beside it %d, after a later write %d\n' \
    "$label" "$kills" "$old" "$new" "$partial" "$missing" "$after_kills" "$(leftovers "$out" "$name")"
}

echo "tackora-cli: ${mib} MiB, one encrypt $((encrypt_ns / 1000000)) ms, one decrypt $((decrypt_ns / 1000000)) ms, in $(df -T "$work" | awk 'NR == 2 { print $2 }')"
trial encrypt encrypt "$work/big.bin" "$work/enc" big.bin.aes "$work/ref/big.bin.aes" "$encrypt_ns"
trial decrypt decrypt "$work/ref/big.bin.aes" "$work/dec" big.bin "$work/big.bin" "$decrypt_ns"
