#!/usr/bin/env bash
# One file of BENCH_FILE_MIB (default 1024) MiB in the page cache, sealed by
# tackora-cli, by `openssl enc -aes-128-ecb -nopad` and copied by cp (the I/O
# floor): best wall time of three runs and peak RSS of each, with the ratios.
set -euo pipefail
build=$1
mib=${BENCH_FILE_MIB:-1024}
work=$(mktemp -d "${TMPDIR:-/tmp}/tackora-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home/保险柜" "$work/out"
head -c $((mib * 1024 * 1024)) /dev/urandom > "$work/plain.bin"
cat "$work/plain.bin" > /dev/null
printf 'Bench1234\nansr\n' | "$build/bin/tackora-cli" --home "$work/home" safe set-key > /dev/null
key=$(printf 'ansrBench1234\0\0\0' | od -An -tx1 | tr -d ' \n')

best() { # label, command...: prints "seconds peak-KiB"
  local label=$1; shift
  local best_s="" best_kib=""
  for _ in 1 2 3; do
    rm -f "$work/out/"*
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" > /dev/null 2>&1
    local s kib
    read -r s kib < "$work/time"
    if [ -z "$best_s" ] || awk "BEGIN{exit !($s < $best_s)}"; then best_s=$s; best_kib=$kib; fi
  done
  echo "$best_s $best_kib"
}

read -r cli_s cli_kib < <(best cli sh -c "echo Bench1234 | '$build/bin/tackora-cli' --home '$work/home' safe encrypt '$work/plain.bin' --out '$work/out' --force")
read -r ssl_s ssl_kib < <(best openssl openssl enc -aes-128-ecb -nopad -K "$key" -in "$work/plain.bin" -out "$work/out/plain.ssl")
read -r cp_s cp_kib < <(best cp cp "$work/plain.bin" "$work/out/plain.cp")

printf '%d MiB file   tackora-cli %6.2f s %6.1f MiB RSS | openssl enc %6.2f s %6.1f MiB | cp %6.2f s %6.1f MiB\n' \
  "$mib" "$cli_s" "$(awk "BEGIN{print $cli_kib/1024}")" "$ssl_s" "$(awk "BEGIN{print $ssl_kib/1024}")" \
  "$cp_s" "$(awk "BEGIN{print $cp_kib/1024}")"
awk "BEGIN{printf \"ratios       tackora-cli / openssl enc %.2f (goal <= 0.8)   tackora-cli / cp %.2f (goal <= 2)\n\", $cli_s/$ssl_s, $cli_s/$cp_s}"
