#include "measure/measure_window.h"

#include "engine/changes_window.h"
#include "platform/app_state.h"
#include "platform/registry.h"
#include "ui/application.h"
#include "ui/clipboard.h"

namespace veltrano {
namespace {

constexpr int kClientWidth = 520;
constexpr int kClientHeight = 400;
constexpr int kMargin = 8;
constexpr int kInner = kClientWidth - 2 * kMargin;
constexpr int kButtonTop = kClientHeight - kMargin - ui::kDefaultButtonHeight;
constexpr int kStartMessage = WM_USER + 1;

std::string RememberedHost() {
  TRegistry registry(kKeyRead);
  registry.SelectRoot(kHkeyLocalMachine);
  if (!registry.OpenPath(ProgramKeyPath(AppState().SoftwareKeyName), false)) return "";
  return registry.ReadText(kMeasureHostValueName);
}

void RememberHost(const std::string& host) {
  TRegistry registry;
  registry.SelectRoot(kHkeyLocalMachine);
  if (registry.OpenPath(ProgramKeyPath(AppState().SoftwareKeyName), false)) {
    registry.WriteText(kMeasureHostValueName, host);
  }
}

// A button of the bottom row, `fromRight` places from the right edge (the wide first
// one at the left); built here once rather than at each member.
ui::ButtonArgs RowButton(const char* text, int fromRight) {
  ui::ButtonArgs args;
  args.text = text;
  args.bounds = {kClientWidth - (kMargin + ui::kDefaultButtonWidth) * fromRight, kButtonTop};
  if (fromRight > 3) args.bounds = {kMargin, kButtonTop, 110};
  args.enabled = fromRight == 1;
  return args;
}

}  // namespace

TMeasure::TMeasure(MeasureHooks hooks, const std::string& host, bool startAtOnce)
    : ui::Form({.caption = kMeasureCaption,
                .clientWidth = kClientWidth,
                .clientHeight = kClientHeight,
                .borderIcons = ui::kIconSystemMenu | ui::kIconMinimize,
                .frame = ui::FrameStyle::kDialog,
                .taskbarButton = true,
                .visible = true,
                .className = "TMeasure"}),
      Label1(*this, {.text = "Host:", .bounds = {kMargin, 12}}),
      Edit1(*this, {.text = host, .bounds = {48, 9, 300, 21}}),
      RzButton1(*this, {.text = "&Start",
                        .bounds = {kClientWidth - kMargin - ui::kDefaultButtonWidth, 7},
                        .isDefault = true}),
      ListView1(*this, {.bounds = {kMargin, 40, kInner, 96},
                        .columns = {{"Adapter", 230}, {"Address", 110}, {"MTU now", 150}}}),
      ListView2(*this,
                {.bounds = {kMargin, 144, kInner, 160}, .columns = {{"Probe", 200}, {"ms", 60}}}),
      Label2(*this, {.bounds = {kMargin, 312, kInner, 40}}),
      RzButton2(*this, RowButton("Show &Changes...", 4)),
      RzButton3(*this, RowButton("&Apply", 3)),
      RzButton4(*this, RowButton("&Copy", 2)),
      RzButton5(*this, RowButton("&Close", 1)),
      hooks_(std::move(hooks)),
      env_(SystemMeasureEnvironment()),
      startAtOnce_(startAtOnce) {
  // One kind of handler for the five buttons: one copy of its code in the program.
  using Handler = void (TMeasure::*)();
  const std::pair<ui::Button*, Handler> buttons[] = {{&RzButton1, &TMeasure::RzButton1Click},
                                                     {&RzButton2, &TMeasure::RzButton2Click},
                                                     {&RzButton3, &TMeasure::RzButton3Click},
                                                     {&RzButton4, &TMeasure::RzButton4Click},
                                                     {&RzButton5, &TMeasure::RzButton5Click}};
  for (const auto& [button, handler] : buttons) {
    button->onClick = [this, handler = handler] { (this->*handler)(); };
  }
  SetActiveControl(Edit1);
}

void TMeasure::OnCreate() {
  if (Edit1.Text().empty()) Edit1.SetText(RememberedHost());
  const std::vector<Adapter> adapters =
      FindAdapters(env_.registry, env_.layout, env_.info, env_.systemKeyName);
  ShowAdapters(adapters, ChooseAdapter(adapters, std::nullopt, -1));
  if (startAtOnce_) Post(kStartMessage);
}

bool TMeasure::OnUserMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
  if (message != kStartMessage) return false;
  result = 0;
  RzButton1Click();
  return true;
}

void TMeasure::ShowAdapters(const std::vector<Adapter>& adapters, int chosen) {
  ListView1.Clear();
  for (const Adapter& adapter : adapters) {
    ListView1.AddRow({adapter.name, adapter.address, adapter.MtuNowText()});
  }
  ListView1.SelectRow(chosen);
}

void TMeasure::SetMeasuring(bool measuring) {
  measuring_ = measuring;
  stopRequested_ = false;
  RzButton1.SetText(measuring ? "&Stop" : "&Start");
  Edit1.SetEnabled(!measuring);
  ListView1.SetEnabled(!measuring);
  RzButton4.SetEnabled(!measuring && measurement_.resolved);
  const bool changes = !measuring && !plan_.rows.empty();
  RzButton2.SetEnabled(!measuring && measurement_.Measured());
  RzButton3.SetEnabled(changes);
}

void TMeasure::RzButton1Click() {
  if (measuring_) {
    stopRequested_ = true;
    return;
  }
  Measure();
  if (closeAfterStop_) RzButton5Click();
}

void TMeasure::Measure() {
  const std::string host = Edit1.Text();
  RememberHost(host);
  ListView2.Clear();
  Label2.SetCaption("Measuring the path to " + host + "...");
  measurement_ = Measurement();
  plan_ = ChangePlan();
  SetMeasuring(true);
  FinderHooks hooks;
  // The window's messages run between two probes, "&Stop" and "&Close" among them.
  hooks.stopRequested = [this] {
    ui::Application().ProcessMessages();
    return stopRequested_ || ui::Application().Halted();
  };
  hooks.onProbe = [this](const Probe& probe) {
    ListView2.AddRow({ProbeText(probe),
                      probe.status == EchoStatus::kFits ? std::to_string(probe.roundTripMs) : ""});
    ListView2.SelectRow(ListView2.RowCount() - 1);
  };
  try {
    measurement_ = MeasureHost(env_, host, ListView1.SelectedRow(), hooks);
    plan_ = PlanMeasured(env_, measurement_);
  } catch (...) {
    SetMeasuring(false);
    Label2.SetCaption("");
    throw;  // to the error box; the window stays
  }
  SetMeasuring(false);
  ShowAdapters(measurement_.adapters, measurement_.adapter);
  Label2.SetCaption(measurement_.Summary());
}

void TMeasure::RzButton2Click() {
  ShowChanges(ChangesHeadline("Apply", plan_.rows.size()), plan_);
}

void TMeasure::RzButton3Click() {
  ApplyMeasured(env_, measurement_);
  // Only a complete apply gets this far; after an error the window stays as it was.
  plan_ = ChangePlan();
  SetMeasuring(false);
  if (hooks_.createRestartPrompt) hooks_.createRestartPrompt();
}

void TMeasure::RzButton4Click() {
  ui::CopyTextToClipboard(Handle(), measurement_.AsText());
}

void TMeasure::RzButton5Click() {
  if (measuring_) {
    stopRequested_ = closeAfterStop_ = true;
    return;
  }
  Hide();
  Release();
  if (hooks_.closed) hooks_.closed();
}

}  // namespace veltrano
