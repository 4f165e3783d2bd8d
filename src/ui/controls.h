// One class per standard control. Each owns its HWND (destroyed with the object),
// cannot be copied, and receives its own notifications from its parent.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/form.h"
#include "ui/gdi.h"
#include "ui/window.h"

namespace veltrano::ui {

inline constexpr int kDefaultButtonWidth = 75;
inline constexpr int kDefaultButtonHeight = 25;

struct ButtonArgs {
  std::string text{};
  // A width or height of 0 takes kDefaultButtonWidth / kDefaultButtonHeight.
  Bounds bounds{0, 0, kDefaultButtonWidth, kDefaultButtonHeight};
  bool isDefault = false;  // activated by Enter unless another button has the focus
  // The first control after a group of choices: the arrow keys stay inside that group.
  bool groupStart = false;
  bool enabled = true;
  bool visible = true;
  FontSpec font{};
};

// A push button. onClick runs inside the dispatcher on BN_CLICKED (a mouse click,
// the keyboard or BM_CLICK); a disabled button never fires.
class Button : public Control {
 public:
  static constexpr WidgetKind kKind = kButtonKind;
  Button(Widget& parent, const ButtonArgs& args);
  // The button Enter presses while no other push button has the focus. The system moves
  // the default look to a focused push button; this stays as created.
  bool IsDefault() const { return isDefault_; }
  // Draws the button with or without the default button's heavy border.
  void ShowAsDefault(bool shown);
  bool ShownAsDefault() const;
  void Click();  // as a user's click: BM_CLICK
  std::function<void()> onClick;

 protected:
  void OnCommand(WORD notification) override;

 private:
  bool isDefault_;
};

enum class Alignment { kLeft, kCenter };

struct LabelArgs {
  std::string text{};  // "\r\n" breaks a line
  // A width or height of 0 sizes the label to its text (again on every SetText).
  Bounds bounds{};
  Alignment alignment = Alignment::kLeft;
  FontSpec font{};
  std::optional<COLORREF> color{};       // text colour, e.g. RGB(255, 0, 0)
  std::optional<COLORREF> background{};  // default: the parent's face colour
  bool enabled = true;                   // a disabled label is drawn greyed
  bool visible = true;
  bool sunken = false;  // a sunken pane around the text
};

// Static text.
class Label : public Control {
 public:
  Label(Widget& parent, const LabelArgs& args);
  void SetCaption(const std::string& text);  // resizes an auto-sized label
  std::string Caption() const { return Text(); }
  void SetColor(COLORREF color);

 protected:
  HBRUSH OnColor(HDC dc) override;

 private:
  void FitToText();
  bool autoWidth_;
  bool autoHeight_;
  std::optional<COLORREF> color_;
  std::optional<COLORREF> background_;
  OwnedBrush backgroundBrush_;
};

struct LinkLabelArgs {
  std::string text{};
  Bounds bounds{};  // a width or height of 0 sizes the link to its text
  FontSpec font{};  // drawn underlined
  COLORREF color = RGB(0, 0, 255);
  COLORREF visitedColor = RGB(128, 0, 128);
};

// A clickable text with a hand cursor. onClick runs on a click; the owner opens the
// address and marks the link visited when that succeeded.
class LinkLabel : public Control {
 public:
  LinkLabel(Widget& parent, const LinkLabelArgs& args);
  bool Visited() const { return visited_; }
  void SetVisited(bool visited);
  COLORREF CurrentColor() const { return visited_ ? visitedColor_ : color_; }
  void Click();  // as a user's click
  std::function<void()> onClick;

 protected:
  void OnCommand(WORD notification) override;
  HBRUSH OnColor(HDC dc) override;
  bool OnSetCursor() override;

 private:
  COLORREF color_;
  COLORREF visitedColor_;
  bool visited_ = false;
};

struct StatusBarArgs {
  std::string text{};
  int height = 19;
};

// A status bar along the bottom edge of its parent, showing one simple text.
class StatusBar : public Control {
 public:
  StatusBar(Widget& parent, const StatusBarArgs& args);
  void SetSimpleText(const std::string& text);
  std::string SimpleText() const;  // read back from the control
};

struct RadioButtonArgs {
  std::string text{};
  Bounds bounds{};          // a width of 0 fits the text, a height of 0 takes 17
  bool groupStart = false;  // the first button of a group of choices
  bool checked = false;
  bool enabled = true;
  bool visible = true;
  FontSpec font{};
};

// A radio button: a click (or SetChecked) checks it and unchecks the others of its group,
// and so does the keyboard focus arriving on it (the arrow keys inside a group).
// The check is ours, not the system's, so a click on a disabled window changes nothing.
class RadioButton : public Control {
 public:
  static constexpr WidgetKind kKind = kRadioButtonKind;
  RadioButton(Widget& parent, const RadioButtonArgs& args);
  bool Checked() const;
  void SetChecked(bool checked);
  std::function<void()> onClick;

 protected:
  void OnCommand(WORD notification) override;
};

struct GroupBoxArgs {
  std::string caption{};  // shown as given, blanks included
  Bounds bounds{};
  FontSpec font{};
};

// A captioned frame that is also the parent of the controls drawn inside it, so their
// positions are relative to the box.
class GroupBox : public Frame {
 public:
  GroupBox(Widget& parent, const GroupBoxArgs& args);
  std::string Caption() const;

 private:
  HWND frame_ = nullptr;  // the BS_GROUPBOX child that draws the frame and caption
};

inline constexpr int kDefaultComboWidth = 145;
inline constexpr int kDefaultComboHeight = 21;

struct ComboBoxArgs {
  // Height: the closed field, e.g. 22 or 19. A width or height of 0 takes the default.
  Bounds bounds{0, 0, kDefaultComboWidth, kDefaultComboHeight};
  std::vector<std::string> items{};
  int itemIndex = -1;  // -1 selects nothing
  int itemHeight = 0;  // list item height in pixels; 0 keeps the system's
  int dropDownCount = 8;
  FontSpec font{};
};

// A drop-down list that accepts only its listed choices (CBS_DROPDOWNLIST).
class ComboBox : public Control {
 public:
  static constexpr WidgetKind kKind = kComboBoxKind;
  ComboBox(Widget& parent, const ComboBoxArgs& args);
  void AddItem(const std::string& item);
  void Clear();
  int Count() const;
  std::string Item(int index) const;  // "" for an index out of range
  int ItemIndex() const;              // CB_GETCURSEL: -1 when nothing is selected
  void SetItemIndex(int index);       // -1 clears; out of range clears too
  bool IsDroppedDown() const;
  std::function<void()> onChange;  // the user picked another item (CBN_SELCHANGE)

 protected:
  void OnCommand(WORD notification) override;

 private:
  ComboBox(Widget& parent, const ComboBoxArgs& args, const Bounds& field);
};

struct EditArgs {
  std::string text{};
  Bounds bounds{0, 0, kDefaultComboWidth, kDefaultComboHeight};
  FontSpec font{};
};

// A one-line text field with a sunken border; its text is the window text.
class Edit : public Control {
 public:
  Edit(Widget& parent, const EditArgs& args);
};

struct BevelArgs {
  Bounds bounds{};  // a height (or width) of 2 gives a horizontal (or vertical) line
};

// An etched separator line.
class Bevel : public Control {
 public:
  Bevel(Widget& parent, const BevelArgs& args);
};

struct TabControlArgs {
  Bounds bounds{};
  std::vector<std::string> tabs{};
  bool hotTrack = true;
  FontSpec font{};
};

// Tabs only: the pages are frames the owner places over PageBounds() and shows or hides
// from onChange.
class TabControl : public Control {
 public:
  TabControl(Widget& parent, const TabControlArgs& args);
  int TabCount() const;
  int TabIndex() const;  // -1 when none
  void SetTabIndex(int index);
  // The display area below the tabs, in the parent's client coordinates.
  Bounds PageBounds() const;
  std::function<void()> onChange;  // the selected tab changed (TCN_SELCHANGE)

 protected:
  bool OnNotify(const NMHDR& header, LRESULT& result) override;
};

}  // namespace veltrano::ui
