// The names of the pictures the build compiles into the program's resources
// (cmake/Pictures.cmake): bitmaps for LoadBitmapResource, and a cursor.
#pragma once

namespace veltrano::ui {

// 105 x 233: down the left side of the wizard and the advanced window.
inline constexpr char kWizardPicture[] = "WIZARDPICTURE";
// 68 x 64: on the restart prompt and the first-run notice.
inline constexpr char kPromptPicture[] = "PROMPTPICTURE";
// The links' pointing hand where the system has none (Windows 95 and NT 4.0).
inline constexpr char kLinkCursor[] = "LINKHAND";

}  // namespace veltrano::ui
