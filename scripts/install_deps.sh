#!/usr/bin/env bash
# Installs every Debian package the workspace needs to build and test.
# Idempotent: packages already present are skipped; apt-get update runs only
# when something is missing. Uses sudo only when not running as root.
set -euo pipefail

packages=(
  # build tools: colcon core and the plugins a ROS workspace needs
  build-essential cmake git clang-format
  colcon python3-colcon-core python3-colcon-ros python3-colcon-cmake
  python3-colcon-recursive-crawl python3-colcon-parallel-executor
  python3-colcon-bash python3-colcon-test-result python3-colcon-package-selection
  python3-colcon-output python3-colcon-defaults
  # ament and the interface generators
  ament-cmake ament-cmake-core ament-cmake-googletest ament-cmake-ros
  python3-ament-cmake-test libament-index-cpp-dev
  rosidl-cmake rosidl-generator-c-cpp librosidl-runtime-c-cpp-dev
  librosidl-typesupport-interface-dev python3-rosidl python3-empy
  # libraries of the node
  libpcl-dev libopencv-dev libeigen3-dev libflann-dev liborocos-kdl-dev
  libyaml-cpp-dev libspdlog-dev libfmt-dev libboost-filesystem-dev libsystemd-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  python3-onnx python3-numpy
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install_deps: all ${#packages[@]} packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "install_deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq "${missing[@]}"
