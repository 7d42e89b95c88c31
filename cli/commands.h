#pragma once

// The commands of quorvane-line, each given the arguments after its name.
// Each returns the exit status; a refusal throws CalculationError.

#include <string>
#include <vector>

namespace quorvane::cli {

int RunStakes(const std::vector<std::string>& args);
int RunSetout(const std::vector<std::string>& args);
int RunTables(const std::vector<std::string>& args);

}  // namespace quorvane::cli
