#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: once as
# shipped (RelWithDebInfo, with warnings as errors) and once under AddressSanitizer and
# UndefinedBehaviorSanitizer. Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
for preset in werror asan; do
  echo "== ${preset}: configure, build, test"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
