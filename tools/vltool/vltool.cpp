// vltool: packs, unpacks, checks and explains the program's profile files with the
// program's own codec, reader and line application.
//
//   vltool pack SRC OUT            scramble a readable profile into a profile file
//   vltool unpack IN OUT           the reverse
//   vltool lint FILE [--defaults|--optimization]
//   vltool plan FILE [--defaults|--optimization]
//
// lint and plan read a readable source, or a packed .vlo/.vlu file, which they
// descramble first. A defaults profile (a .vlu file or one in a "vlu" folder, or
// --defaults) starts in delete mode.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/codec.h"
#include "engine/profile_lint.h"
#include "engine/profile_plan.h"
#include "engine/script.h"

namespace {

using veltrano::ScriptMode;

constexpr int kExitFindings = 1;
constexpr int kExitUsage = 2;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  char block[65536];
  std::size_t count;
  while ((count = std::fread(block, 1, sizeof block, file.get())) > 0) bytes.append(block, count);
  return std::ferror(file.get()) == 0;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  return std::fclose(file.release()) == 0 && written;
}

std::string Lowercase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool IsPacked(const std::string& path) {
  const std::string lower = Lowercase(path);
  return EndsWith(lower, ".vlo") || EndsWith(lower, ".vlu");
}

ScriptMode ModeFromPath(const std::string& path) {
  std::string lower = Lowercase(path);
  for (char& c : lower) {
    if (c == '\\') c = '/';
  }
  const bool defaults = EndsWith(lower, ".vlu") || lower.rfind("vlu/", 0) == 0 ||
                        lower.find("/vlu/") != std::string::npos;
  return defaults ? ScriptMode::kDelete : ScriptMode::kWrite;
}

int Usage() {
  std::fputs(
      "usage: vltool pack SRC OUT\n"
      "       vltool unpack IN OUT\n"
      "       vltool lint FILE [--defaults|--optimization]\n"
      "       vltool plan FILE [--defaults|--optimization]\n",
      stderr);
  return kExitUsage;
}

int Transform(const std::string& in, const std::string& out) {
  std::string bytes;
  if (!ReadWholeFile(in, bytes)) {
    std::fprintf(stderr, "vltool: cannot read %s\n", in.c_str());
    return kExitUsage;
  }
  if (!WriteWholeFile(out, veltrano::TransformProfile(bytes))) {
    std::fprintf(stderr, "vltool: cannot write %s\n", out.c_str());
    return kExitUsage;
  }
  return 0;
}

// The script as the program would read it, and the mode it starts in. 0 when loaded,
// otherwise the exit code to end with.
int LoadScript(const std::vector<std::string>& args, std::string& script, ScriptMode& mode,
               std::string& path) {
  if (args.size() < 3 || args.size() > 4) return Usage();
  path = args[2];
  mode = ModeFromPath(path);
  if (args.size() == 4) {
    if (args[3] == "--defaults") {
      mode = ScriptMode::kDelete;
    } else if (args[3] == "--optimization") {
      mode = ScriptMode::kWrite;
    } else {
      return Usage();
    }
  }
  if (!ReadWholeFile(path, script)) {
    std::fprintf(stderr, "vltool: cannot read %s\n", path.c_str());
    return kExitUsage;
  }
  if (IsPacked(path)) script = veltrano::TransformProfile(script);
  return 0;
}

int Lint(const std::vector<std::string>& args) {
  std::string script, path;
  ScriptMode mode;
  if (const int failed = LoadScript(args, script, mode, path)) return failed;
  veltrano::MemoryByteSource source(script);
  const auto findings = veltrano::LintScript(source, mode);
  for (const auto& finding : findings) {
    std::printf("%s:%zu: %s\n", path.c_str(), finding.line, finding.message.c_str());
  }
  return findings.empty() ? 0 : kExitFindings;
}

int Plan(const std::vector<std::string>& args) {
  std::string script, path;
  ScriptMode mode;
  if (const int failed = LoadScript(args, script, mode, path)) return failed;
  veltrano::MemoryByteSource source(script);
  const veltrano::ProfilePlan plan = veltrano::PlanScript(source, mode);
  for (const auto& step : plan.steps) std::printf("%s\n", step.c_str());
  if (plan.error.empty()) return 0;
  std::printf("error  line %zu: %s\n", plan.errorLine, plan.error.c_str());
  return kExitFindings;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv, argv + argc);
  if (args.size() < 2) return Usage();
  const std::string& command = args[1];
  if ((command == "pack" || command == "unpack") && args.size() == 4) {
    return Transform(args[2], args[3]);
  }
  if (command == "lint") return Lint(args);
  if (command == "plan") return Plan(args);
  return Usage();
}
