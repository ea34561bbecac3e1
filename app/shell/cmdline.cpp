#include "app/shell/cmdline.h"

#include <algorithm>
#include <cctype>

#include "common/errors.h"
#include "common/files.h"
#include "common/text.h"

namespace sism {

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  std::vector<std::string> args;
  bool quoted = false;
  bool inArgument = false;
  for (char c : commandLine) {
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (!quoted && (c == ' ' || c == '\t')) {
      inArgument = false;
      continue;
    }
    if (!inArgument) {
      args.emplace_back();
      inArgument = true;
    }
    args.back() += c;
  }
  return args;
}

namespace {

// The switch value as a number, or false when it is not one (or out of range).
bool NumericValue(const std::string& value, double& out) {
  if (!IsNumeric(value)) return false;
  try {
    out = ToDouble(value);
    return true;
  } catch (const RuntimeError&) {
    return false;
  }
}

bool LongValue(const std::string& value, int32_t& out) {
  double v;
  if (!NumericValue(value, v)) return false;
  try {
    out = RoundToLong(v);
    return true;
  } catch (const RuntimeError&) {
    return false;
  }
}

bool SingleValue(const std::string& value, float& out) {
  try {
    out = ToSingle(value);
    return true;
  } catch (const RuntimeError&) {
    return false;
  }
}

// "/x" is a switch too, but an absolute path starts the same way: an argument that
// names an existing file or holds a second "/" is a file name.
bool IsSwitch(const std::string& arg) {
  if (arg[0] == '-') return true;
  if (arg[0] != '/') return false;
  return arg.find('/', 1) == std::string::npos && !FileExists(arg);
}

}  // namespace

void ApplyArguments(const std::vector<std::string>& args, PreProcParams& preproc, RunState& run) {
  for (const std::string& arg : args) {
    if (arg.empty()) continue;
    if (!IsSwitch(arg)) {
      run.FileToOpen = arg;
      continue;
    }
    if (arg.size() < 2) continue;
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(arg[1])));
    const std::string value = arg.substr(2);
    switch (letter) {
      case 'c':
        run.SwitchC = value != "-";
        break;
      case 'e':
        run.SwitchE = value != "-";
        break;
      case 'v':
        run.SwitchV = true;
        break;
      case 'h':
        SingleValue(value, preproc.HighCutFreq);
        break;
      case 'l':
        SingleValue(value, preproc.LowCutFreq);
        break;
      case 's':
        SingleValue(value, preproc.SkipSeconds);
        break;
      case 't':
        SingleValue(value, preproc.TimeLength);
        break;
      case 'i':
        LongValue(value, preproc.RefSensor);
        break;
      case 'r':
        preproc.RotateWave = true;
        if (!LongValue(value, preproc.RotateWaveAngle)) preproc.RotateWaveAngle = 0;
        break;
      default:
        break;  // unknown letters are ignored
    }
  }
}

std::string TakeReviewFolder(std::vector<std::string>& args) {
  std::string folder;
  for (auto it = std::find(args.begin(), args.end(), "--review"); it != args.end();
       it = std::find(args.begin(), args.end(), "--review")) {
    folder = it + 1 != args.end() ? *(it + 1) : "";
    args.erase(it, it + 1 != args.end() ? it + 2 : it + 1);
  }
  return folder;
}

}  // namespace sism
