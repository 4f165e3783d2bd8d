// Checks a readable profile for lines the program would ignore or read differently
// from what a registry export means by them. Uses the same reader and grammar as the
// runs, so a finding describes what the program will really do.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/apply.h"

namespace veltrano {

class ByteSource;

struct LintFinding {
  std::size_t line = 0;  // counting from 1
  std::string message;
};

// `startMode` is kDelete for a defaults profile (VLU), kWrite for an optimization one.
std::vector<LintFinding> LintScript(ByteSource& source, ScriptMode startMode);

}  // namespace veltrano
