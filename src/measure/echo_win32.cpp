// Echoes through the ICMP helper functions: iphlpapi.dll on 2000 and later, icmp.dll on
// 95, 98 and NT 4.0 (the same three functions); names through Winsock 1.1 (wsock32.dll,
// which every one of them has).
#include <windows.h>
#include <winsock.h>
// After windows.h.
#include <ipexport.h>

#include <string>
#include <vector>

#include "measure/echo.h"
#include "measure/win32_net.h"
#include "platform/errors.h"
#include "platform/system_root.h"

namespace veltrano {
namespace {

using IcmpCreateFileFunction = HANDLE(WINAPI*)();
using IcmpCloseHandleFunction = BOOL(WINAPI*)(HANDLE);
using IcmpSendEchoFunction = DWORD(WINAPI*)(HANDLE, IPAddr, LPVOID, WORD, PIP_OPTION_INFORMATION,
                                            LPVOID, DWORD, DWORD);
using WsaStartupFunction = int(WINAPI*)(WORD, LPWSADATA);
using InetAddrFunction = unsigned long(WINAPI*)(const char*);
using GetHostByNameFunction = hostent*(WINAPI*)(const char*);

constexpr DWORD kIpStatusBase = 11000;  // the IP_* statuses run from here to 11999
constexpr DWORD kHostUnreachable = 1232;

[[noreturn]] void RaiseEchoFailure() {
  throw VeltranoError("Echo requests cannot be sent: " + SystemLastErrorText());
}

Ipv4 HostOrder(const void* wire) {
  const auto* bytes = static_cast<const unsigned char*>(wire);
  return Ipv4{bytes[0]} << 24 | Ipv4{bytes[1]} << 16 | Ipv4{bytes[2]} << 8 | bytes[3];
}

class Win32Echo : public EchoApi {
 public:
  bool Resolve(const std::string& host, Ipv4* address) override {
    // A name has at most 255 characters; anything longer is no host.
    if (host.empty() || host.size() > 255 || !Winsock()) return false;
    const unsigned long dotted = inetAddr_(host.c_str());
    if (dotted != INADDR_NONE) {
      *address = HostOrder(&dotted);
      return true;
    }
    const hostent* entry = getHostByName_(host.c_str());
    if (!entry || entry->h_addrtype != AF_INET || entry->h_length != 4 || !entry->h_addr_list[0]) {
      return false;
    }
    *address = HostOrder(entry->h_addr_list[0]);
    return true;
  }

  EchoReply Send(Ipv4 address, int payloadBytes, unsigned timeoutMs) override {
    const HANDLE icmp = Handle();
    std::vector<char> request(static_cast<std::size_t>(payloadBytes), 'V');
    // Room for the reply, its data and an ICMP error with the start of the request.
    std::vector<char> reply(sizeof(ICMP_ECHO_REPLY) + request.size() + 64);
    IP_OPTION_INFORMATION options{};
    options.Ttl = 128;
    options.Flags = IP_FLAG_DF;
    const DWORD count =
        send_(icmp, WireAddress(address), request.data(), static_cast<WORD>(request.size()),
              &options, reply.data(), static_cast<DWORD>(reply.size()), timeoutMs);
    const DWORD status =
        count ? reinterpret_cast<const ICMP_ECHO_REPLY*>(reply.data())->Status : GetLastError();
    if (count && status == IP_SUCCESS) {
      return {EchoStatus::kFits,
              reinterpret_cast<const ICMP_ECHO_REPLY*>(reply.data())->RoundTripTime};
    }
    if (status == IP_PACKET_TOO_BIG) return {EchoStatus::kTooBig, 0};
    if (count || (status >= kIpStatusBase && status < kIpStatusBase + 1000) ||
        status == kHostUnreachable) {
      return {EchoStatus::kNoAnswer, 0};
    }
    RaiseEchoFailure();
  }

  ~Win32Echo() override {
    if (handle_ != INVALID_HANDLE_VALUE && close_) close_(handle_);
  }

 private:
  bool Winsock() {
    if (!inetAddr_) {
      const auto startup = wsock32_.Get<WsaStartupFunction>("WSAStartup");
      WSADATA data;
      if (!startup || startup(MAKEWORD(1, 1), &data) != 0) return false;
      inetAddr_ = wsock32_.Get<InetAddrFunction>("inet_addr");
      getHostByName_ = wsock32_.Get<GetHostByNameFunction>("gethostbyname");
      if (!getHostByName_) inetAddr_ = nullptr;
    }
    return inetAddr_ != nullptr;
  }

  HANDLE Handle() {
    if (handle_ != INVALID_HANDLE_VALUE) return handle_;
    // 9x and NT 4.0: icmp.dll; 2000 and later have the functions in iphlpapi.dll too.
    for (const LoadedLibrary* library : {&iphlpapi_, &icmpDll_}) {
      const auto create = library->Get<IcmpCreateFileFunction>("IcmpCreateFile");
      send_ = library->Get<IcmpSendEchoFunction>("IcmpSendEcho");
      close_ = library->Get<IcmpCloseHandleFunction>("IcmpCloseHandle");
      if (!create || !send_ || !close_) continue;
      handle_ = create();
      if (handle_ == INVALID_HANDLE_VALUE) RaiseEchoFailure();
      return handle_;
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    RaiseEchoFailure();
  }

  LoadedLibrary wsock32_{"wsock32.dll"};
  LoadedLibrary iphlpapi_{"iphlpapi.dll"};
  LoadedLibrary icmpDll_{"icmp.dll"};
  InetAddrFunction inetAddr_ = nullptr;
  GetHostByNameFunction getHostByName_ = nullptr;
  IcmpSendEchoFunction send_ = nullptr;
  IcmpCloseHandleFunction close_ = nullptr;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace

EchoApi& SystemEcho() {
  static Win32Echo echo;
  return echo;
}

}  // namespace veltrano
