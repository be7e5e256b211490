#!/usr/bin/env bash
# Builds the workspace and runs the whole system on a synthetic RGB-D scene in one process:
# scene player, DetectionNode with its cameras, and a client that calls ArmTrashPose.
# Arguments go to orvanite_demo: [SCENE.yaml] [--calls N] [--output DIR] [--max-grab-radius M]
# or --error-table.
set -eo pipefail
cd "$(dirname "$0")/.."

./scripts/install_deps.sh
export MAKEFLAGS="${MAKEFLAGS:--j4}"
unset ROS_DISTRO
colcon build --base-paths src platform --parallel-workers 2 --packages-up-to orvanite_demo \
  --cmake-args -DPython3_EXECUTABLE=/usr/bin/python3
# shellcheck disable=SC1091
source install/setup.bash
SPDLOG_STDOUT="${SPDLOG_STDOUT:-false}" exec orvanite_demo "$@"
