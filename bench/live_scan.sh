#!/usr/bin/env bash
# Live scan under load: wrk sends distinct .flv GET requests to nginx on
# 127.0.0.1 as fast as it can while `clipsnare-cli scan -i lo` watches.
# Reports the request rate, how many requests the scan reported, and
# libpcap's drop counter. tcpdump records the same traffic, so that every
# request the scan did not report is accounted for: its frame holds the bytes
# C0 80 before the request (in the IP or TCP header), which end the frame's
# text by design. Needs root (live capture); installs wrk, nginx and tcpdump.
#
#   bench/live_scan.sh [SECONDS] [CONNECTIONS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
connections=${2:-16}
cli=build/bin/clipsnare-cli
[ -x "$cli" ] && [ -x build/bin/count_requests ] || scripts/build.sh

source bench/common.sh
ensure_packages wrk nginx-light tcpdump

work=$(mktemp -d)
trap 'kill $(cat "$work/nginx.pid" 2>/dev/null) 2>/dev/null || true; kill "$scan" "$dump" 2>/dev/null || true; rm -rf "$work"' EXIT
start_nginx "$work" 18080 'location / { return 200 "ok"; }'

cat >"$work/paths.lua" <<'LUA'
local counter = 0
local id = 0
setup = function(thread)
  thread:set("id", id)
  id = id + 1
end
request = function()
  counter = counter + 1
  return wrk.format("GET", "/clips/" .. id .. "-" .. counter .. ".flv")
end
LUA

export XDG_CONFIG_HOME="$work/config"
tcpdump -i lo -s 0 -B 65536 -w "$work/traffic.pcap" 'tcp port 18080' 2>/dev/null &
dump=$!
"$cli" scan -i lo --stats >"$work/links" 2>"$work/scan.err" &
scan=$!
# Wait until the scan captures.
for i in $(seq 50); do
  curl -s -o /dev/null "http://127.0.0.1:18080/warmup-$i.flv" || true
  grep -q warmup "$work/links" && break
  sleep 0.1
done

wrk -t1 -c"$connections" -d"${seconds}s" -s "$work/paths.lua" http://127.0.0.1:18080/ >"$work/wrk.out"
sleep 3
kill -TERM "$scan" "$dump"
wait "$scan" "$dump" || true

completed=$(awk '/requests in/ {print $1}' "$work/wrk.out")
rate=$(awk '/Requests\/sec/ {print $2}' "$work/wrk.out")
reported=$(grep -c '/clips/' "$work/links" || true)
distinct=$(grep '/clips/' "$work/links" | sort -u | wc -l)
echo "requests completed by wrk  $completed ($rate per second, $connections connections, ${seconds}s)"
echo "links reported by the scan $reported ($distinct distinct)"
read -r sent hidden < <(build/bin/count_requests "$work/traffic.pcap" /clips/)
echo "requests seen by tcpdump   $sent, of which $hidden hold C0 80 before the request"
echo "unexplained misses         $((sent - hidden - reported))"
echo "libpcap: $(cat "$work/scan.err")"
