#include "companions/stay_alive_core.h"

#include <optional>

#include "platform/errors.h"
#include "platform/registry.h"

namespace veltrano::companions {
namespace {

constexpr std::size_t kMaxHostLength = 255;

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// Decimal digits only, within [low, high]; nothing else is a number here.
std::optional<unsigned> NumberIn(const std::string& text, unsigned low, unsigned high) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  unsigned value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

bool IsHostCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_';
}

bool IsValidHost(const std::string& host) {
  if (host.size() > kMaxHostLength || host.front() == '.' || host.find("..") != std::string::npos)
    return false;
  for (const char c : host) {
    if (!IsHostCharacter(c)) return false;
  }
  return true;
}

CheckedInput Problem(InputField field, std::string text) {
  CheckedInput result;
  result.field = field;
  result.problem = std::move(text);
  return result;
}

std::string Endpoint(const std::string& host, unsigned port) {
  return host + ":" + std::to_string(port);
}

}  // namespace

CheckedInput CheckInput(const std::string& host, const std::string& port,
                        const std::string& minutes) {
  const std::string name = Trimmed(host);
  if (name.empty())
    return Problem(InputField::kHost, "Please enter the name or address of a host to contact.");
  if (!IsValidHost(name)) return Problem(InputField::kHost, "'" + name + "' is not a host name.");
  const auto portNumber = NumberIn(Trimmed(port), 1, kMaxPort);
  if (!portNumber) return Problem(InputField::kPort, "Please enter a port from 1 to 65535.");
  const auto minuteCount = NumberIn(Trimmed(minutes), kMinMinutes, kMaxMinutes);
  if (!minuteCount)
    return Problem(InputField::kMinutes, "Please enter a number of minutes from 1 to 60.");

  CheckedInput result;
  result.ok = true;
  result.settings = {name, *portNumber, *minuteCount};
  return result;
}

std::string ContactingText(const std::string& host, unsigned port) {
  return "Contacting " + Endpoint(host, port) + "...";
}

std::string ContactResultText(ContactOutcome outcome, const std::string& host, unsigned port,
                              int error) {
  const std::string endpoint = Endpoint(host, port);
  switch (outcome) {
    case ContactOutcome::kConnected:
      return "Connected to " + endpoint + ".";
    case ContactOutcome::kHostNotFound:
      return "Cannot find the host name '" + host + "'.";
    case ContactOutcome::kLookupTimedOut:
      return "No answer from the name server for '" + host + "' within " +
             std::to_string(kLookupTimeoutSeconds) + " seconds.";
    case ContactOutcome::kNoAnswer:
      return "No answer from " + endpoint + " within " + std::to_string(kConnectTimeoutSeconds) +
             " seconds.";
    case ContactOutcome::kRefused:
      return "Connection refused by " + endpoint + ".";
    case ContactOutcome::kUnreachable:
      return "The network cannot reach " + endpoint + ".";
    case ContactOutcome::kFailed:
      break;
  }
  return "Cannot contact " + endpoint + " (Windows Sockets error " + std::to_string(error) + ").";
}

StayAliveSettings LoadStayAliveSettings(RegistryApi& registry, const std::string& programKey) {
  StayAliveSettings settings;
  try {
    TRegistry store(registry, kKeyRead);
    store.SelectRoot(kHkeyLocalMachine);
    if (!store.OpenPath(programKey, false)) return settings;
    const std::string host = Trimmed(store.ReadText(kHostValue));
    if (!host.empty() && IsValidHost(host)) settings.host = host;
    if (const auto port = NumberIn(store.ReadText(kPortValue), 1, kMaxPort)) settings.port = *port;
    if (const auto minutes = NumberIn(store.ReadText(kMinutesValue), kMinMinutes, kMaxMinutes))
      settings.minutes = *minutes;
  } catch (const VeltranoError&) {
    // An unreadable value keeps its default: the user sees it and can type another.
  }
  return settings;
}

std::string SaveStayAliveSettings(RegistryApi& registry, const std::string& programKey,
                                  const StayAliveSettings& settings) {
  const std::string failure = "Your settings could not be saved";
  try {
    TRegistry store(registry);
    store.SelectRoot(kHkeyLocalMachine);
    if (!store.OpenPath(programKey, true))
      return failure + ": no write access to HKEY_LOCAL_MACHINE" + programKey + ".";
    store.WriteText(kHostValue, settings.host);
    store.WriteText(kPortValue, std::to_string(settings.port));
    store.WriteText(kMinutesValue, std::to_string(settings.minutes));
  } catch (const VeltranoError& error) {
    return failure + ": " + error.what() + ".";
  }
  return "";
}

}  // namespace veltrano::companions
