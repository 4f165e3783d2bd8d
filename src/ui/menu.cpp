#include "ui/menu.h"

#include "ui/error_text.h"

namespace veltrano::ui {
namespace {

// Command ids are item index + 1: TrackPopupMenu returns 0 for "nothing chosen".
UINT CommandOf(int index) {
  return static_cast<UINT>(index + 1);
}

}  // namespace

PopupMenu::PopupMenu() : menu_(CreatePopupMenu()) {
  if (!menu_) throw SystemRefusal("Cannot create a menu");
}

PopupMenu::~PopupMenu() {
  DestroyMenu(menu_);
}

int PopupMenu::AddItem(const std::string& caption, const std::string& shortcut,
                       std::function<void()> onClick) {
  const int index = Count();
  items_.push_back({caption, shortcut, std::move(onClick)});
  if (caption == "-") {
    AppendMenuA(menu_, MF_SEPARATOR, 0, nullptr);
  } else {
    const std::string text = ItemText(index);
    AppendMenuA(menu_, MF_STRING, CommandOf(index), text.c_str());
  }
  return index;
}

std::string PopupMenu::ItemText(int index) const {
  if (index < 0 || index >= Count()) return {};
  const Item& item = items_[static_cast<size_t>(index)];
  return item.shortcut.empty() ? item.caption : item.caption + "\t" + item.shortcut;
}

bool PopupMenu::IsSeparator(int index) const {
  return index >= 0 && index < Count() && items_[static_cast<size_t>(index)].caption == "-";
}

int PopupMenu::Popup(int screenX, int screenY, HWND owner) {
  // The owner must be in front, or the menu does not close when the user clicks away.
  SetForegroundWindow(owner);
  const UINT command = static_cast<UINT>(
      TrackPopupMenu(menu_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD, screenX,
                     screenY, 0, owner, nullptr));
  PostMessageA(owner, WM_NULL, 0, 0);
  if (command == 0) return -1;
  const int index = static_cast<int>(command) - 1;
  Invoke(index);
  return index;
}

void PopupMenu::Invoke(int index) {
  if (index < 0 || index >= Count()) return;
  const std::function<void()> handler = items_[static_cast<size_t>(index)].onClick;
  if (handler) handler();
}

MenuButton::MenuButton(Widget& parent, const ButtonArgs& args, PopupMenu& menu)
    : Button(parent, args), menu_(menu) {
  onClick = [this] {
    RECT button{};
    GetWindowRect(hwnd_, &button);
    lastChoice_ = -1;
    lastChoice_ = menu_.Popup(button.left, button.bottom, TopLevelWindowOf(hwnd_));
  };
}

}  // namespace veltrano::ui
