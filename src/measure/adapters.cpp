#include "measure/adapters.h"

#include <cctype>
#include <cstring>

#include "engine/backup.h"

namespace veltrano {
namespace {

// A key opened for reading for the object's life; every read of a missing key or value
// comes back empty.
class ReadKey {
 public:
  ReadKey(RegistryApi& api, RegKey parent, const std::string& path);
  ~ReadKey();
  ReadKey(const ReadKey&) = delete;
  ReadKey& operator=(const ReadKey&) = delete;

  RegKey Get() const { return key_; }
  // REG_SZ, or the first string of a REG_MULTI_SZ, cut at its first zero.
  std::string Text(const std::string& name) const;
  // A REG_DWORD, or a REG_SZ of decimal digits (as 9x keeps its numbers).
  std::optional<std::uint32_t> Number(const std::string& name) const;
  bool Has(const std::string& name) const;
  std::vector<std::string> SubKeys() const;

 private:
  std::string Raw(const std::string& name, std::uint32_t* type) const;

  RegistryApi& api_;
  RegKey key_ = 0;
};

ReadKey::ReadKey(RegistryApi& api, RegKey parent, const std::string& path) : api_(api) {
  if (parent == 0 || api_.OpenKey(parent, path, kKeyRead, &key_) != kErrorSuccess) key_ = 0;
}

ReadKey::~ReadKey() {
  if (key_) api_.CloseKey(key_);
}

std::string ReadKey::Text(const std::string& name) const {
  std::uint32_t type = 0;
  std::string data = Raw(name, &type);
  if (type != kRegSz && type != kRegExpandSz && type != kRegMultiSz) return "";
  return data.substr(0, data.find('\0'));
}

std::optional<std::uint32_t> ReadKey::Number(const std::string& name) const {
  std::uint32_t type = 0;
  const std::string data = Raw(name, &type);
  if (type == kRegDword && data.size() == 4) {
    std::uint32_t value = 0;
    std::memcpy(&value, data.data(), 4);
    return value;
  }
  const std::string text = Text(name);
  if (text.empty() || text.size() > 9) return std::nullopt;
  std::uint32_t value = 0;
  for (const char digit : text) {
    if (!std::isdigit(static_cast<unsigned char>(digit))) return std::nullopt;
    value = value * 10 + static_cast<std::uint32_t>(digit - '0');
  }
  return value;
}

bool ReadKey::Has(const std::string& name) const {
  return key_ && api_.QueryValue(key_, name, nullptr, nullptr, nullptr) == kErrorSuccess;
}

std::vector<std::string> ReadKey::SubKeys() const {
  std::vector<std::string> names;
  std::string name;
  for (std::uint32_t index = 0; key_ && api_.EnumKey(key_, index, &name) == kErrorSuccess;
       ++index) {
    names.push_back(name);
  }
  return names;
}

std::string ReadKey::Raw(const std::string& name, std::uint32_t* type) const {
  std::uint32_t size = 0;
  if (!key_ || api_.QueryValue(key_, name, type, nullptr, &size) != kErrorSuccess) return "";
  if (size > 4096) return "";  // no value this reads is larger
  std::string data(size, '\0');
  if (api_.QueryValue(key_, name, type, reinterpret_cast<std::uint8_t*>(data.data()), &size) !=
      kErrorSuccess) {
    return "";
  }
  data.resize(size);
  return data;
}

// A key name taken from a value must name one key: no path walks out of where it is meant.
bool IsPlainKeyName(const std::string& name) {
  return !name.empty() && name.find('\\') == std::string::npos;
}

std::string UsableAddress(const std::string& address) {
  return address == "0.0.0.0" ? "" : address;
}

std::vector<Adapter> Nt5Adapters(RegistryApi& registry, AdapterInfoApi& info,
                                 const std::string& system) {
  std::vector<Adapter> adapters;
  for (const SystemAdapter& found : info.Adapters()) {
    if (!IsPlainKeyName(found.name)) continue;
    Adapter adapter;
    adapter.name = found.description.empty() ? found.name : found.description;
    adapter.address = UsableAddress(found.address);
    adapter.systemMtu = found.mtu;
    adapter.interfaceIndex = found.index;
    adapter.mtuValue = {
        kHkeyLocalMachine,
        system + "\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\" + found.name,
        "MTU"};
    adapter.registryMtu =
        ReadKey(registry, kHkeyLocalMachine, adapter.mtuValue.keyPath).Number("MTU");
    adapters.push_back(adapter);
  }
  return adapters;
}

std::vector<Adapter> Nt4Adapters(RegistryApi& registry, const std::string& system) {
  std::vector<Adapter> adapters;
  const ReadKey cards(registry, kHkeyLocalMachine,
                      "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards");
  for (const std::string& card : cards.SubKeys()) {
    const ReadKey entry(registry, cards.Get(), card);
    const std::string service = entry.Text("ServiceName");
    if (!IsPlainKeyName(service)) continue;
    Adapter adapter;
    adapter.name = entry.Text("Description");
    if (adapter.name.empty()) adapter.name = service;
    adapter.mtuValue = {
        kHkeyLocalMachine,
        system + "\\CurrentControlSet\\Services\\" + service + "\\Parameters\\Tcpip", "MTU"};
    const ReadKey tcpip(registry, kHkeyLocalMachine, adapter.mtuValue.keyPath);
    adapter.registryMtu = tcpip.Number("MTU");
    adapter.address = UsableAddress(tcpip.Text("IPAddress"));
    if (adapter.address.empty()) adapter.address = UsableAddress(tcpip.Text("DhcpIPAddress"));
    adapters.push_back(adapter);
  }
  return adapters;
}

// The part of a "Kind\name" reference after its kind, "" when it names another kind.
std::string Referenced(const std::string& reference, const std::string& kind) {
  const std::string prefix = kind + "\\";
  if (FoldCase(reference.substr(0, prefix.size())) != FoldCase(prefix)) return "";
  const std::string name = reference.substr(prefix.size());
  return IsPlainKeyName(name) ? name : "";
}

// 9x: Enum\<bus>\<device>\<instance> keys of network adapters (Driver "Net\<m>").
struct NetDevice {
  std::string driver;  // "Net\0000"
  std::string path;    // "Enum\ROOT\NET\0000", for reading its Bindings
};

std::vector<NetDevice> NetDevices(RegistryApi& registry, const std::string& enumPath) {
  std::vector<NetDevice> devices;
  const ReadKey enumKey(registry, kHkeyLocalMachine, enumPath);
  for (const std::string& bus : enumKey.SubKeys()) {
    const ReadKey busKey(registry, enumKey.Get(), bus);
    for (const std::string& device : busKey.SubKeys()) {
      const ReadKey deviceKey(registry, busKey.Get(), device);
      for (const std::string& instance : deviceKey.SubKeys()) {
        const std::string driver = ReadKey(registry, deviceKey.Get(), instance).Text("Driver");
        if (Referenced(driver, "Net").empty()) continue;
        devices.push_back({driver, enumPath + "\\" + bus + "\\" + device + "\\" + instance});
      }
    }
  }
  return devices;
}

std::vector<Adapter> Win9xAdapters(RegistryApi& registry, const std::string& system) {
  const std::string classPath = system + "\\CurrentControlSet\\Services\\Class\\";
  std::vector<Adapter> adapters;
  const ReadKey mstcp(registry, kHkeyLocalMachine, "Enum\\Network\\MSTCP");
  const std::vector<NetDevice> devices = NetDevices(registry, "Enum");
  for (const std::string& instance : mstcp.SubKeys()) {
    const std::string binding =
        Referenced(ReadKey(registry, mstcp.Get(), instance).Text("Driver"), "NetTrans");
    if (binding.empty()) continue;
    const std::string bindingPath = classPath + "NetTrans\\" + binding;
    const ReadKey tcpip(registry, kHkeyLocalMachine, bindingPath);
    if (FoldCase(tcpip.Text("DriverDesc")) != "tcp/ip") continue;
    for (const NetDevice& device : devices) {
      const ReadKey bindings(registry, kHkeyLocalMachine, device.path + "\\Bindings");
      if (!bindings.Has("MSTCP\\" + instance)) continue;
      Adapter adapter;
      adapter.name =
          ReadKey(registry, kHkeyLocalMachine, classPath + device.driver).Text("DriverDesc");
      if (adapter.name.empty()) adapter.name = device.driver;
      adapter.address = UsableAddress(tcpip.Text("IPAddress"));
      adapter.mtuValue = {kHkeyLocalMachine, bindingPath, "MaxMTU"};
      adapter.mtuIsText = true;
      adapter.registryMtu = tcpip.Number("MaxMTU");
      adapters.push_back(adapter);
    }
  }
  return adapters;
}

}  // namespace

AdapterLayout LayoutOf(const OsVersionInfo& version) {
  if (version.platformId != kPlatformWin32Nt) return AdapterLayout::k9x;
  return version.major < 5 ? AdapterLayout::kNt4 : AdapterLayout::kNt5;
}

std::vector<Adapter> FindAdapters(RegistryApi& registry, AdapterLayout layout, AdapterInfoApi& info,
                                  const std::string& systemKeyName) {
  switch (layout) {
    case AdapterLayout::kNt5:
      return Nt5Adapters(registry, info, systemKeyName);
    case AdapterLayout::kNt4:
      return Nt4Adapters(registry, systemKeyName);
    case AdapterLayout::k9x:
      break;
  }
  return Win9xAdapters(registry, systemKeyName);
}

int ChooseAdapter(const std::vector<Adapter>& adapters, std::optional<std::uint32_t> bestIndex,
                  int userChoice) {
  const int count = static_cast<int>(adapters.size());
  int withAddress = -1, addressed = 0;
  for (int index = 0; index < count; ++index) {
    if (bestIndex && adapters[index].interfaceIndex == bestIndex) return index;
    if (!adapters[index].address.empty()) {
      withAddress = index;
      ++addressed;
    }
  }
  if (addressed == 1) return withAddress;
  if (userChoice >= 0 && userChoice < count) return userChoice;
  return count == 1 ? 0 : -1;
}

std::uint32_t Adapter::MtuNow() const {
  if (systemMtu) return systemMtu;
  return registryMtu && *registryMtu ? *registryMtu : kDefaultMtu;
}

std::string Adapter::MtuNowText() const {
  return std::to_string(MtuNow()) +
         (registryMtu ? ", registry " + std::to_string(*registryMtu) : ", Windows default");
}

}  // namespace veltrano
