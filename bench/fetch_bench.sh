#!/usr/bin/env bash
# Download throughput and peak memory of `clipsnare-cli fetch` beside curl and
# wget, from nginx on 127.0.0.1 (sendfile on, so the server is not the
# bottleneck). Files of 100 MiB and 1 GiB; output to /dev/shm so that the disk
# is not measured either. Installs nginx, curl, wget and GNU time if missing.
#
#   bench/fetch_bench.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
cli=build/bin/clipsnare-cli
[ -x "$cli" ] || scripts/build.sh

source bench/common.sh
ensure_packages nginx-light curl wget time

work=$(mktemp -d)
out=/dev/shm/clipsnare-fetch-bench.out
trap 'kill $(cat "$work/nginx.pid" 2>/dev/null) 2>/dev/null || true; rm -rf "$work" "$out"' EXIT
mkdir -p "$work/www"
head -c $((100 * 1024 * 1024)) /dev/urandom >"$work/www/100m.bin"
head -c $((1024 * 1024 * 1024)) /dev/urandom >"$work/www/1g.bin"
start_nginx "$work" 18081 "root $work/www;"
sleep 0.3

# Prints "seconds max_rss_kb" of one download, after checking the bytes.
measure() {
  local file=$1; shift
  rm -f "$out"
  /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null 2>&1
  cmp -s "$out" "$work/www/$file" || { echo "MISMATCH: $*" >&2; exit 1; }
  cat "$work/time"
}

printf '%-6s %-14s %10s %12s %12s\n' file client seconds MiB/s peak_RSS_MiB
for file in 100m.bin 1g.bin; do
  url="http://127.0.0.1:18081/$file"
  size=$(stat -c %s "$work/www/$file")
  for client in clipsnare curl wget; do
    best=999999; rss=0
    for r in $(seq "$runs"); do
      case $client in
        clipsnare) read -r secs kb < <(measure "$file" "$cli" fetch "$url" -o "$out") ;;
        curl)      read -r secs kb < <(measure "$file" curl -s -o "$out" "$url") ;;
        wget)      read -r secs kb < <(measure "$file" wget -q -O "$out" "$url") ;;
      esac
      best=$(awk -v a="$best" -v b="$secs" 'BEGIN { print (b < a) ? b : a }')
      rss=$(( kb > rss ? kb : rss ))
    done
    awk -v f="$file" -v c="$client" -v s="$best" -v n="$size" -v m="$rss" \
      'BEGIN { printf "%-6s %-14s %10.2f %12.0f %12.1f\n", f, c, s, n / 1048576 / s, m / 1024 }'
  done
done
