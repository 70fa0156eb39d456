#!/usr/bin/env bash
# Installs what is missing, builds, starts the reference service with the demo account on loopback, then the client.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
dir=$(bash scripts/build.sh --no-tests | tail -n 1)

mkdir -p run
"$dir/server/lumora-service" --listen 127.0.0.1:8086 --db run/ledger.sqlite --demo 2>run/service.log &
service=$!
trap 'kill $service 2>/dev/null; wait $service 2>/dev/null' EXIT

# The client keeps its settings files beside its executable.
"$dir/app/lumora"
