#!/usr/bin/env bash
# Serves DATA_DIR at http://127.0.0.1:PORT/sports/hockey/2004/ with nginx, as the data
# server the program downloads its standings and rosters from.
#
#   tools/nginx/serve.sh [--foreground] DATA_DIR PORT [RUN_DIR]
#
# nginx runs in the background as the calling user; its configuration, pid file, logs
# and temporary files live in RUN_DIR (a new temporary folder when not given). The script
# returns once nginx answers, and prints how to stop it. With --foreground, nginx runs
# as one process in place of the script (no master, no workers) until it is stopped,
# so that whoever started it can stop it, or take it along when it ends itself (the
# tests do so). Point the program at it with
#   tarnwick-install --server 127.0.0.1:PORT   (or the registry value Server)
set -euo pipefail

usage() { echo "usage: $0 [--foreground] DATA_DIR PORT [RUN_DIR]" >&2; exit 2; }
foreground=0
if [ "${1:-}" = --foreground ]; then foreground=1; shift; fi
[ $# -ge 2 ] && [ $# -le 3 ] || usage
data_dir=$1
port=$2
[[ $port =~ ^[0-9]+$ ]] && [ "$port" -ge 1 ] && [ "$port" -le 65535 ] || { echo "$0: bad port: $port" >&2; exit 2; }
[ -d "$data_dir" ] || { echo "$0: no such directory: $data_dir" >&2; exit 2; }
data_dir=$(cd "$data_dir" && pwd)
case $data_dir in *'"'*|*'$'*|*'\'*) echo "$0: unsupported characters in $data_dir" >&2; exit 2;; esac

nginx_bin=${NGINX:-}
if [ -z "$nginx_bin" ]; then
  for c in nginx /usr/sbin/nginx /usr/local/sbin/nginx; do
    if command -v "$c" >/dev/null 2>&1; then nginx_bin=$(command -v "$c"); break; fi
  done
fi
[ -n "$nginx_bin" ] || { echo "$0: nginx not found (Debian: apt-get install nginx-light)" >&2; exit 1; }

run_dir=${3:-$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-nginx.XXXXXX")}
mkdir -p "$run_dir/tmp"
run_dir=$(cd "$run_dir" && pwd)

template="$(dirname "$0")/nginx.conf.in"
conf=$(<"$template")
conf=${conf//@RUN_DIR@/$run_dir}
conf=${conf//@DATA_DIR@/$data_dir}
conf=${conf//@PORT@/$port}
# Started by root, nginx would read the files as "nobody"; read them as the data
# directory's owner instead, who can.
user_line=""
if [ "$(id -u)" -eq 0 ]; then
  owner=$(stat -c %U "$data_dir")
  user_line="user $owner $(id -gn "$owner");"$'\n'
fi
conf=${conf//@USER@/$user_line}
printf '%s\n' "$conf" >"$run_dir/nginx.conf"

# -e: the error log before the configuration is read; -p: nothing outside RUN_DIR.
if [ $foreground = 1 ]; then
  exec "$nginx_bin" -q -p "$run_dir" -e "$run_dir/error.log" -c "$run_dir/nginx.conf" \
    -g 'daemon off; master_process off;'
fi
"$nginx_bin" -q -p "$run_dir" -e "$run_dir/error.log" -c "$run_dir/nginx.conf"

# Wait until it answers (the pid file appears once it is listening).
for _ in $(seq 1 100); do
  [ -s "$run_dir/nginx.pid" ] && break
  sleep 0.05
done
[ -s "$run_dir/nginx.pid" ] || { echo "$0: nginx did not start; see $run_dir/error.log" >&2; exit 1; }

echo "serving $data_dir at http://127.0.0.1:$port/sports/hockey/2004/"
echo "stop with: kill \$(cat $run_dir/nginx.pid)"
