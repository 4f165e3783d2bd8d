// A frame whose controls are made the first time it is shown or they are asked for,
// so that a hidden wizard page costs one window at start-up instead of one per control.
#pragma once

#include <functional>
#include <optional>
#include <utility>

#include "ui/form.h"

namespace veltrano::ui {

// `Controls` is built on the frame as Controls(Widget& frame). `onBuilt` runs once,
// right after they are made: the place to bind their handlers. A frame created visible
// makes them at once.
template <class Controls>
class DeferredFrame : public Frame {
 public:
  using BuiltHandler = std::function<void(Controls&)>;

  DeferredFrame(Widget& parent, const FrameArgs& args, BuiltHandler onBuilt)
      : Frame(parent, args), onBuilt_(std::move(onBuilt)) {
    if (args.visible) Realize();
  }

  // A control the system refuses leaves none of them made; the next use tries again.
  void Realize() override {
    if (controls_) return;
    controls_.emplace(*this);
    if (onBuilt_) onBuilt_(*controls_);
  }
  Controls* operator->() {
    Realize();
    return &*controls_;
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    // Shown some other way than after Realize: the controls still come first.
    if (message == WM_SHOWWINDOW && wParam) Realize();
    return Frame::HandleMessage(message, wParam, lParam);
  }

 private:
  std::optional<Controls> controls_;
  BuiltHandler onBuilt_;
};

}  // namespace veltrano::ui
