#!/usr/bin/env bash
# CI's fuzzing step: replays every corpus and past finding, then fuzzes each target for a fixed number
# of executions from a fixed seed (about 50 seconds per target on two cores; 150 seconds at most), so
# that every CI run of a commit tries the same inputs and its verdict does not depend on luck. Longer
# campaigns with new seeds are run by hand (fuzz/run.sh -t SECONDS); what they find is kept under
# fuzz/regressions/ and replayed here from then on.
set -euo pipefail
run="$(dirname "$0")/run.sh"
"$run" -t 150 -s 1 -n 60000 image_reader line_reader
"$run" -t 150 -s 1 -n 450000 settings_store
"$run" -t 150 -s 1 -n 18000 save_round_trip
"$run" -t 150 -s 1 -n 120000 crc
