// The advanced window TAdvance: the 36 lists of the settings catalogue on four tabs, and
// three ways out: "Apply and Exit" writes the chosen settings and hands over to the
// restart prompt, "Back to Wizard Mode" returns to the wizard, "Exit" ends the program.
// "Show &Changes..." lists what "Apply and Exit" would change with the lists as they
// stand. Every time the window is made, every list shows "Default", and each list's
// tooltip names the values it writes with their data at that moment.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "advanced/apply_settings.h"
#include "advanced/catalogue.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/picture.h"
#include "ui/tooltip.h"

namespace veltrano {

inline constexpr char kAdvancedCaption[] = "Veltrano v2.11 Advanced Mode";
inline constexpr char kMakerWebAddress[] = "https://www.quarnsoft.example/";
inline constexpr int kAdvancedClientWidth = 503;
inline constexpr int kAdvancedClientHeight = 453;

// The windows this one hands over to belong to its creator.
struct AdvanceHooks {
  // Shows the wizard again as it was when it was hidden.
  std::function<void()> backToWizard;
  // Creates the restart prompt, which shows itself.
  std::function<void()> createRestartPrompt;
};

class TAdvance : public ui::Form {
 public:
  explicit TAdvance(AdvanceHooks hooks);

  ui::Picture Image1;
  ui::Label RzLabel37;
  ui::LinkLabel RzURLLabel1;
  ui::TabControl PC1;
  ui::Frame TabSheet1;  // "General"
  ui::Frame TabSheet2;  // "TCP/IP"
  ui::Frame TabSheet3;  // "SPX/IPX (NWLink)"
  ui::Frame TabSheet4;  // "NetBEUI"
  ui::Bevel RzGroupBox13;
  // Made in the keyboard focus order after the tab pages: Exit, Apply, Show Changes, Back.
  ui::Button RzButton1;  // "Exit", the default button
  ui::Button RzButton2;  // "Apply and Exit"
  ui::Button RzButton4;  // "Show &Changes...", between "Back to Wizard Mode" and "Apply and Exit"
  ui::Button RzButton3;  // "Back to Wizard Mode"

  // The list of a setting by its control name, "a1" to "bs3"; nullptr for another name.
  ui::ComboBox* List(std::string_view control);
  // The page of a tab.
  ui::Frame& Page(AdvancedTab tab);
  // The tooltip over the lists: what each list's values hold now.
  const ui::ToolTip& Hints() const { return *hints_; }

  void FormCreate();      // every list to "Default", the values now into the tooltips
  void PC1Change();       // shows the page of the selected tab
  void RzButton2Click();  // "Apply and Exit"
  void RzButton4Click();  // "Show &Changes..."
  void RzButton3Click();  // "Back to Wizard Mode"
  void RzButton1Click();  // "Exit"
  void RzURLLabel1Click();

 protected:
  void OnCreate() override { FormCreate(); }
  void OnClose() override { RzButton1Click(); }  // as "Exit"

 private:
  void BuildSettings();
  AdvancedChoices CurrentChoices() const;
  AdvancedEnvironment Environment() const;
  void ShowCurrentValues();

  // Declared last, so that the controls on the pages go before the pages themselves.
  AdvanceHooks hooks_;
  std::vector<std::unique_ptr<ui::GroupBox>> groups_;  // as SettingGroups()
  std::vector<std::unique_ptr<ui::Label>> labels_;     // as Settings()
  std::vector<std::unique_ptr<ui::ComboBox>> lists_;   // as Settings()
  // Gone before the lists it watches.
  std::unique_ptr<ui::ToolTip> hints_;
};

}  // namespace veltrano
