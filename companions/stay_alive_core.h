// The parts of "Stay Alive" that need no window: checking what the user typed, the
// texts that report a contact, and the settings kept under the program's own key.
#pragma once

#include <string>

#include "platform/registry_api.h"

namespace veltrano::companions {

inline constexpr unsigned kMinMinutes = 1;
inline constexpr unsigned kMaxMinutes = 60;
inline constexpr unsigned kMaxPort = 65535;
// A connection that has not been answered by then is given up; so is a name lookup.
inline constexpr unsigned kConnectTimeoutSeconds = 5;
inline constexpr unsigned kLookupTimeoutSeconds = 10;

struct StayAliveSettings {
  std::string host;
  unsigned port = 80;
  unsigned minutes = 5;
};

enum class InputField { kNone, kHost, kPort, kMinutes };

struct CheckedInput {
  bool ok = false;
  StayAliveSettings settings;
  std::string problem;                   // what to tell the user when !ok
  InputField field = InputField::kNone;  // the field to put right
};

// Host name or dotted address, port 1..65535 and minutes 1..60, as typed; blanks
// around each field are ignored.
CheckedInput CheckInput(const std::string& host, const std::string& port,
                        const std::string& minutes);

enum class ContactOutcome {
  kConnected,       // a TCP connection was opened (and closed again)
  kHostNotFound,    // the name server knows no such name
  kLookupTimedOut,  // the name server did not answer in time
  kNoAnswer,        // the host did not answer in time
  kRefused,         // nothing listens on that port
  kUnreachable,     // no route to the host or its network
  kFailed,          // any other Windows Sockets error
};

std::string ContactingText(const std::string& host, unsigned port);
// `error` is the Windows Sockets error code, shown only for kFailed.
std::string ContactResultText(ContactOutcome outcome, const std::string& host, unsigned port,
                              int error);

// Value names under ProgramKey.
inline constexpr char kHostValue[] = "StayAliveHost";
inline constexpr char kPortValue[] = "StayAlivePort";
inline constexpr char kMinutesValue[] = "StayAliveMinutes";

// The saved settings; missing or broken values keep their defaults. Reads only, so a
// user without write rights still gets them.
StayAliveSettings LoadStayAliveSettings(RegistryApi& registry, const std::string& programKey);
// Writes the settings under programKey (created when missing). Returns "" on success,
// otherwise the text to show; never raises.
std::string SaveStayAliveSettings(RegistryApi& registry, const std::string& programKey,
                                  const StayAliveSettings& settings);

}  // namespace veltrano::companions
