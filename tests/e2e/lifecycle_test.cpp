// The whole life of an installation, under emulated Windows 98 and 2000: installed
// silently, a 56k modem optimization through the wizard, then a cable/xDSL one, then
// removal from the system's list. Afterwards nothing of the program is left, the ports
// are back at 9600 with every other INI line as it was, and the values the last
// optimization wrote are gone. The wizard is driven by its texts alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "desktop_driver.h"
#include "installation.h"
#include "support/planned_outcome.h"
#include "support/wine_harness.h"

namespace e2e {
namespace {

namespace wh = wine_harness;
using planned_outcome::Outcome;
using veltrano::kHkeyLocalMachine;

void ExpectLeftAsPlanned(const Outcome& planned) {
  for (const auto& [id, described] : planned) {
    EXPECT_EQ(planned_outcome::Described(id), described)
        << std::get<1>(id) << " " << std::get<2>(id);
  }
}

Outcome AllDeleted(Outcome outcome) {
  for (auto& [id, described] : outcome) described.reset();
  return outcome;
}

class LifeCycle : public Installation {};

TEST_F(LifeCycle, InstallOptimizeTwiceAndRemoveUnderWindows98And2000) {
  const struct {
    const char* version;
    const char* suffix;  // the profile family the program picks there
  } systems[] = {{"win98", ""}, {"win2k", "2k"}};
  for (const auto& system : systems) {
    SCOPED_TRACE(system.version);
    Scrub();
    ASSERT_TRUE(wh::SetEmulatedWindowsVersion("Veltrano.exe", system.version));
    if (std::string(system.suffix).empty()) {
      // A real Windows 9x keeps SystemRoot here too.
      ASSERT_TRUE(wh::PutText(kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                              "SystemRoot", wh::WindowsDir()));
    }
    const auto winIniLines = NonPortLines("win.ini");
    const auto systemIniLines = NonPortLines("system.ini");
    ASSERT_EQ(InstallSilently(), 0);
    const std::string suffix = system.suffix;
    const Outcome modem = planned_outcome::PlannedOutcome(
        Installed("VLO\\modem56k" + suffix + ".vlo"), veltrano::ScriptMode::kWrite);
    const Outcome cable = planned_outcome::PlannedOutcome(
        Installed("VLO\\lanisdn" + suffix + ".vlo"), veltrano::ScriptMode::kWrite);
    ASSERT_FALSE(modem.empty());
    ASSERT_FALSE(cable.empty());

    const std::string shot = std::string("lifecycle-") + system.version;
    OptimizeThroughWizard({"Modem", "56kflex , V.90 , V.92"}, true, shot + "-type1");
    EXPECT_EQ(wh::ReadText(kHkeyLocalMachine, kProgramKey, "LastOptim"), "1");
    ExpectAllPorts("921600,n,8,1,p");
    ExpectLeftAsPlanned(modem);

    OptimizeThroughWizard({"Cable , xDSL", "Normal"}, false, shot + "-type3");
    EXPECT_EQ(wh::ReadText(kHkeyLocalMachine, kProgramKey, "LastOptim"), "3");
    ExpectAllPorts("921600,n,8,1,p");
    Outcome expected = AllDeleted(modem);  // undone by the chained defaults run
    for (const auto& [id, described] : cable) expected[id] = described;
    ExpectLeftAsPlanned(expected);

    RemoveFromProgramList([] {}, shot);
    ExpectNothingLeft();
    ExpectAllPorts("9600,n,8,1,x");
    EXPECT_EQ(NonPortLines("win.ini"), winIniLines);
    EXPECT_EQ(NonPortLines("system.ini"), systemIniLines);
    ExpectLeftAsPlanned(AllDeleted(expected));
  }
}

}  // namespace
}  // namespace e2e
