#include "advanced/advanced.h"

#include "advanced/current_values.h"
#include "engine/changes_window.h"
#include "platform/app_state.h"
#include "platform/ini_file.h"
#include "platform/launcher.h"
#include "platform/registry_api.h"
#include "ui/application.h"
#include "ui/embedded_pictures.h"

namespace veltrano {
namespace {

constexpr const char* kAttentionText =
    "ATTENTION : Please\r\nbe carreful while\r\nchanging the values.\r\nIf a problem occurs\r\n"
    "please use the wizard\r\nmode to repair the\r\nvalues.";

// A list and its item height: taller on the first two tabs, smaller on the last two.
struct ListLook {
  int height;
  int itemHeight;
};

ListLook ListLookOf(AdvancedTab tab) {
  const bool large = tab == AdvancedTab::kGeneral || tab == AdvancedTab::kTcpIp;
  return large ? ListLook{22, 16} : ListLook{19, 13};
}

// One line of the 8-point font: a list is centred on its label's line.
constexpr int kLabelLineHeight = 13;

ui::FormArgs AdvanceFrame() {
  return ui::FormArgs{.caption = kAdvancedCaption,
                      .clientWidth = kAdvancedClientWidth,
                      .clientHeight = kAdvancedClientHeight,
                      .borderIcons = ui::kIconNone,
                      .frame = ui::FrameStyle::kDialog,
                      .centered = true,
                      .taskbarButton = true,
                      .visible = true,
                      .className = "TAdvance"};
}

}  // namespace

TAdvance::TAdvance(AdvanceHooks hooks)
    : ui::Form(AdvanceFrame()),
      Image1(*this, {.bounds = {16, 16, 105, 233}, .description = "Veltrano"}),
      // Sized to its seven lines, so that no line wraps or is cut off in a wider font.
      RzLabel37(*this, {.text = kAttentionText, .bounds = {16, 264}, .color = RGB(255, 0, 0)}),
      RzURLLabel1(*this, {.text = "Visit Quarn Software", .bounds = {24, 368}}),
      PC1(*this, {.bounds = {144, 16, 345, 369},
                  .tabs = {"General", "TCP/IP", "SPX/IPX (NWLink)", "NetBEUI"}}),
      TabSheet1(*this, {.bounds = PC1.PageBounds()}),
      TabSheet2(*this, {.bounds = PC1.PageBounds(), .visible = false}),
      TabSheet3(*this, {.bounds = PC1.PageBounds(), .visible = false}),
      TabSheet4(*this, {.bounds = PC1.PageBounds(), .visible = false}),
      RzGroupBox13(*this, {.bounds = {16, 400, 473, 2}}),
      RzButton1(*this, {.text = "Exit", .bounds = {416, 416}, .isDefault = true}),
      RzButton2(*this, {.text = "Apply and Exit", .bounds = {296, 416, 105, 25}}),
      // Centred in the free stretch of the row, between 145 and 296.
      RzButton4(*this, {.text = "Show &Changes...", .bounds = {168, 416, 105, 25}}),
      RzButton3(*this, {.text = "Back to Wizard Mode", .bounds = {16, 416, 129, 25}}),
      hooks_(std::move(hooks)) {
  Image1.SetBitmap(ui::LoadBitmapResource(GetModuleHandleA(nullptr), ui::kWizardPicture));
  BuildSettings();
  hints_ = std::make_unique<ui::ToolTip>(*this);
  // The pages lie over the tab control, so it goes below them; the keyboard still
  // cycles tab control, page, Exit, Apply and Exit, Show Changes, Back to Wizard Mode.
  SetWindowPos(PC1.Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetActiveControl(PC1);

  PC1.onChange = [this] { PC1Change(); };
  RzURLLabel1.onClick = [this] { RzURLLabel1Click(); };
  RzButton1.onClick = [this] { RzButton1Click(); };
  RzButton2.onClick = [this] { RzButton2Click(); };
  RzButton4.onClick = [this] { RzButton4Click(); };
  RzButton3.onClick = [this] { RzButton3Click(); };
}

void TAdvance::BuildSettings() {
  const std::vector<SettingGroup>& groups = SettingGroups();
  for (const SettingGroup& group : groups) {
    groups_.push_back(std::make_unique<ui::GroupBox>(
        Page(group.tab),
        ui::GroupBoxArgs{.caption = group.caption,
                         .bounds = {group.left, group.top, group.width, group.height}}));
  }
  for (const Setting& setting : Settings()) {
    ui::GroupBox& box = *groups_[static_cast<size_t>(setting.group)];
    const ListLook look = ListLookOf(groups[static_cast<size_t>(setting.group)].tab);
    const RowPlace& place = setting.place;
    labels_.push_back(std::make_unique<ui::Label>(
        box, ui::LabelArgs{.text = setting.label, .bounds = {place.labelLeft, place.labelTop}}));
    const int listTop = place.labelTop - (look.height - kLabelLineHeight) / 2;
    lists_.push_back(std::make_unique<ui::ComboBox>(
        box, ui::ComboBoxArgs{.bounds = {place.listLeft, listTop, place.listWidth, look.height},
                              .items = ChoicesOf(setting.list),
                              .itemHeight = look.itemHeight}));
  }
}

ui::ComboBox* TAdvance::List(std::string_view control) {
  const std::vector<Setting>& settings = Settings();
  for (size_t index = 0; index < settings.size(); ++index) {
    if (settings[index].control == control) return lists_[index].get();
  }
  return nullptr;
}

ui::Frame& TAdvance::Page(AdvancedTab tab) {
  switch (tab) {
    case AdvancedTab::kGeneral:
      return TabSheet1;
    case AdvancedTab::kTcpIp:
      return TabSheet2;
    case AdvancedTab::kSpxIpx:
      return TabSheet3;
    case AdvancedTab::kNetBeui:
      break;
  }
  return TabSheet4;
}

AdvancedChoices TAdvance::CurrentChoices() const {
  AdvancedChoices choices;
  const std::vector<Setting>& settings = Settings();
  for (size_t index = 0; index < settings.size(); ++index) {
    choices[settings[index].control] = lists_[index]->ItemIndex();
  }
  return choices;
}

AdvancedEnvironment TAdvance::Environment() const {
  const AppStateRecord& state = AppState();
  return {.registry = SystemRegistry(),
          .ini = SystemProfileStrings(),
          .systemKeyName = state.SystemKeyName,
          .windowsDir = state.WindowsDir,
          .programDir = state.ProgramDir};
}

void TAdvance::FormCreate() {
  for (const auto& list : lists_) list->SetItemIndex(0);
  ShowCurrentValues();
}

void TAdvance::ShowCurrentValues() {
  const AppStateRecord& state = AppState();
  const std::vector<Setting>& settings = Settings();
  for (size_t index = 0; index < settings.size(); ++index) {
    hints_->AddTool(*lists_[index],
                    CurrentValuesText(SystemRegistry(), SystemProfileStrings(), state.SystemKeyName,
                                      state.WindowsDir, settings[index].control));
  }
}

void TAdvance::PC1Change() {
  ui::Frame* pages[] = {&TabSheet1, &TabSheet2, &TabSheet3, &TabSheet4};
  const int selected = PC1.TabIndex();
  for (int index = 0; index < 4; ++index) pages[index]->SetVisible(index == selected);
}

void TAdvance::RzButton2Click() {
  ApplyAdvancedSettings(Environment(), CurrentChoices());
  // Only a complete apply gets this far; after an error the window stays as it was.
  SetEnabled(false);
  if (hooks_.createRestartPrompt) hooks_.createRestartPrompt();
}

void TAdvance::RzButton4Click() {
  const ChangePlan plan = PlanAdvancedApply(Environment(), CurrentChoices());
  ShowChanges(ChangesHeadline("Apply and Exit", plan.rows.size()), plan);
}

void TAdvance::RzButton3Click() {
  if (hooks_.backToWizard) hooks_.backToWizard();
  Release();
}

void TAdvance::RzButton1Click() {
  ui::Application().Halt(0);
}

void TAdvance::RzURLLabel1Click() {
  if (OpenWebAddress(kMakerWebAddress)) RzURLLabel1.SetVisited(true);
}

}  // namespace veltrano
