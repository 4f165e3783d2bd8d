#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/launcher.h"
#include "platform/single_instance.h"

namespace veltrano {
namespace {

TEST(Launcher, AnObserverSeesEveryLaunchUntilItIsRemoved) {
  std::vector<std::string> seen;
  SetLaunchObserver(
      [&](const std::string& file, const std::string& parameters, const std::string& directory) {
        seen.push_back(file + "|" + parameters + "|" + directory);
      });
  TBUExecute starter;
  starter.exec("VadiVazar.Exe", "", "C:\\Program Files\\Veltrano\\");
  starter.exec("unins000.exe", "", "C:\\P\\");
  SetLaunchObserver(nullptr);
  starter.exec("Update.Exe", "", "C:\\P\\");  // the real launcher, which has nothing to start here
  EXPECT_EQ(seen, (std::vector<std::string>{"VadiVazar.Exe||C:\\Program Files\\Veltrano\\",
                                            "unins000.exe||C:\\P\\"}));
}

TEST(SingleInstance, MutexNamesJoinTheTitleWithoutSpaces) {
  EXPECT_EQ(CriticalSectionMutexName("Veltrano v2.11"),
            "Veltrano v2.11.OneInstance.CriticalSection");
  EXPECT_EQ(DefaultMutexName("Veltrano v2.11"), "Veltrano v2.11.OneInstance.Default");
}

TEST(SingleInstance, OneHolderPerTitleUntilItEnds) {
  auto first = std::make_unique<TabfOneInstance>();
  ASSERT_TRUE(first->Acquire("Native single instance"));
  {
    TabfOneInstance second;
    EXPECT_FALSE(second.Acquire("Native single instance"));
    TabfOneInstance other;
    EXPECT_TRUE(other.Acquire("Another title"));
  }
  first.reset();
  TabfOneInstance third;
  EXPECT_TRUE(third.Acquire("Native single instance"));
}

}  // namespace
}  // namespace veltrano
