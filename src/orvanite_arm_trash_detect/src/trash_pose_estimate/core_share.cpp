#include "trash_pose_estimate/core_share.hpp"

#include <algorithm>
#include <atomic>

#include <omp.h>

namespace orvanite
{
namespace
{
std::atomic<int> running_sections{0};
}  // namespace

CoreShare::CoreShare()
: threads_(std::max(1, omp_get_num_procs() / (running_sections.fetch_add(1) + 1)))
{
}

CoreShare::~CoreShare() { running_sections.fetch_sub(1); }
}  // namespace orvanite
