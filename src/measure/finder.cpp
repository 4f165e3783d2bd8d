#include "measure/finder.h"

#include <algorithm>

namespace veltrano {

std::string DottedAddress(Ipv4 address) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    text += std::to_string((address >> shift) & 0xFF);
    if (shift) text += '.';
  }
  return text;
}

std::string ProbeText(const Probe& probe) {
  static const char* const kOutcomes[] = {"fits", "too big", "no answer"};
  return std::to_string(probe.payload) + " bytes: " + kOutcomes[static_cast<int>(probe.status)];
}

namespace {

class Finder {
 public:
  Finder(EchoApi& echo, Ipv4 address, const FinderHooks& hooks, PathMeasurement& result)
      : echo_(echo), address_(address), hooks_(hooks), result_(result) {}

  // Whether any of the round trip's echoes came back.
  bool Answered() const { return answered_; }

  // False when asked to stop before the echo went out.
  bool Send(int payload, EchoReply& reply) {
    if (hooks_.stopRequested && hooks_.stopRequested()) return false;
    reply = echo_.Send(address_, payload, kProbeTimeoutMs);
    ++result_.probes;
    if (hooks_.onProbe) hooks_.onProbe({payload, reply.status, reply.roundTripMs});
    return true;
  }

  bool MeasureRoundTrip() {
    unsigned times[kRoundTripEchoes];
    int answered = 0;
    for (int echo = 0; echo < kRoundTripEchoes; ++echo) {
      EchoReply reply;
      if (!Send(kRoundTripPayload, reply)) return false;
      if (reply.status != EchoStatus::kFits) continue;
      // Kept in order as they come: five values need no sorting library.
      int at = answered++;
      for (; at > 0 && times[at - 1] > reply.roundTripMs; --at) times[at] = times[at - 1];
      times[at] = reply.roundTripMs;
    }
    answered_ = answered > 0;
    if (!answered_) return true;
    result_.roundTripMin = times[0];
    result_.roundTripMedian = times[answered / 2];
    result_.roundTripMax = times[answered - 1];
    return true;
  }

  // A lost echo is sent once more; two silences count as too big, told apart from a
  // router's "too big" for the black-hole verdict.
  bool Fits(int payload, bool& fits) {
    EchoReply reply;
    if (!Send(payload, reply)) return false;
    if (reply.status == EchoStatus::kNoAnswer && !Send(payload, reply)) return false;
    fits = reply.status == EchoStatus::kFits;
    sawTooBig_ = sawTooBig_ || reply.status == EchoStatus::kTooBig;
    silentAbove_ = silentAbove_ || reply.status == EchoStatus::kNoAnswer;
    return true;
  }

  // The largest payload between the round trip's and `largest` that comes back: the
  // largest first, as most paths carry the adapter's MTU, then halving the gap.
  bool SearchLargest(int largest) {
    int fitting = kRoundTripPayload;
    int tooBig = largest + 1;
    int next = largest;
    while (tooBig - fitting > 1) {
      bool fits = false;
      if (!Fits(next, fits)) return false;
      (fits ? fitting : tooBig) = next;
      next = (fitting + tooBig) / 2;
      if (next < kSmallestProbe) {
        if (tooBig <= kSmallestProbe) break;  // the round trip's 32 bytes stand
        next = kSmallestProbe;
      }
    }
    result_.largestPayload = fitting;
    result_.blackHole = silentAbove_ && !sawTooBig_;
    return true;
  }

 private:
  EchoApi& echo_;
  Ipv4 address_;
  const FinderHooks& hooks_;
  PathMeasurement& result_;
  bool answered_ = false;
  bool sawTooBig_ = false;
  bool silentAbove_ = false;
};

}  // namespace

PathMeasurement MeasurePath(EchoApi& echo, Ipv4 address, int largestPayload,
                            const FinderHooks& hooks) {
  PathMeasurement result;
  Finder finder(echo, address, hooks, result);
  result.end = MeasureEnd::kStopped;
  if (!finder.MeasureRoundTrip()) return result;
  if (!finder.Answered()) {
    result.end = MeasureEnd::kNoAnswer;
    return result;
  }
  if (!finder.SearchLargest(std::max(largestPayload, kSmallestProbe))) return result;
  result.end = MeasureEnd::kDone;
  return result;
}

}  // namespace veltrano
