#!/usr/bin/env bash
# Builds the benchmarks and times our FTP client beside curl -T (Debian's)
# against a local vsftpd, active and passive: 200 files of 20 KiB and one
# of 200 MiB, medians of RUNS runs (default 5). Needs root (vsftpd).
#   bench/ftp-client-bench.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
make bench >/dev/null
exec build-bench/bench/ftp_client_bench "${1:-5}"
