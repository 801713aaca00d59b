#!/usr/bin/env bash
# CI's fuzzing pass: every target for about a minute from the seeds (and from
# the corpus a previous run on this machine left), failing on any finding.
set -euo pipefail
exec "$(dirname "${BASH_SOURCE[0]}")/run.sh" "${QUORVEL_FUZZ_CI_DURATION:-60s}"
