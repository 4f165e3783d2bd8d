#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "platform/single_instance.h"
#include "platform/win32_handle.h"
#include "windows/platform_child_process.h"

namespace veltrano {
namespace {

// Acquire on a thread of its own: a mutex is re-entrant for the thread that holds it,
// so a second instance must be another thread (or process) to be turned away.
bool AcquireElsewhere(const std::string& title) {
  bool acquired = false;
  std::thread([&] {
    TabfOneInstance other;
    acquired = other.Acquire(title);
  }).join();
  return acquired;
}

TEST(SingleInstanceUnderWine, ASecondInstanceIsTurnedAwayWhileTheFirstHolds) {
  const std::string title = "Veltrano single instance test 1";
  auto first = std::make_unique<TabfOneInstance>();
  ASSERT_TRUE(first->Acquire(title));
  EXPECT_FALSE(AcquireElsewhere(title));
  EXPECT_EQ(platform_child::RunChild("acquire-refused:" + title), 0);
  EXPECT_TRUE(AcquireElsewhere("Veltrano single instance test other title"));
  first.reset();
  EXPECT_TRUE(AcquireElsewhere(title));
  EXPECT_EQ(platform_child::RunChild("acquire-granted:" + title), 0);
}

TEST(SingleInstanceUnderWine, AnAbandonedDefaultMutexCountsAsFree) {
  const std::string title = "Veltrano single instance test 2";
  // A thread takes the mutex and ends without releasing it, as a crashed instance would;
  // the handle outlives the thread so that the mutex does too.
  UniqueHandle abandoned;
  std::thread([&] {
    *abandoned.Receive() = CreateMutexA(nullptr, FALSE, DefaultMutexName(title).c_str());
    ASSERT_TRUE(abandoned);
    ASSERT_EQ(WaitForSingleObject(abandoned.Get(), 0), WAIT_OBJECT_0);
  }).join();
  EXPECT_TRUE(AcquireElsewhere(title));
  TabfOneInstance guard;
  EXPECT_TRUE(guard.Acquire(title));
}

TEST(SingleInstanceUnderWine, AStartInTheMiddleOfAnotherChecksCountsAsAnotherInstance) {
  const std::string title = "Veltrano single instance test 3";
  {
    const UniqueHandle checking(
        CreateMutexA(nullptr, TRUE, CriticalSectionMutexName(title).c_str()));
    ASSERT_TRUE(checking);
    EXPECT_FALSE(AcquireElsewhere(title));
    ReleaseMutex(checking.Get());
  }
  // The interrupted check left nothing behind.
  EXPECT_TRUE(AcquireElsewhere(title));
}

TEST(SingleInstanceUnderWine, TheHolderReleasesBothMutexesAtItsEnd) {
  const std::string title = "Veltrano single instance test 4";
  {
    TabfOneInstance guard;
    ASSERT_TRUE(guard.Acquire(title));
    // The check's own mutex is gone once the check is over.
    const UniqueHandle probe(
        OpenMutexA(SYNCHRONIZE, FALSE, CriticalSectionMutexName(title).c_str()));
    EXPECT_FALSE(probe);
  }
  const UniqueHandle after(OpenMutexA(SYNCHRONIZE, FALSE, DefaultMutexName(title).c_str()));
  EXPECT_FALSE(after);
}

}  // namespace
}  // namespace veltrano
