#include "ui/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "ui/embedded_pictures.h"

namespace veltrano::ui {
namespace {

DWORD VisibleEnabled(bool visible, bool enabled) {
  return (visible ? DWORD{WS_VISIBLE} : 0u) | (enabled ? 0u : DWORD{WS_DISABLED});
}

constexpr int kTextInkSlack = 2;

// The size the text takes in `font`, with its line breaks. Measured in a memory DC of
// the display, which gives the extents a control's own DC gives, without a window: a
// control that sizes itself to its text knows its size before it is created, and its
// window is made once at that size.
SIZE MeasureText(HFONT font, const std::string& text) {
  MemoryDC dc(nullptr);
  ScopedSelect selected(dc.Get(), font);
  RECT rect{0, 0, 0, 0};
  // An empty text still has the height of one line.
  const std::string measured = text.empty() ? " " : text;
  DrawTextA(dc.Get(), measured.c_str(), static_cast<int>(measured.size()), &rect,
            DT_CALCRECT | DT_NOPREFIX | DT_LEFT);
  // A smoothed glyph may reach a pixel past its advance (the stem of a final "d"): a
  // little room keeps the last letter of a line whole.
  return {rect.right - rect.left + kTextInkSlack, rect.bottom - rect.top};
}

// A zero width or height takes the given default, so `.bounds = {x, y}` places a
// control at its usual size instead of making it invisible and unclickable.
Bounds WithDefaultSize(Bounds bounds, int width, int height) {
  if (bounds.width <= 0) bounds.width = width;
  if (bounds.height <= 0) bounds.height = height;
  return bounds;
}

// A zero width or height taken from the text in the font, the width plus `extraWidth`.
Bounds FittedToText(Bounds bounds, const FontSpec& font, const std::string& text,
                    int extraWidth = 0) {
  if (bounds.width > 0 && bounds.height > 0) return bounds;
  const SIZE size = MeasureText(FontCache::Instance().Get(font), text);
  if (bounds.width <= 0) bounds.width = size.cx + extraWidth;
  if (bounds.height <= 0) bounds.height = size.cy;
  return bounds;
}

constexpr int kRadioMarkWidth = 20;  // the round mark and the gap before the text
constexpr int kRadioHeight = 17;

}  // namespace

// ---- Edit

Edit::Edit(Widget& parent, const EditArgs& args)
    : Control(parent, {.className = "EDIT",
                       .text = args.text,
                       .style = WS_TABSTOP | WS_VISIBLE | ES_AUTOHSCROLL,
                       .exStyle = WS_EX_CLIENTEDGE,
                       .bounds = args.bounds,
                       .font = args.font}) {}

// ---- Button

Button::Button(Widget& parent, const ButtonArgs& args)
    : Control(parent,
              {.className = "BUTTON",
               .text = args.text,
               .style = WS_TABSTOP | VisibleEnabled(args.visible, args.enabled) |
                        (args.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) |
                        (args.groupStart ? DWORD{WS_GROUP} : 0u),
               .bounds = WithDefaultSize(args.bounds, kDefaultButtonWidth, kDefaultButtonHeight),
               .font = args.font}),
      isDefault_(args.isDefault) {
  kinds_ |= kButtonKind;
}

void Button::ShowAsDefault(bool shown) {
  if (hwnd_ && shown != ShownAsDefault()) {
    SendMessageA(hwnd_, BM_SETSTYLE, shown ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  }
}

bool Button::ShownAsDefault() const {
  return hwnd_ && (GetWindowLongPtrA(hwnd_, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
}

void Button::Click() {
  if (hwnd_) SendMessageA(hwnd_, BM_CLICK, 0, 0);
}

void Button::OnCommand(WORD notification) {
  // A disabled button (or one on a disabled window) never acts, whatever the system
  // lets through.
  if (notification == BN_CLICKED && AcceptsInput() && onClick) onClick();
}

// ---- Label

Label::Label(Widget& parent, const LabelArgs& args)
    : Control(parent, {.className = "STATIC",
                       .text = args.text,
                       .style = SS_NOPREFIX | VisibleEnabled(args.visible, args.enabled) |
                                (args.alignment == Alignment::kCenter ? SS_CENTER : SS_LEFT) |
                                (args.sunken ? DWORD{SS_CENTERIMAGE} : 0u),
                       .exStyle = args.sunken ? DWORD{WS_EX_STATICEDGE} : 0u,
                       .bounds = FittedToText(args.bounds, args.font, args.text),
                       .font = args.font}),
      autoWidth_(args.bounds.width <= 0),
      autoHeight_(args.bounds.height <= 0),
      color_(args.color),
      background_(args.background) {
  if (background_) backgroundBrush_.Reset(CreateSolidBrush(*background_));
}

void Label::SetCaption(const std::string& text) {
  SetText(text);
  FitToText();
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void Label::SetColor(COLORREF color) {
  color_ = color;
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void Label::FitToText() {
  if (!autoWidth_ && !autoHeight_) return;
  auto font = reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0));
  const SIZE size = MeasureText(font, Text());
  Bounds bounds = GetBounds();
  if (autoWidth_) bounds.width = size.cx;
  if (autoHeight_) bounds.height = size.cy;
  SetBounds(bounds);
}

HBRUSH Label::OnColor(HDC dc) {
  if (!color_ && !background_) return nullptr;
  SetBkMode(dc, TRANSPARENT);
  if (!IsEnabled()) {
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  } else if (color_) {
    SetTextColor(dc, *color_);
  }
  if (backgroundBrush_) return backgroundBrush_.Get();
  return GetSysColorBrush(COLOR_BTNFACE);
}

// ---- LinkLabel

namespace {

FontSpec LinkFont(const FontSpec& font) {
  return {.height = font.height, .bold = font.bold, .underline = true, .face = font.face};
}

}  // namespace

LinkLabel::LinkLabel(Widget& parent, const LinkLabelArgs& args)
    : Control(parent, {.className = "STATIC",
                       .text = args.text,
                       .style = WS_VISIBLE | SS_NOTIFY | SS_NOPREFIX | SS_LEFT,
                       .bounds = FittedToText(args.bounds, LinkFont(args.font), args.text),
                       .font = LinkFont(args.font)}),
      color_(args.color),
      visitedColor_(args.visitedColor) {}

void LinkLabel::SetVisited(bool visited) {
  visited_ = visited;
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void LinkLabel::Click() {
  // What the control reports for a click (SS_NOTIFY), sent to its parent.
  SendMessageA(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(Id(), STN_CLICKED),
               reinterpret_cast<LPARAM>(hwnd_));
}

void LinkLabel::OnCommand(WORD notification) {
  if (notification == STN_CLICKED && AcceptsInput() && onClick) onClick();
}

HBRUSH LinkLabel::OnColor(HDC dc) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, IsEnabled() ? CurrentColor() : GetSysColor(COLOR_GRAYTEXT));
  return GetSysColorBrush(COLOR_BTNFACE);
}

bool LinkLabel::OnSetCursor() {
  HCURSOR hand = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND));  // 9x: NULL, see below
  // Windows 95 and NT 4.0 have no hand: the program's own, or the arrow without it.
  if (!hand) hand = LoadCursorA(GetModuleHandleA(nullptr), kLinkCursor);
  if (!hand) return false;
  ::SetCursor(hand);
  return true;
}

// ---- StatusBar

StatusBar::StatusBar(Widget& parent, const StatusBarArgs& args)
    : Control(parent, {.className = STATUSCLASSNAMEA,
                       .style = WS_VISIBLE | CCS_BOTTOM,
                       .bounds = {0, 0, 0, args.height}}) {
  SendMessageA(hwnd_, SB_SETMINHEIGHT, static_cast<WPARAM>(args.height), 0);
  SendMessageA(hwnd_, WM_SIZE, 0, 0);  // the bar takes its place along the bottom edge
  // One part across the whole bar rather than the "simple" mode: its text is part 0,
  // which is also what WM_GETTEXT reads for screen readers and test drivers.
  int rightEdges[] = {-1};
  SendMessageA(hwnd_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(rightEdges));
  SetSimpleText(args.text);
}

void StatusBar::SetSimpleText(const std::string& text) {
  SendMessageA(hwnd_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string StatusBar::SimpleText() const {
  // SB_GETTEXT takes no buffer size: size the buffer from SB_GETTEXTLENGTH first.
  const LRESULT lengthAndType = SendMessageA(hwnd_, SB_GETTEXTLENGTHA, 0, 0);
  std::vector<char> buffer(LOWORD(lengthAndType) + 1u, '\0');
  SendMessageA(hwnd_, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(buffer.data()));
  return buffer.data();
}

// ---- RadioButton

RadioButton::RadioButton(Widget& parent, const RadioButtonArgs& args)
    : Control(parent,
              {.className = "BUTTON",
               .text = args.text,
               // BS_NOTIFY: the focus arriving from the arrow keys is reported.
               .style = BS_RADIOBUTTON | BS_NOTIFY | VisibleEnabled(args.visible, args.enabled) |
                        (args.groupStart ? WS_GROUP | WS_TABSTOP : 0),
               .bounds = FittedToText(WithDefaultSize(args.bounds, 0, kRadioHeight), args.font,
                                      args.text, kRadioMarkWidth),
               .font = args.font}) {
  kinds_ |= kRadioButtonKind;
  SetChecked(args.checked);
}

bool RadioButton::Checked() const {
  return SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void RadioButton::SetChecked(bool checked) {
  SendMessageA(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!checked) return;
  // BM_SETCHECK alone leaves the other buttons of the group checked.
  HWND parent = GetParent(hwnd_);
  HWND first = hwnd_;
  while (!(GetWindowLongPtrA(first, GWL_STYLE) & WS_GROUP)) {
    HWND previous = GetWindow(first, GW_HWNDPREV);
    if (!previous) break;
    first = previous;
  }
  for (HWND sibling = first; sibling; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
    if (sibling != first && (GetWindowLongPtrA(sibling, GWL_STYLE) & WS_GROUP)) break;
    if (sibling == hwnd_ || GetParent(sibling) != parent) continue;
    if (WidgetAs<RadioButton>(Widget::FromHandle(sibling))) {
      SendMessageA(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
    }
  }
}

void RadioButton::OnCommand(WORD notification) {
  // The keyboard moving the focus onto a choice selects it, as the arrow keys do in a
  // dialog; a mouse press (which captures the mouse) selects it on its click instead.
  const bool focusedByKeyboard = notification == BN_SETFOCUS && GetCapture() != hwnd_ && !Checked();
  if ((notification != BN_CLICKED && !focusedByKeyboard) || !AcceptsInput()) return;
  SetChecked(true);
  if (onClick) onClick();
}

// ---- GroupBox

GroupBox::GroupBox(Widget& parent, const GroupBoxArgs& args)
    : Frame(parent, {.bounds = args.bounds}) {
  frame_ = CreateWindowExA(0, "BUTTON", args.caption.c_str(), WS_CHILD | WS_VISIBLE | BS_GROUPBOX,
                           0, 0, args.bounds.width, args.bounds.height, hwnd_, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  SetText(args.caption);
  if (frame_) {
    SendMessageA(frame_, WM_SETFONT, reinterpret_cast<WPARAM>(FontCache::Instance().Get(args.font)),
                 FALSE);
    // Below the controls that will be placed in the box.
    SetWindowPos(frame_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

std::string GroupBox::Caption() const {
  return Text();
}

// ---- ComboBox

ComboBox::ComboBox(Widget& parent, const ComboBoxArgs& args)
    : ComboBox(parent, args,
               WithDefaultSize(args.bounds, kDefaultComboWidth, kDefaultComboHeight)) {}

ComboBox::ComboBox(Widget& parent, const ComboBoxArgs& args, const Bounds& field)
    : Control(parent,
              {.className = "COMBOBOX",
               .style = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
               // The window height of a drop-down list includes its open list.
               .bounds = {field.x, field.y, field.width,
                          field.height +
                              std::max(args.itemHeight, 16) * std::max(args.dropDownCount, 1) + 2},
               .font = args.font}) {
  kinds_ |= kComboBoxKind;
  if (field.height > 6) {
    SendMessageA(hwnd_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field.height - 6);
  }
  if (args.itemHeight > 0) SendMessageA(hwnd_, CB_SETITEMHEIGHT, 0, args.itemHeight);
  for (const std::string& item : args.items) AddItem(item);
  SetItemIndex(args.itemIndex);
}

void ComboBox::AddItem(const std::string& item) {
  SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

void ComboBox::Clear() {
  SendMessageA(hwnd_, CB_RESETCONTENT, 0, 0);
}

int ComboBox::Count() const {
  return static_cast<int>(SendMessageA(hwnd_, CB_GETCOUNT, 0, 0));
}

std::string ComboBox::Item(int index) const {
  const LRESULT length = SendMessageA(hwnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return {};
  std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(hwnd_, CB_GETLBTEXT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(buffer.data()));
  return buffer.data();
}

int ComboBox::ItemIndex() const {
  return static_cast<int>(SendMessageA(hwnd_, CB_GETCURSEL, 0, 0));
}

void ComboBox::SetItemIndex(int index) {
  if (index < 0 || index >= Count()) index = -1;
  SendMessageA(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool ComboBox::IsDroppedDown() const {
  return SendMessageA(hwnd_, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void ComboBox::OnCommand(WORD notification) {
  if (notification == CBN_SELCHANGE && onChange) onChange();
}

// ---- Bevel

Bevel::Bevel(Widget& parent, const BevelArgs& args)
    : Control(parent,
              {.className = "STATIC",
               .style = static_cast<DWORD>(WS_VISIBLE) |
                        (args.bounds.width < args.bounds.height ? SS_ETCHEDVERT : SS_ETCHEDHORZ),
               .bounds = args.bounds}) {}

// ---- TabControl

TabControl::TabControl(Widget& parent, const TabControlArgs& args)
    : Control(parent,
              {.className = WC_TABCONTROLA,
               .style = static_cast<DWORD>(WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS) |
                        (args.hotTrack ? TCS_HOTTRACK : 0u),  // 9x: comctl32 4.00 ignores it
               .bounds = args.bounds,
               .font = args.font}) {
  for (size_t index = 0; index < args.tabs.size(); ++index) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(args.tabs[index].c_str());
    SendMessageA(hwnd_, TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item));
  }
  if (!args.tabs.empty()) SetTabIndex(0);
}

int TabControl::TabCount() const {
  return static_cast<int>(SendMessageA(hwnd_, TCM_GETITEMCOUNT, 0, 0));
}

int TabControl::TabIndex() const {
  return static_cast<int>(SendMessageA(hwnd_, TCM_GETCURSEL, 0, 0));
}

void TabControl::SetTabIndex(int index) {
  SendMessageA(hwnd_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
}

Bounds TabControl::PageBounds() const {
  RECT rect{};
  GetClientRect(hwnd_, &rect);
  SendMessageA(hwnd_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rect));
  MapWindowPoints(hwnd_, GetParent(hwnd_), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

bool TabControl::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.code != static_cast<UINT>(TCN_SELCHANGE)) return false;
  if (onChange) onChange();
  result = 0;
  return true;
}

}  // namespace veltrano::ui
