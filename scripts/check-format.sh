#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from what clang-format 14 makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z -- '*.h' '*.cpp' | xargs -0 -r clang-format-14 --dry-run --Werror
