#include "ui/clipboard.h"

#include <cstring>

#include "ui/error_text.h"

namespace veltrano::ui {
namespace {

// Open for the scope's life.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

}  // namespace

void CopyTextToClipboard(HWND owner, const std::string& text) {
  OpenedClipboard clipboard(owner);
  if (!clipboard.IsOpen()) throw SystemRefusal("Cannot open the clipboard");
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  void* bytes = memory ? GlobalLock(memory) : nullptr;
  if (!bytes) {
    if (memory) GlobalFree(memory);
    throw SystemRefusal("Not enough memory for the clipboard");
  }
  std::memcpy(bytes, text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  // Once set, the memory belongs to the clipboard.
  if (!SetClipboardData(CF_TEXT, memory)) {
    GlobalFree(memory);
    throw SystemRefusal("Cannot put the text on the clipboard");
  }
}

}  // namespace veltrano::ui
