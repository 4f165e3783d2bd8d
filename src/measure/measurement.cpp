#include "measure/measurement.h"

#include "platform/registry.h"

namespace veltrano {
namespace {

ChangedValue BlackHoleSwitch(AdapterLayout layout, const std::string& system) {
  const std::string services = system + "\\CurrentControlSet\\Services\\";
  if (layout == AdapterLayout::k9x) {
    return {kHkeyLocalMachine, services + "VxD\\MSTCP", "PMTUBlackHoleDetect"};
  }
  return {kHkeyLocalMachine, services + "Tcpip\\Parameters", "EnablePMTUBHDetect"};
}

// The MTU the measurement suggests for the chosen adapter, 0 when it keeps its own.
int SuggestedMtu(const Measurement& measurement) {
  const Adapter* adapter = measurement.Chosen();
  if (!measurement.Measured() || !adapter) return 0;
  const int mtu = measurement.path.Mtu();
  if (mtu < kSmallestWrittenMtu) return 0;
  const bool pathNarrower = static_cast<std::uint32_t>(mtu) < adapter->MtuNow();
  const bool registryOther = adapter->registryMtu && *adapter->registryMtu != std::uint32_t(mtu);
  return pathNarrower || registryOther ? mtu : 0;
}

void WriteValue(RegistryApi& registry, const ChangedValue& target, std::uint32_t value,
                bool asText) {
  TRegistry store(registry);
  store.SelectRoot(target.root);
  if (!store.OpenPath("\\" + target.keyPath, true)) {
    throw ERegistryException("Failed to set data for '" + target.name + "'");
  }
  if (asText) {
    store.WriteText(target.name, std::to_string(value));
  } else {
    store.WriteNumber(target.name, value);
  }
}

std::string RoundTripText(const PathMeasurement& path) {
  std::string text;
  for (const unsigned ms : {path.roundTripMin, path.roundTripMedian, path.roundTripMax}) {
    text += text.empty() ? "" : "/";
    text += std::to_string(ms);
  }
  return text + " ms";
}

}  // namespace

Measurement MeasureHost(const MeasureEnvironment& env, const std::string& host, int userChoice,
                        const FinderHooks& hooks) {
  Measurement measurement;
  measurement.host = host;
  measurement.adapters = FindAdapters(env.registry, env.layout, env.info, env.systemKeyName);
  measurement.resolved = env.echo.Resolve(host, &measurement.address);
  if (!measurement.resolved) return measurement;
  measurement.adapter =
      ChooseAdapter(measurement.adapters, env.info.BestInterface(measurement.address), userChoice);
  const Adapter* adapter = measurement.Chosen();
  const int mtu = static_cast<int>(adapter ? adapter->MtuNow() : kDefaultMtu);
  measurement.path = MeasurePath(env.echo, measurement.address, mtu - kIpIcmpHeaderBytes, hooks);
  return measurement;
}

std::string Measurement::Summary() const {
  if (!resolved) return "The name \"" + host + "\" cannot be found: nothing was measured.";
  const std::string dotted = DottedAddress(address);
  switch (path.end) {
    case MeasureEnd::kStopped:
      return "Stopped: nothing was measured.";
    case MeasureEnd::kNoAnswer:
      return dotted + " did not answer: nothing was measured.";
    case MeasureEnd::kDone:
      break;
  }
  std::string text = "Largest packet " + std::to_string(path.largestPayload) + " bytes: MTU " +
                     std::to_string(path.Mtu()) + ", round trip " + RoundTripText(path) + ".";
  if (path.blackHole) text += " Black hole: larger packets vanish without a word.";
  if (!Chosen()) text += " Choose the adapter that carries this connection.";
  return text;
}

std::string Measurement::AsText() const {
  static const char* const kNames[] = {"Host",           "Address", "Adapter",    "Adapter MTU now",
                                       "Largest packet", "MTU",     "Round trip", "Black hole"};
  const Adapter* chosen = Chosen();
  std::string values[8];
  values[0] = host;
  if (resolved) values[1] = DottedAddress(address);
  if (chosen) {
    values[2] = chosen->name;
    values[3] = chosen->MtuNowText();
  }
  if (Measured()) {
    values[4] = std::to_string(path.largestPayload);
    values[5] = std::to_string(path.Mtu());
    values[6] = RoundTripText(path);
    values[7] = path.blackHole ? "yes" : "no";
  }
  std::string text;
  for (int line = 0; line < 8; ++line) {
    text += kNames[line];
    text += '\t';
    text += values[line];
    text += "\r\n";
  }
  return text;
}

Change MeasuredChange(const Measurement& measurement, AdapterLayout layout,
                      const std::string& systemKeyName) {
  const int mtu = SuggestedMtu(measurement);
  const bool blackHole = measurement.Measured() && measurement.path.blackHole;
  // The change keeps its own copies: it may run after the measurement is gone.
  const ChangedValue mtuValue = mtu ? measurement.Chosen()->mtuValue : ChangedValue{};
  const bool mtuIsText = mtu && measurement.Chosen()->mtuIsText;
  const ChangedValue blackHoleSwitch = BlackHoleSwitch(layout, systemKeyName);
  return [=](RegistryApi& registry, ProfileStringApi&) {
    if (mtu) WriteValue(registry, mtuValue, mtu, mtuIsText);
    if (blackHole) WriteValue(registry, blackHoleSwitch, 1, layout == AdapterLayout::k9x);
  };
}

std::string MeasuredBefore(const Measurement& measurement) {
  const Adapter* adapter = measurement.Chosen();
  return "a measured MTU for " + (adapter ? adapter->name : std::string("no adapter"));
}

ChangePlan PlanMeasured(const MeasureEnvironment& env, const Measurement& measurement) {
  return PlanChange(env.registry, env.ini,
                    MeasuredChange(measurement, env.layout, env.systemKeyName));
}

void ApplyMeasured(const MeasureEnvironment& env, const Measurement& measurement) {
  BackUpAndApply(env.registry, env.ini, env.programDir, MeasuredBefore(measurement),
                 MeasuredChange(measurement, env.layout, env.systemKeyName));
}

std::vector<ChangedValue> MeasureTargets(const std::vector<Adapter>& adapters, AdapterLayout layout,
                                         const std::string& systemKeyName) {
  std::vector<ChangedValue> targets;
  for (const Adapter& adapter : adapters) targets.push_back(adapter.mtuValue);
  targets.push_back(BlackHoleSwitch(layout, systemKeyName));
  return targets;
}

}  // namespace veltrano
