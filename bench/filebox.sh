#!/usr/bin/env bash
# The file box beside the shell tools on the same files, on one filesystem:
# a BENCH_DROP_GIB (default 2) GiB file and a folder of 10,000 small files
# dropped on a tile vs `mv`, and the disk-usage walk of a 100,000-file tree
# vs `du -sb`. Drops are timed inside the program (it is running when the
# user drops); mv and du as the commands a user would run.
set -euo pipefail
build=$1
gib=${BENCH_DROP_GIB:-2}
work=$(mktemp -d "${TMPDIR:-/tmp}/tackora-filebox.XXXXXX")
trap 'rm -rf "$work"' EXIT
bench="$build/bench/filebox_bench"
mkdir -p "$work/a" "$work/b" "$work/box"

now_us() { echo $(( $(date +%s%N) / 1000 )); }
median() { sort -n | awk '{v[NR]=$1} END{print v[int((NR+1)/2)]}'; }

# Moves item between a and b: N times with the drop, N times with mv.
compare_moves() { # label item
  local label=$1 item=$2 drops="" mvs="" from=a to=b
  for _ in $(seq 9); do
    drops+="$("$bench" drop "$work/$from/$item" "$work/$to")"$'\n'
    local t=$from; from=$to; to=$t
    local s; s=$(now_us); mv "$work/$from/$item" "$work/$to/"; mvs+="$(( $(now_us) - s ))"$'\n'
    t=$from; from=$to; to=$t
  done
  local d m
  d=$(printf '%s' "$drops" | median); m=$(printf '%s' "$mvs" | median)
  printf '%-26s drop %8d µs | mv %8d µs | ratio %.2f (goal <= 1.5)\n' "$label" "$d" "$m" "$(awk "BEGIN{print $d/$m}")"
}

fallocate -l "${gib}G" "$work/a/big.bin"
compare_moves "${gib} GiB file" big.bin
rm -f "$work"/*/big.bin

mkdir -p "$work/a/many"
(cd "$work/a/many" && seq -f 'f%05g.txt' 10000 | xargs touch)
compare_moves "folder of 10,000 files" many

# 100,000 files of 1..4 KiB over the nine categories and a few loose folders.
python3 - "$work/box" <<'PY'
import os, sys
root = sys.argv[1]
names = ["公文", "报告", "报表", "图片", "音乐", "视频", "软件", "资料", "保险柜", "其他"]
for i in range(100000):
    folder = os.path.join(root, names[i % 10], "d%03d" % (i % 200))
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "f%06d" % i), "wb") as f:
        f.write(b"x" * (1024 + i % 3072))
PY
du -sb "$work/box" > /dev/null # warm
best_du=""
for _ in 1 2 3 4 5; do
  s=$(now_us); du -sb "$work/box" > /dev/null; t=$(( $(now_us) - s ))
  if [ -z "$best_du" ] || [ "$t" -lt "$best_du" ]; then best_du=$t; fi
done
read -r walk bytes < <("$bench" usage "$work/box" 5)
du_bytes=$(du -sb --apparent-size "$work/box" | cut -f1)
printf '%-26s walk %8d µs | du -sb %8d µs | ratio %.2f (goal <= 1.1)   file bytes %s (du, folders included: %s)\n' \
  "disk usage, 100,000 files" "$walk" "$best_du" "$(awk "BEGIN{print $walk/$best_du}")" "$bytes" "$du_bytes"

# One small file dropped on that box, beside mv of it into the same folder.
# The drop is timed inside the program from the drop to its end on the
# window's thread (moved, figures updated from what it moved, the walk
# started on a worker); the walk's own figures follow later.
head -c 2048 /dev/urandom > "$work/a/note.txt"
read -r drop_end walk_shown < <("$bench" boxdrop "$work/a/note.txt" "$work/box" 9)
mvs=""
for _ in $(seq 9); do
  s=$(now_us); mv "$work/a/note.txt" "$work/box/公文/"; mvs+="$(( $(now_us) - s ))"$'\n'
  mv "$work/box/公文/note.txt" "$work/a/"
done
m=$(printf '%s' "$mvs" | median)
printf '%-26s drop %8d µs | mv %8d µs | ratio %.2f (goal <= 3)   walk'"'"'s figures shown after %d µs\n' \
  "small file on that box" "$drop_end" "$m" "$(awk "BEGIN{print $drop_end/$m}")" "$walk_shown"
