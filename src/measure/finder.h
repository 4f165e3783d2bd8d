// The path finder: the round trip to a host and the largest packet the path carries
// without fragmenting, from Don't-Fragment echoes. Between probes it asks whether to
// stop, which is where a window lets its messages run.
#pragma once

#include <functional>
#include <string>

#include "measure/echo.h"

namespace veltrano {

inline constexpr int kIpIcmpHeaderBytes = 28;  // the IPv4 and ICMP headers of an echo
inline constexpr int kSmallestProbe = 40;
inline constexpr int kRoundTripEchoes = 5;
inline constexpr int kRoundTripPayload = 32;
inline constexpr unsigned kProbeTimeoutMs = 1000;

struct Probe {
  int payload = 0;
  EchoStatus status = EchoStatus::kNoAnswer;
  unsigned roundTripMs = 0;
};

// "1472 bytes: too big", "1372 bytes: fits", "1400 bytes: no answer".
std::string ProbeText(const Probe& probe);

enum class MeasureEnd {
  kDone,
  kNoAnswer,  // not one of the round-trip echoes came back
  kStopped,
};

struct PathMeasurement {
  MeasureEnd end = MeasureEnd::kNoAnswer;
  unsigned roundTripMin = 0, roundTripMedian = 0, roundTripMax = 0;
  int largestPayload = 0;  // the largest ICMP payload that came back whole
  // Sizes above some size got no answer while no router said "too big": a router on the
  // way drops big packets without a word.
  bool blackHole = false;
  int probes = 0;  // echoes sent, retries included
  int Mtu() const { return largestPayload + kIpIcmpHeaderBytes; }
};

struct FinderHooks {
  std::function<bool()> stopRequested;        // asked before every echo
  std::function<void(const Probe&)> onProbe;  // told of every echo's outcome
};

// Measures the path to `address`, searching payloads from kSmallestProbe up to
// `largestPayload` (the adapter's MTU less kIpIcmpHeaderBytes), never above it.
PathMeasurement MeasurePath(EchoApi& echo, Ipv4 address, int largestPayload,
                            const FinderHooks& hooks);

}  // namespace veltrano
