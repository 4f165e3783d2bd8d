// libFuzzer target: any byte string as a work file, read and applied in either mode
// against the in-memory registry. The first byte picks the mode; the rest is the script.
// Besides the sanitizers it checks what the runs rely on: lines are at most 255
// characters and hold no CR or 0x1A, the reader gives the same lines however its
// source is cut, and no key handle outlives the registry store.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/apply.h"
#include "engine/script.h"
#include "platform/errors.h"
#include "platform/memory_registry.h"
#include "platform/registry.h"

namespace {

using namespace veltrano;

// Hands out at most `step` bytes a read.
class ChoppedSource : public ByteSource {
 public:
  ChoppedSource(std::string_view bytes, std::size_t step) : bytes_(bytes), step_(step) {}
  std::size_t Read(char* buffer, std::size_t capacity) override {
    MemoryByteSource whole(bytes_.substr(0, std::min({step_, capacity, bytes_.size()})));
    const std::size_t count = whole.Read(buffer, capacity);
    bytes_.remove_prefix(count);
    return count;
  }

 private:
  std::string_view bytes_;
  std::size_t step_;
};

std::vector<std::string> ReadAll(ByteSource& source) {
  ScriptReader reader(source);
  std::vector<std::string> lines;
  std::string line;
  while (reader.Next(line)) {
    if (line.size() > kMaxScriptLineLength) std::abort();
    if (line.find_first_of(std::string("\r\x1A", 2)) != std::string::npos) std::abort();
    lines.push_back(line);
  }
  return lines;
}

void Apply(const std::vector<std::string>& lines, ScriptMode mode) {
  MemoryRegistry memory;
  memory.PutText(kHkeyLocalMachine, "Software\\Locked", "Kept", "x");
  memory.DenyWrite(kHkeyLocalMachine, "Software\\Locked");
  {
    TRegistry registry(memory);
    try {
      for (const auto& line : lines) ApplyLine(registry, line, mode);
    } catch (const ERegistryException&) {
      // A refused write stops a run; that is an expected outcome here.
    }
  }
  if (memory.OpenHandleCount() != 0) std::abort();
  if (!memory.GetValue(kHkeyLocalMachine, "Software\\Locked", "Kept")) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const ScriptMode mode = (data[0] & 1) ? ScriptMode::kDelete : ScriptMode::kWrite;
  const std::string_view script(reinterpret_cast<const char*>(data + 1), size - 1);

  MemoryByteSource whole(script);
  const std::vector<std::string> lines = ReadAll(whole);
  ChoppedSource chopped(script, 1 + data[0] % 7);
  if (ReadAll(chopped) != lines) std::abort();

  Apply(lines, mode);
  return 0;
}
