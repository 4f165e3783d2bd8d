#include "ui/tooltip.h"

#include <commctrl.h>

#include <vector>

#include "ui/window_class.h"

namespace veltrano::ui {
namespace {

constexpr int kMaxTipWidth = 420;          // pixels: longer lines wrap
constexpr int kShownMilliseconds = 30000;  // time to read a few lines
constexpr int kLongestText = 1024;         // what TTM_GETTEXTA may copy

// A tool described for comctl32 4.00: it refuses a TTTOOLINFOA larger than it knows.
TTTOOLINFOA ToolInfo(const Widget& tool) {
  TTTOOLINFOA info{};
  info.cbSize = TTTOOLINFOA_V1_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = GetParent(tool.Handle());
  info.uId = reinterpret_cast<UINT_PTR>(tool.Handle());
  return info;
}

std::string OnOneLine(std::string text) {
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
    text.replace(at, 2, "; ");
  }
  return text;
}

}  // namespace

ToolTip::ToolTip(Widget& form) {
  HWND window = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form.Handle(), nullptr,
                                detail::ModuleInstance(), nullptr);
  if (!window) {
    detail::ThrowRefusal("Cannot create control tooltips_class32");
  }
  Attach(window);
  // comctl32 4.70 and later answer with the width before, -1 (none); 4.00 knows no
  // such message and answers 0, and shows every text on one line.
  multiline_ = SendMessageA(hwnd_, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth) == -1;
  SendMessageA(hwnd_, TTM_SETDELAYTIME, TTDT_AUTOPOP, kShownMilliseconds);
}

ToolTip::~ToolTip() {
  if (hwnd_ && Widget::FromHandle(hwnd_) == this) {
    HWND window = hwnd_;
    Detach();
    DestroyWindow(window);
  }
  hwnd_ = nullptr;
}

bool ToolTip::AddTool(const Widget& tool, const std::string& text) {
  const std::string shown = multiline_ ? text : OnOneLine(text);
  TTTOOLINFOA info = ToolInfo(tool);
  info.lpszText = const_cast<char*>(shown.c_str());  // copied by the control
  return SendMessageA(hwnd_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

std::string ToolTip::TextOf(const Widget& tool) const {
  std::vector<char> buffer(kLongestText, '\0');
  TTTOOLINFOA info = ToolInfo(tool);
  info.lpszText = buffer.data();
  SendMessageA(hwnd_, TTM_GETTEXTA, buffer.size(), reinterpret_cast<LPARAM>(&info));
  return buffer.data();
}

}  // namespace veltrano::ui
