#!/usr/bin/env bash
# Starts, stops or reports the local Firebird 3 server (localhost:3050) without
# systemd. SYSDBA's password stays where Debian keeps it
# (/etc/firebird/3.0/SYSDBA.password); nothing secret is written into the repo.
set -euo pipefail
INIT=/etc/init.d/firebird3.0

port_open() { (exec 3<>/dev/tcp/127.0.0.1/3050) 2>/dev/null; }

case "${1:-status}" in
  start)
    if port_open; then echo "firebird: running"; exit 0; fi
    "$INIT" start >/dev/null 2>&1 || true
    for _ in $(seq 1 50); do
      port_open && { echo "firebird: running"; exit 0; }
      sleep 0.2
    done
    echo "firebird: could not start the server" >&2
    exit 1
    ;;
  stop)
    "$INIT" stop >/dev/null 2>&1 || true
    echo "firebird: stopped"
    ;;
  status)
    if port_open; then echo "firebird: running"; else echo "firebird: stopped"; exit 3; fi
    ;;
  *)
    echo "usage: $0 start|stop|status" >&2
    exit 2
    ;;
esac
