#include "companions/host_contact.h"

#include <algorithm>
#include <cstring>

namespace veltrano::companions {
namespace {

constexpr char kClassName[] = "VeltranoHostContact";
constexpr UINT kLookupDoneMessage = WM_APP + 1;
constexpr UINT kSocketMessage = WM_APP + 2;
constexpr UINT_PTR kDeadlineTimer = 1;

bool RegisterContactClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSA existing{};
  if (GetClassInfoA(instance, kClassName, &existing)) return true;
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  return RegisterClassA(&windowClass) != 0;
}

ContactOutcome OutcomeOfConnectError(int error) {
  switch (error) {
    case WSAECONNREFUSED:
      return ContactOutcome::kRefused;
    case WSAETIMEDOUT:
      return ContactOutcome::kNoAnswer;
    case WSAENETUNREACH:
    case WSAEHOSTUNREACH:
    case WSAENETDOWN:
      return ContactOutcome::kUnreachable;
    default:
      return ContactOutcome::kFailed;
  }
}

ContactOutcome OutcomeOfLookupError(int error) {
  switch (error) {
    case WSAHOST_NOT_FOUND:
    case WSANO_DATA:
    case WSATRY_AGAIN:
    case WSANO_RECOVERY:
      return ContactOutcome::kHostNotFound;
    default:
      return ContactOutcome::kFailed;
  }
}

}  // namespace

WinsockSession::WinsockSession() {
  WSADATA data{};
  error_ = WSAStartup(MAKEWORD(1, 1), &data);
}

WinsockSession::~WinsockSession() {
  if (error_ == 0) WSACleanup();
}

struct HostContact::Lookup {
  HANDLE request = nullptr;
  char answer[MAXGETHOSTSTRUCT] = {};
};

HostContact::HostContact(HINSTANCE instance) {
  if (!RegisterContactClass(instance, &HostContact::Procedure)) return;
  // A hidden top-level window: message-only windows do not exist before Windows 2000.
  window_ =
      CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (window_) SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

HostContact::~HostContact() {
  Abandon();
  if (window_) {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
  // The system may still write an answer into these buffers after the window is gone:
  // they are left to the end of the process on purpose.
  for (auto& lookup : pendingLookups_) {
    WSACancelAsyncRequest(lookup->request);
    lookup.release();
  }
}

void HostContact::Start(const std::string& host, unsigned port, Finished finished) {
  Abandon();
  host_ = host;
  port_ = port;
  finished_ = std::move(finished);
  if (!window_) return Finish(ContactOutcome::kFailed, WSASYSNOTREADY);

  const unsigned long address = inet_addr(host.c_str());
  if (address != INADDR_NONE) return Connect(address);

  auto lookup = std::make_unique<Lookup>();
  lookup->request = WSAAsyncGetHostByName(window_, kLookupDoneMessage, host.c_str(), lookup->answer,
                                          sizeof lookup->answer);
  if (!lookup->request) return Finish(ContactOutcome::kFailed, WSAGetLastError());
  currentLookup_ = lookup.get();
  pendingLookups_.push_back(std::move(lookup));
  state_ = State::kLookingUp;
  SetTimer(window_, kDeadlineTimer, kLookupTimeoutSeconds * 1000, nullptr);
}

void HostContact::Abandon() {
  if (window_) KillTimer(window_, kDeadlineTimer);
  // A given-up lookup is not cancelled: a cancelled one never sends its answer on
  // Windows, so its buffer could never be freed, and Wine writes the answer into it all
  // the same. Left to run, it always answers, and OnLookupDone frees its buffer.
  currentLookup_ = nullptr;
  CloseSocket();
  state_ = State::kIdle;
  finished_ = nullptr;
}

LRESULT CALLBACK HostContact::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<HostContact*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case kLookupDoneMessage:
      self->OnLookupDone(reinterpret_cast<HANDLE>(wParam), lParam);
      return 0;
    case kSocketMessage:
      self->OnSocketEvent(static_cast<SOCKET>(wParam), lParam);
      return 0;
    case WM_TIMER:
      if (wParam == kDeadlineTimer) self->OnDeadline();
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

void HostContact::OnLookupDone(HANDLE request, LPARAM status) {
  const auto found = std::find_if(pendingLookups_.begin(), pendingLookups_.end(),
                                  [&](const auto& lookup) { return lookup->request == request; });
  if (found == pendingLookups_.end()) return;
  const std::unique_ptr<Lookup> lookup = std::move(*found);
  pendingLookups_.erase(found);
  if (lookup.get() != currentLookup_ || state_ != State::kLookingUp) return;  // given up

  currentLookup_ = nullptr;
  KillTimer(window_, kDeadlineTimer);
  state_ = State::kIdle;
  if (const int error = WSAGETASYNCERROR(status)) return Finish(OutcomeOfLookupError(error), error);

  const auto* entry = reinterpret_cast<const hostent*>(lookup->answer);
  if (!entry->h_addr_list || !entry->h_addr_list[0] || entry->h_length != 4)
    return Finish(ContactOutcome::kHostNotFound, WSANO_DATA);
  unsigned long address = 0;
  std::memcpy(&address, entry->h_addr_list[0], sizeof address);
  Connect(address);
}

void HostContact::Connect(unsigned long address) {
  socket_ = socket(AF_INET, SOCK_STREAM, 0);
  if (socket_ == INVALID_SOCKET) return Finish(ContactOutcome::kFailed, WSAGetLastError());
  // Asking for FD_CONNECT also makes the socket non-blocking.
  if (WSAAsyncSelect(socket_, window_, kSocketMessage, FD_CONNECT) == SOCKET_ERROR) {
    const int error = WSAGetLastError();
    CloseSocket();
    return Finish(ContactOutcome::kFailed, error);
  }
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(static_cast<u_short>(port_));
  target.sin_addr.s_addr = address;
  if (connect(socket_, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) {
    CloseSocket();
    return Finish(ContactOutcome::kConnected, 0);
  }
  const int error = WSAGetLastError();
  if (error != WSAEWOULDBLOCK) {
    CloseSocket();
    return Finish(OutcomeOfConnectError(error), error);
  }
  state_ = State::kConnecting;
  SetTimer(window_, kDeadlineTimer, kConnectTimeoutSeconds * 1000, nullptr);
}

void HostContact::OnSocketEvent(SOCKET socket, LPARAM event) {
  if (state_ != State::kConnecting || socket != socket_) return;  // a closed socket's news
  if (WSAGETSELECTEVENT(event) != FD_CONNECT) return;
  KillTimer(window_, kDeadlineTimer);
  CloseSocket();
  state_ = State::kIdle;
  const int error = WSAGETSELECTERROR(event);
  Finish(error == 0 ? ContactOutcome::kConnected : OutcomeOfConnectError(error), error);
}

void HostContact::OnDeadline() {
  KillTimer(window_, kDeadlineTimer);
  const State given = state_;
  if (given == State::kIdle) return;
  currentLookup_ = nullptr;  // its buffer goes with its answer, as in Abandon
  CloseSocket();
  state_ = State::kIdle;
  Finish(given == State::kLookingUp ? ContactOutcome::kLookupTimedOut : ContactOutcome::kNoAnswer,
         WSAETIMEDOUT);
}

void HostContact::CloseSocket() {
  if (socket_ == INVALID_SOCKET) return;
  closesocket(socket_);
  socket_ = INVALID_SOCKET;
  // News of the closed socket still queued must not be taken for that of the next one,
  // which may get the same handle.
  MSG stale;
  while (PeekMessageA(&stale, window_, kSocketMessage, kSocketMessage, PM_REMOVE)) {
  }
}

void HostContact::Finish(ContactOutcome outcome, int error) {
  state_ = State::kIdle;
  // Taken out first: the report may start the next contact.
  Finished finished = std::move(finished_);
  finished_ = nullptr;
  if (finished) finished(outcome, error);
}

}  // namespace veltrano::companions
