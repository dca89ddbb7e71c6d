#!/usr/bin/env bash
# The program's main job, once built.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "Built in build/. The desktop program is not available yet."
