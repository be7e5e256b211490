#!/usr/bin/env bash
# Builds the whole workspace (product and stand-ins) and runs every test.
# Exits non-zero on any build or test failure; the last line is "N passed, M failed".
set -uo pipefail
cd "$(dirname "$0")/.."

./scripts/install_deps.sh || { echo "0 passed, 1 failed"; exit 1; }

# Formatting is checked like a test: it counts in the summary and fails the run.
format_failed=0
./scripts/check_format.sh || format_failed=1

# A PCL translation unit takes 1-2 GB: two packages at a time with four jobs each.
export MAKEFLAGS="${MAKEFLAGS:--j4}"
unset ROS_DISTRO
colcon_args=(--base-paths src platform)

if ! colcon build "${colcon_args[@]}" --parallel-workers 2 \
  --event-handlers console_direct- console_cohesion+ \
  --cmake-args -DPython3_EXECUTABLE=/usr/bin/python3; then
  echo "build failed"
  echo "0 passed, 1 failed"
  exit 1
fi

colcon test "${colcon_args[@]}" --parallel-workers 2 \
  --event-handlers console_direct- console_cohesion+ --return-code-on-test-failure
test_status=$?

summary=$(colcon test-result --all 2>/dev/null | grep '^Summary:' | tail -n 1)
colcon test-result --verbose >/dev/null 2>&1 || colcon test-result --verbose | grep -v '^Summary:'
# "Summary: T tests, E errors, F failures, S skipped"
read -r total errors failures skipped < <(echo "$summary" | sed -E \
  's/^Summary: ([0-9]+) tests, ([0-9]+) errors, ([0-9]+) failures, ([0-9]+) skipped.*/\1 \2 \3 \4/')
if ! [[ "${total:-}" =~ ^[0-9]+$ ]]; then
  echo "no test results found"
  echo "0 passed, 1 failed"
  exit 1
fi
failed=$((errors + failures))
passed=$((total - failed - skipped + 1 - format_failed))
failed=$((failed + format_failed))
if [ "$test_status" -ne 0 ] && [ "$((failed - format_failed))" -eq 0 ]; then
  # A test binary that died without writing results still counts as a failure.
  failed=$((failed + 1))
fi
echo "${passed} passed, ${failed} failed"
[ "$failed" -eq 0 ] && [ "$test_status" -eq 0 ]
