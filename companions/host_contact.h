// One contact with a host: the name is looked up and a TCP connection opened and
// closed again, all without blocking the thread. Windows Sockets 1.1 (wsock32.dll)
// reports each step as a message to a hidden window of this object, so the outcome
// arrives through the thread's message loop; timers bound every step.
#pragma once

#include <windows.h>
#include <winsock.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "companions/stay_alive_core.h"

namespace veltrano::companions {

// WSAStartup for version 1.1 for the life of the object.
class WinsockSession {
 public:
  WinsockSession();
  ~WinsockSession();
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;
  bool Started() const { return error_ == 0; }
  int Error() const { return error_; }

 private:
  int error_;
};

class HostContact {
 public:
  // `error` is the Windows Sockets error code behind the outcome (0 on success).
  using Finished = std::function<void(ContactOutcome outcome, int error)>;

  explicit HostContact(HINSTANCE instance);
  ~HostContact();
  HostContact(const HostContact&) = delete;
  HostContact& operator=(const HostContact&) = delete;

  // Starts a contact; one still running is abandoned first. `finished` runs exactly
  // once, from the message loop (or at once when the contact cannot even start),
  // unless the contact is abandoned.
  void Start(const std::string& host, unsigned port, Finished finished);
  // Gives up the running contact without reporting it.
  void Abandon();
  bool Busy() const { return state_ != State::kIdle; }

 private:
  enum class State { kIdle, kLookingUp, kConnecting };
  struct Lookup;

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnLookupDone(HANDLE request, LPARAM status);
  void OnSocketEvent(SOCKET socket, LPARAM event);
  void OnDeadline();
  void Connect(unsigned long address);
  void CloseSocket();
  void Finish(ContactOutcome outcome, int error);

  HWND window_ = nullptr;
  State state_ = State::kIdle;
  std::string host_;
  unsigned port_ = 0;
  Finished finished_;
  SOCKET socket_ = INVALID_SOCKET;
  Lookup* currentLookup_ = nullptr;
  // Lookups whose answers are still due: the system writes into their buffers until it
  // posts the answer, also after a lookup has been given up; each goes with its answer.
  std::vector<std::unique_ptr<Lookup>> pendingLookups_;
};

}  // namespace veltrano::companions
