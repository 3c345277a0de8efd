#!/usr/bin/env bash
# Kills a drop on a file-box tile with SIGKILL at random moments while it
# copies across filesystems (the disk to a tmpfs and back) a big file, then a
# folder of eight files, and counts what the kills left: targets that are
# neither absent nor complete, items lost without a complete target, and
# entries beside the target, and whether a later drop removes what the last
# kill left. Mounts a tmpfs, so it needs
# root; slow, so CI does not run it.
#
#   bash tests/filebox/kill9-moves.sh BUILD [KILLS] [MIB]
#
# BUILD holds bench/filebox_bench (configure it with -DTACKORA_BUILD_BENCH=ON
# and build that target), the drive that drops one item on a tile. KILLS per
# direction and item (60), a MIB-sized random file and folder (128).
# TACKORA_NAMED_TEMPORARIES=1 in the environment makes the move act as on a
# filesystem without unnamed temporary files.
set -euo pipefail
build=$1
kills=${2:-60}
mib=${3:-128}
drive=$build/bench/filebox_bench
[ -x "$drive" ] || { echo "no $drive: configure with -DTACKORA_BUILD_BENCH=ON, build filebox_bench" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || { echo "needs root to mount a tmpfs" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/kill9-moves.XXXXXX")
mkdir -p "$work/disk/from" "$work/disk/box" "$work/tmpfs"
mount -t tmpfs -o size=$((mib * 3 + 64))m tmpfs "$work/tmpfs"
trap 'umount "$work/tmpfs"; rm -rf "$work"' EXIT
mkdir -p "$work/tmpfs/from" "$work/tmpfs/box"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
mkdir "$work/disk/ref"
head -c "${mib}M" /dev/urandom >"$work/disk/ref/big.bin"
mkdir "$work/disk/ref/folder"
for n in 1 2 3 4 5 6 7 8; do head -c "$((mib * 128))K" /dev/urandom >"$work/disk/ref/folder/part$n.bin"; done

leftovers() { # folder, item, [find test...]: every entry but the item, hidden ones too
  local folder=$1 item=$2
  shift 2
  find "$folder" -mindepth 1 -maxdepth 1 ! -name "$item" "$@" | wc -l
}
whole() { # copy, original
  [ -e "$1" ] && diff -rq "$1" "$2" >/dev/null 2>&1
}
fresh() { # source folder, item
  rm -rf "${1:?}/$2"
  cp -r "$work/disk/ref/$2" "$1/$2"
}

trial() { # label, item, source folder, category folder
  local label=$1 item=$2 from=$3 box=$4
  local complete=0 absent=0 partial=0 lost=0 leaving=0 i pid delay start ns
  fresh "$from" "$item"
  start=$(date +%s%N)
  "$drive" drop "$from/$item" "$box" >/dev/null
  ns=$(($(date +%s%N) - start))
  whole "$box/$item" "$work/disk/ref/$item" || { echo "$label: a whole move differs" >&2; exit 1; }
  rm -rf "${box:?}/$item"
  for ((i = 0; i < kills; i++)); do
    whole "$from/$item" "$work/disk/ref/$item" || fresh "$from" "$item"
    rm -rf "${box:?}/$item"
    # Anywhere from the start to a little past the usual end.
    touch "$work/stamp"
    sleep 0.01
    delay=$(awk -v ns="$ns" -v r="$RANDOM$RANDOM" 'BEGIN { srand(r); printf "%.3f", rand() * ns * 1.1 / 1e9 }')
    "$drive" drop "$from/$item" "$box" >/dev/null 2>&1 &
    pid=$!
    sleep "$delay"
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    [ "$(leftovers "$box" "$item" -newer "$work/stamp")" -eq 0 ] || leaving=$((leaving + 1))
    if [ ! -e "$box/$item" ]; then
      absent=$((absent + 1))
    elif whole "$box/$item" "$work/disk/ref/$item"; then
      complete=$((complete + 1))
    else
      partial=$((partial + 1))
    fi
    if ! whole "$from/$item" "$work/disk/ref/$item" && ! whole "$box/$item" "$work/disk/ref/$item"; then
      lost=$((lost + 1))
    fi
    # Counted: what earlier kills left goes, lest the tmpfs fill up.
    find "$box" -mindepth 1 -maxdepth 1 ! -name "$item" ! -newer "$work/stamp" -exec rm -rf {} +
  done
  local after_kills
  after_kills=$(leftovers "$box" "$item")
  # Time passes; then one more drop into the same folder.
  find "$box" -mindepth 1 -maxdepth 1 ! -name "$item" -exec touch -h -m -d '1 hour ago' {} +
  rm -rf "${box:?}/$item"
  whole "$from/$item" "$work/disk/ref/$item" || fresh "$from" "$item"
  "$drive" drop "$from/$item" "$box" >/dev/null
  printf '%-24s kills %d: complete target %d, no target %d, partial target %d, item lost %d; kills that left an entry beside it %d; entries the last kill left %d, after a later drop %d\n' \
    "$label" "$kills" "$complete" "$absent" "$partial" "$lost" "$leaving" "$after_kills" "$(leftovers "$box" "$item")"
}

echo "filebox_bench drop, ${mib} MiB, disk $(df -T "$work/disk" | awk 'NR == 2 { print $2 }') and tmpfs"
for item in big.bin folder; do
  trial "$item, disk to tmpfs" "$item" "$work/disk/from" "$work/tmpfs/box"
  trial "$item, tmpfs to disk" "$item" "$work/tmpfs/from" "$work/disk/box"
done
