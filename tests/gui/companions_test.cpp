// The companion programs under Wine: Stay Alive's contact through this program's
// message loop against local ports of the test's own, then Stay Alive and Update as a
// user starts them, driven through their windows.
#include <gtest/gtest.h>

#include <windows.h>
#include <winsock.h>

#include <string>

#include "companions/host_contact.h"
#include "companions/stay_alive_core.h"
#include "companions/stay_alive_resource.h"
#include "companions/update_resource.h"
#include "gui_support.h"
#include "support/child_program.h"
#include "support/wine_harness.h"

namespace {

using namespace veltrano::companions;
using veltrano::kHkeyLocalMachine;

// The test program runs as a Windows newer than XP, which takes the 9x spelling; the
// registry ignores case anyway.
constexpr char kProgramKey[] = "Software\\QuarnSoft\\Veltrano";

// A TCP port on 127.0.0.1 of this process: listening, the system completes connections
// in its backlog without an accept; only bound, connections to it are refused.
class LocalPort {
 public:
  explicit LocalPort(bool listening) : socket_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    int length = sizeof address;
    if (socket_ == INVALID_SOCKET ||
        bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        (listening && listen(socket_, 8) != 0))
      return;
    port_ = ntohs(address.sin_port);
  }
  ~LocalPort() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
  }
  LocalPort(const LocalPort&) = delete;
  LocalPort& operator=(const LocalPort&) = delete;
  unsigned Port() const { return port_; }

 private:
  SOCKET socket_;
  unsigned port_ = 0;
};

TEST(StayAliveContact, EachOutcomeArrivesThroughTheMessageLoopWithItsText) {
  WinsockSession winsock;
  ASSERT_TRUE(winsock.Started()) << winsock.Error();
  LocalPort listening(true);
  LocalPort closed(false);
  ASSERT_NE(listening.Port(), 0u);
  ASSERT_NE(closed.Port(), 0u);
  const std::string open = std::to_string(listening.Port());
  const std::string shut = std::to_string(closed.Port());

  struct Case {
    std::string host;
    unsigned port;
    std::string text;
  };
  const Case cases[] = {
      {"127.0.0.1", listening.Port(), "Connected to 127.0.0.1:" + open + "."},
      {"localhost", listening.Port(), "Connected to localhost:" + open + "."},
      {"127.0.0.1", closed.Port(), "Connection refused by 127.0.0.1:" + shut + "."},
      {"no-such-host.invalid", 80, "Cannot find the host name 'no-such-host.invalid'."},
  };
  HostContact contact(GetModuleHandleA(nullptr));
  for (const Case& c : cases) {
    int reports = 0;
    std::string text;
    contact.Start(c.host, c.port, [&](ContactOutcome outcome, int error) {
      ++reports;
      text = ContactResultText(outcome, c.host, c.port, error);
    });
    ASSERT_TRUE(gui_support::PumpUntil([&] { return reports > 0; }, 3000)) << c.host;
    gui_support::PumpPending();
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(reports, 1) << c.host;
    EXPECT_FALSE(contact.Busy()) << c.host;
  }
}

// A companion program started from the build's bin folder, ended at the latest with
// the object.
class Companion : public test_support::ChildProgram {
 public:
  explicit Companion(const std::string& fileName)
      : ChildProgram(wine_harness::BinDir() + "\\" + fileName, "", wine_harness::BinDir()) {}
  // The program's visible dialog with that caption, waiting for it to appear.
  HWND WaitForDialog(const char* caption) const { return WaitForWindow("#32770", caption); }
};

std::string ItemText(HWND dialog, int id) {
  char text[512] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);  // WM_GETTEXT, also across processes
  return text;
}

// Waits until the item shows `expected`, and returns what it shows then.
std::string WaitForItemText(HWND dialog, int id, const std::string& expected) {
  for (int round = 0; round < 300 && ItemText(dialog, id) != expected; ++round) Sleep(100);
  return ItemText(dialog, id);
}

void Click(HWND dialog, int id) {
  SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

class StayAliveProgram : public ::testing::Test {
 protected:
  void SetUp() override { ForgetSettings(); }
  void TearDown() override { ForgetSettings(); }
  static void ForgetSettings() {
    for (const char* name : {kHostValue, kPortValue, kMinutesValue})
      wine_harness::DeleteValue(kHkeyLocalMachine, kProgramKey, name);
  }
};

TEST_F(StayAliveProgram, ContactsTheHostReportsEachResultAndRemembersTheSettings) {
  WinsockSession winsock;
  ASSERT_TRUE(winsock.Started());
  LocalPort listening(true);
  LocalPort closed(false);
  const std::string open = std::to_string(listening.Port());
  const std::string shut = std::to_string(closed.Port());
  {
    Companion program("VadiVazar.Exe");
    const HWND window = program.WaitForDialog(STAY_ALIVE_CAPTION);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(ItemText(window, IDC_STATUS), "Stopped.");

    SetDlgItemTextA(window, IDC_HOST, "127.0.0.1");
    SetDlgItemTextA(window, IDC_PORT, "0");
    Click(window, IDC_START);
    EXPECT_EQ(ItemText(window, IDC_RESULT), "Please enter a port from 1 to 65535.");
    EXPECT_EQ(ItemText(window, IDC_STATUS), "Stopped.");

    SetDlgItemTextA(window, IDC_PORT, open.c_str());
    SetDlgItemTextA(window, IDC_MINUTES, "1");
    Click(window, IDC_START);
    const std::string connected = "Connected to 127.0.0.1:" + open + ".";
    EXPECT_EQ(WaitForItemText(window, IDC_RESULT, connected), connected);
    EXPECT_EQ(ItemText(window, IDC_STATUS), "Running: a contact every minute.");
    EXPECT_NE(ItemText(window, IDC_LAST_TIME), "None yet.");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_HOST)));
    EXPECT_EQ(ItemText(window, IDC_NOTE), "");
    EXPECT_EQ(wine_harness::ReadText(kHkeyLocalMachine, kProgramKey, kHostValue), "127.0.0.1");
    EXPECT_EQ(wine_harness::ReadText(kHkeyLocalMachine, kProgramKey, kPortValue), open);
    EXPECT_EQ(wine_harness::ReadText(kHkeyLocalMachine, kProgramKey, kMinutesValue), "1");

    Click(window, IDC_STOP);
    EXPECT_EQ(ItemText(window, IDC_STATUS), "Stopped.");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_HOST)));
    SetDlgItemTextA(window, IDC_PORT, shut.c_str());
    Click(window, IDC_START);
    const std::string refused = "Connection refused by 127.0.0.1:" + shut + ".";
    EXPECT_EQ(WaitForItemText(window, IDC_RESULT, refused), refused);

    Click(window, IDCANCEL);
    EXPECT_EQ(program.WaitForExit(), 0);
  }
  Companion again("VadiVazar.Exe");
  const HWND window = again.WaitForDialog(STAY_ALIVE_CAPTION);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(ItemText(window, IDC_HOST), "127.0.0.1");
  EXPECT_EQ(ItemText(window, IDC_PORT), shut);
  EXPECT_EQ(ItemText(window, IDC_MINUTES), "1");
  Click(window, IDCANCEL);
  EXPECT_EQ(again.WaitForExit(), 0);
}

TEST_F(StayAliveProgram, WithoutWriteAccessItSaysSoAndStillContacts) {
  WinsockSession winsock;
  LocalPort listening(true);
  const std::string open = std::to_string(listening.Port());
  wine_harness::ScopedWriteDenial denial(kHkeyLocalMachine, kProgramKey);
  ASSERT_TRUE(denial.Active());
  Companion program("VadiVazar.Exe");
  const HWND window = program.WaitForDialog(STAY_ALIVE_CAPTION);
  ASSERT_NE(window, nullptr);
  SetDlgItemTextA(window, IDC_HOST, "127.0.0.1");
  SetDlgItemTextA(window, IDC_PORT, open.c_str());
  Click(window, IDC_START);
  const std::string connected = "Connected to 127.0.0.1:" + open + ".";
  EXPECT_EQ(WaitForItemText(window, IDC_RESULT, connected), connected);
  EXPECT_EQ(ItemText(window, IDC_NOTE),
            "Your settings could not be saved: no write access to "
            "HKEY_LOCAL_MACHINE\\SOFTWARE\\QuarnSoft\\Veltrano.");
  EXPECT_EQ(wine_harness::ReadText(kHkeyLocalMachine, kProgramKey, kHostValue), std::nullopt);
  Click(window, IDCANCEL);
  EXPECT_EQ(program.WaitForExit(), 0);
}

TEST(UpdateProgram, ShowsTheVersionOfItsOwnResource) {
  Companion program("Update.Exe");
  const HWND window = program.WaitForDialog(UPDATE_CAPTION);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(ItemText(window, IDC_VERSION), "2.11");
  EXPECT_EQ(ItemText(window, IDC_ADDRESS), DOWNLOAD_PAGE);
  Click(window, IDCANCEL);
  EXPECT_EQ(program.WaitForExit(), 0);
}

}  // namespace
