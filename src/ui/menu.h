// A drop-down menu of commands, and a push button that drops it down. Item shortcuts
// are shown beside the captions only: no key is bound to them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/controls.h"

namespace veltrano::ui {

class PopupMenu {
 public:
  PopupMenu();
  ~PopupMenu();
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;

  // Appends a command; "&" marks the letter that chooses it while the menu is open. A
  // caption of "-" appends a separator. Returns the item's index.
  int AddItem(const std::string& caption, const std::string& shortcut = "",
              std::function<void()> onClick = nullptr);
  int AddSeparator() { return AddItem("-"); }

  int Count() const { return static_cast<int>(items_.size()); }
  // The text the menu shows for the item: caption, and shortcut after a tab.
  std::string ItemText(int index) const;
  bool IsSeparator(int index) const;
  HMENU Handle() const { return menu_; }

  // Opens the menu at a screen point and waits until it closes; then runs the chosen
  // item's handler, if any. Returns the chosen index, or -1.
  int Popup(int screenX, int screenY, HWND owner);
  // Runs an item's handler as if the user had chosen it.
  void Invoke(int index);

 private:
  struct Item {
    std::string caption;
    std::string shortcut;
    std::function<void()> onClick;
  };
  HMENU menu_;
  std::vector<Item> items_;
};

// A push button whose click drops its menu down under it.
class MenuButton : public Button {
 public:
  MenuButton(Widget& parent, const ButtonArgs& args, PopupMenu& menu);
  // The index chosen the last time the menu was dropped down, or -1.
  int LastChoice() const { return lastChoice_; }

 private:
  PopupMenu& menu_;
  int lastChoice_ = -1;
};

}  // namespace veltrano::ui
