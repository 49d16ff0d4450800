# Sourced by the benchmark scripts.

# Installs the named Debian packages that are missing.
ensure_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
}

# start_nginx DIR PORT SERVER_DIRECTIVES: one nginx worker on 127.0.0.1:PORT,
# all its files in DIR, its pid in DIR/nginx.pid.
start_nginx() {
  local work=$1 port=$2 server=$3
  mkdir -p "$work/logs"
  cat >"$work/nginx.conf" <<CONF
worker_processes 1;
pid $work/nginx.pid;
error_log $work/logs/error.log;
events { worker_connections 1024; }
http {
  access_log off; sendfile on; tcp_nopush on; keepalive_requests 100000000;
  client_body_temp_path $work; proxy_temp_path $work; fastcgi_temp_path $work;
  uwsgi_temp_path $work; scgi_temp_path $work;
  server { listen 127.0.0.1:$port; $server }
}
CONF
  nginx -c "$work/nginx.conf" -p "$work"
}
