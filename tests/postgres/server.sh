#!/bin/sh
# A throwaway PostgreSQL server for the tests: `server.sh start FOLDER PORT` makes a cluster in FOLDER and
# starts it on a Unix socket in FOLDER and on 127.0.0.1:PORT, with a database `quendra` that the role
# `quendra` owns (no password: trust on the socket and loopback only). `server.sh stop FOLDER` stops it and
# removes FOLDER. The server never runs as root: as root the script runs it as the system user `postgres`
# (Debian's package makes it), or as `quendra-test`, which it makes when needed.
# SPDX-License-Identifier: Apache-2.0
set -eu
action=$1
folder=$2
bin=${QUENDRA_POSTGRES_BIN:-$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)}

as_owner() {
    if [ "$(id -u)" -ne 0 ]; then
        "$@"
    else
        runuser -u "$owner" -- "$@"
    fi
}

owner=$(id -un)
if [ "$(id -u)" -eq 0 ]; then
    if id postgres >/dev/null 2>&1; then
        owner=postgres
    else
        id quendra-test >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin quendra-test
        owner=quendra-test
    fi
fi

# The server user must reach the folder; a build tree it cannot reach (under /root) keeps the server in
# /tmp instead, under a name made from the folder's.
if [ "$(id -u)" -eq 0 ] && ! runuser -u "$owner" -- test -x "$(dirname "$folder")"; then
    folder=/tmp/quendra-postgres-$(printf '%s' "$folder" | md5sum | cut -c1-16)
fi

case $action in
start)
    port=$3
    if [ -f "$folder/data/postmaster.pid" ]; then as_owner "$bin/pg_ctl" -D "$folder/data" -m immediate stop >/dev/null 2>&1 || true; fi
    rm -rf "$folder"
    mkdir -p "$folder"
    [ "$(id -u)" -ne 0 ] || chown "$owner" "$folder"
    as_owner "$bin/initdb" -D "$folder/data" -U quendra -A trust -E UTF8 --locale=C --no-sync >"$folder/initdb.log" 2>&1 ||
        { cat "$folder/initdb.log"; exit 1; }
    as_owner "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 60 \
        -o "-k $folder -p $port -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=50" \
        start >/dev/null || { cat "$folder/server.log"; exit 1; }
    as_owner "$bin/createdb" -h "$folder" -p "$port" -U quendra quendra
    echo "postgresql://quendra@127.0.0.1:$port/quendra"
    ;;
stop)
    if [ -f "$folder/data/postmaster.pid" ]; then as_owner "$bin/pg_ctl" -D "$folder/data" -m fast -w stop >/dev/null; fi
    rm -rf "$folder"
    ;;
*)
    echo "usage: server.sh start FOLDER PORT | server.sh stop FOLDER" >&2
    exit 2
    ;;
esac
