#pragma once

#include <functional>

namespace velmora::xlstool {

// Runs a command; a failure it throws becomes "velmora-xls: message" on
// standard error and exit status 1.
int reportingFailures(const std::function<int()>& command);

}  // namespace velmora::xlstool
