#!/usr/bin/env bash
# Checks scripts/test_summary.sh on made-up test results: the counts it prints must be the true ones
# whether colcon's summary says "1 failure" or "2 failures", "1 error" or "2 errors", "1 test".
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Writes one JUnit file of PASSED passing, FAILED failing and ERRORS erroring test cases.
write_results() {
  local folder="$1" passed="$2" failed="$3" errors="$4"
  mkdir -p "$folder/pkg/test_results/pkg"
  {
    echo "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    echo "<testsuite name=\"made_up\" tests=\"$((passed + failed + errors))\" failures=\"$failed\" errors=\"$errors\" skipped=\"0\">"
    for ((i = 0; i < passed; ++i)); do echo "  <testcase classname=\"made_up\" name=\"pass_$i\"/>"; done
    for ((i = 0; i < failed; ++i)); do
      echo "  <testcase classname=\"made_up\" name=\"fail_$i\"><failure message=\"no\"/></testcase>"
    done
    for ((i = 0; i < errors; ++i)); do
      echo "  <testcase classname=\"made_up\" name=\"error_$i\"><error message=\"no\"/></testcase>"
    done
    echo "</testsuite>"
  } >"$folder/pkg/test_results/pkg/made_up.gtest.xml"
}

# passed failed errors colcon_status expected_line
cases=(
  "1 0 0 0|1 passed, 0 failed"
  "473 1 0 1|473 passed, 1 failed"
  "5 2 0 1|5 passed, 2 failed"
  "5 0 1 1|5 passed, 1 failed"
  "5 1 1 1|5 passed, 2 failed"
  "0 0 0 1|0 passed, 1 failed"
)
bad=0
for entry in "${cases[@]}"; do
  read -r passed failed errors status <<<"${entry%%|*}"
  expected="${entry#*|}"
  folder="$work/case_${passed}_${failed}_${errors}_${status}"
  write_results "$folder" "$passed" "$failed" "$errors"
  got=$(./scripts/test_summary.sh "$folder" "$status" 2>/dev/null | tail -n 1)
  if [ "$got" != "$expected" ]; then
    echo "summary check: $passed passed, $failed failed, $errors errors: printed '$got', expected '$expected'"
    bad=1
  fi
done
if [ "$bad" -ne 0 ]; then
  exit 1
fi
echo "summary check: ${#cases[@]} made-up results counted truly"
