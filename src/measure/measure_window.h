// The measure window TMeasure: a host, the adapters with the MTU each uses now, "&Start"
// (which reads "&Stop" while it measures), a live list of the probes, the result line,
// and the change the result calls for through the one plan: "Show &Changes...",
// "&Apply" (backup, write, restart prompt), "&Copy" (the figures on the clipboard).
// Measuring runs on the UI thread: the window's messages run between two probes.
#pragma once

#include <functional>
#include <string>

#include "engine/change_plan.h"
#include "measure/measurement.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/report_list.h"

namespace veltrano {

inline constexpr char kMeasureCaption[] = "Veltrano v2.11 - Measure";
inline constexpr char kMeasureHostValueName[] = "MeasureHost";

struct MeasureHooks {
  std::function<void()> createRestartPrompt;  // after a complete "&Apply"
  std::function<void()> closed;               // the window has gone
};

class TMeasure : public ui::Form {
 public:
  // `host`, when not empty, replaces the one remembered; `startAtOnce` measures as soon as
  // the window is up.
  TMeasure(MeasureHooks hooks, const std::string& host, bool startAtOnce);

  ui::Label Label1;          // "Host:"
  ui::Edit Edit1;            // the host
  ui::Button RzButton1;      // "&Start" / "&Stop"
  ui::ReportList ListView1;  // the adapters: "Adapter", "Address", "MTU now"
  ui::ReportList ListView2;  // the probes
  ui::Label Label2;          // the result line
  ui::Button RzButton2;      // "Show &Changes..."
  ui::Button RzButton3;      // "&Apply"
  ui::Button RzButton4;      // "&Copy"
  ui::Button RzButton5;      // "&Close"

  const Measurement& Result() const { return measurement_; }

  void RzButton1Click();
  void RzButton2Click();
  void RzButton3Click();
  void RzButton4Click();
  void RzButton5Click();

 protected:
  void OnCreate() override;
  void OnClose() override { RzButton5Click(); }
  bool OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void Measure();
  void ShowAdapters(const std::vector<Adapter>& adapters, int chosen);
  void SetMeasuring(bool measuring);

  MeasureHooks hooks_;
  MeasureEnvironment env_;
  bool startAtOnce_;
  bool measuring_ = false;
  bool stopRequested_ = false;
  bool closeAfterStop_ = false;
  Measurement measurement_;
  ChangePlan plan_;
};

}  // namespace veltrano
