// The narrow seam under the path measurement: a name or dotted address to an IPv4
// address, and one ICMP echo with the Don't-Fragment flag. The Win32 backend sends real
// echoes (icmp.dll or iphlpapi.dll, names through wsock32.dll); tests script the answers.
#pragma once

#include <cstdint>
#include <string>

namespace veltrano {

// An IPv4 address as a number: 10.0.2.2 is 0x0A000202.
using Ipv4 = std::uint32_t;

std::string DottedAddress(Ipv4 address);

enum class EchoStatus {
  kFits,      // the echo came back
  kTooBig,    // a router or the local stack said the packet needs fragmenting (11009)
  kNoAnswer,  // nothing came back within the timeout
};

struct EchoReply {
  EchoStatus status = EchoStatus::kNoAnswer;
  unsigned roundTripMs = 0;  // set for kFits
};

class EchoApi {
 public:
  virtual ~EchoApi() = default;
  // False when the name does not resolve.
  virtual bool Resolve(const std::string& host, Ipv4* address) = 0;
  // One echo of `payloadBytes` bytes of ICMP data with Don't-Fragment set. Raises
  // VeltranoError when the system cannot send echoes at all.
  virtual EchoReply Send(Ipv4 address, int payloadBytes, unsigned timeoutMs) = 0;
};

// The backend of the system the program runs on (Windows only).
EchoApi& SystemEcho();

}  // namespace veltrano
