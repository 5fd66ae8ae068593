#!/usr/bin/env bash
# Installs what is missing, builds, creates the embedded database when there is
# none yet (at schema version 0, so the first start shows the migration window)
# and starts Lindavo.
#
#   bash scripts/run.sh               an empty agency, upgraded by the migration window
#   bash scripts/run.sh --sample 300  a new database already upgraded, with 300 sample jobs
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/packages.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target Lindavo dbinit

db=build/bin/Data/Lindavo.fdb
if [ "${1:-}" = "--sample" ]; then
  jobs=${2:?"--sample needs the number of jobs"}
  if [ -f "$db" ]; then
    echo "$db exists; remove it first to start over with sample jobs" >&2
    exit 1
  fi
  build/bin/dbinit "$db" --migrate --sample "$jobs"
fi
[ -f "$db" ] || build/bin/dbinit "$db"
exec build/bin/Lindavo
