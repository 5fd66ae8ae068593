#!/usr/bin/env bash
# Installs what is missing, builds, creates the embedded database when there is
# none yet (at schema version 0, so the first start shows the migration window)
# and starts Lindavo.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/packages.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target Lindavo dbinit

db=build/bin/Data/Lindavo.fdb
[ -f "$db" ] || build/bin/dbinit "$db"
exec build/bin/Lindavo
