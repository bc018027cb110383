#!/usr/bin/env bash
# CI's fuzzing step: replays every corpus and fuzzes each target for 55 seconds, one after another.
exec "$(dirname "$0")/run.sh" -t 55
