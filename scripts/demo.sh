#!/usr/bin/env bash
# Builds the workspace and runs the whole system on a synthetic RGB-D scene in one process:
# scene player, DetectionNode with its cameras, and a client that calls ArmTrashPose.
# Arguments go to orvanite_demo (./scripts/demo.sh --help lists them); paths in them are taken
# relative to the folder demo.sh is called from.
set -eo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

# --help answers at once: it never starts the build.
for arg in "$@"; do
  if [ "$arg" = -h ] || [ "$arg" = --help ]; then
    echo "scripts/demo.sh builds the workspace (the first build takes minutes; DEMO_SKIP_BUILD=1"
    echo "skips it) and runs orvanite_demo with these arguments."
    echo
    unset ROS_DISTRO
    if [ -f "$root/install/setup.bash" ]; then
      # shellcheck disable=SC1091
      source "$root/install/setup.bash"
    fi
    if command -v orvanite_demo > /dev/null; then
      exec orvanite_demo "$@"
    fi
    echo "orvanite_demo is not built yet: ./scripts/demo.sh without --help builds it; the README"
    echo "(\"Run it here\") lists its options."
    exit 0
  fi
done

# The build works in the repository; the demo runs where the caller is. DEMO_SKIP_BUILD=1 runs
# the orvanite_demo already on PATH.
if [ "${DEMO_SKIP_BUILD:-0}" != 1 ]; then
  (
    cd "$root"
    ./scripts/install_deps.sh
    export MAKEFLAGS="${MAKEFLAGS:--j4}"
    unset ROS_DISTRO
    colcon build --base-paths src platform --parallel-workers 2 --packages-up-to orvanite_demo \
      --cmake-args -DPython3_EXECUTABLE=/usr/bin/python3
  )
  unset ROS_DISTRO
  # shellcheck disable=SC1091
  source "$root/install/setup.bash"
fi
SPDLOG_STDOUT="${SPDLOG_STDOUT:-false}" exec orvanite_demo "$@"
