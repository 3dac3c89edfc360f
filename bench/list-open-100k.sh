#!/usr/bin/env bash
# The list-open benchmark with 100,000 messages (four boxes of 25,000). Extra arguments go through ("cold").
set -euo pipefail
exec "$KELDA_BIN/bench-list-open" 25000 "$@"
