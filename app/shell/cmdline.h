// Command-line arguments: splitting a command line given as one text, and applying
// the file name and the switches c e h i l r s t v.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "state/app_state.h"

namespace sism {

// Blanks and tabs separate arguments outside double quotes; a quote toggles quoting
// and is dropped, so empty quotes give no argument.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// Applies each argument in order: a plain argument is the file to open (a later one
// replaces an earlier one); "-x" or "/x" followed by a value is a switch. Switch values
// override the loaded preprocessing parameters for this run only.
void ApplyArguments(const std::vector<std::string>& args, PreProcParams& preproc, RunState& run);

// Takes "--review FOLDER" out of the arguments (before ApplyArguments, which would take the
// folder for a file to open): the folder, empty when not given.
std::string TakeReviewFolder(std::vector<std::string>& args);

}  // namespace sism
