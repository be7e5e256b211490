#!/usr/bin/env bash
# Prints the failing tests and the line "N passed, M failed" for the results under a build folder;
# exits non-zero when a test failed or the test run itself did.
# Usage: scripts/test_summary.sh BUILD_BASE COLCON_TEST_STATUS [OTHER_PASSED OTHER_FAILED]
# OTHER_*: checks run outside colcon (the format and summary checks), counted like tests.
set -uo pipefail
build_base="$1"
test_status="$2"
other_passed="${3:-0}"
other_failed="${4:-0}"

summary=$(colcon test-result --test-result-base "$build_base" --all 2>/dev/null |
  grep '^Summary:' | tail -n 1)
colcon test-result --test-result-base "$build_base" --verbose >/dev/null 2>&1 ||
  colcon test-result --test-result-base "$build_base" --verbose | grep -v '^Summary:'
# "Summary: T tests, E errors, F failures, S skipped", each noun singular for a count of one.
read -r total errors failures skipped < <(echo "$summary" | sed -E \
  's/^Summary: ([0-9]+) tests?, ([0-9]+) errors?, ([0-9]+) failures?, ([0-9]+) skipped.*/\1 \2 \3 \4/')
if ! [[ "${total:-}" =~ ^[0-9]+$ ]]; then
  echo "no test results found"
  echo "0 passed, 1 failed"
  exit 1
fi
failed=$((errors + failures))
passed=$((total - failed - skipped + other_passed))
if [ "$test_status" -ne 0 ] && [ "$failed" -eq 0 ]; then
  # A test binary that died without writing results still counts as a failure.
  failed=1
fi
failed=$((failed + other_failed))
echo "${passed} passed, ${failed} failed"
[ "$failed" -eq 0 ] && [ "$test_status" -eq 0 ]
