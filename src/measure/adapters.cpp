#include "measure/adapters.h"

#include <cctype>
#include <cstring>

#include "engine/backup.h"

namespace veltrano {
namespace {

std::string Join(std::string path, const std::string& name) {
  path += '\\';
  path += name;
  return path;
}

// A key under HKEY_LOCAL_MACHINE opened for reading for the object's life; every read
// of a missing key or value comes back empty.
class ReadKey {
 public:
  ReadKey(RegistryApi& api, std::string path);
  ~ReadKey();
  ReadKey(const ReadKey&) = delete;
  ReadKey& operator=(const ReadKey&) = delete;

  ReadKey Child(const std::string& name) const { return ReadKey(api_, Join(path_, name)); }
  const std::string& Path() const { return path_; }
  // REG_SZ, or the first string of a REG_MULTI_SZ, cut at its first zero.
  std::string Text(const char* name) const;
  // A REG_DWORD, or a REG_SZ of decimal digits (as 9x keeps its numbers).
  std::optional<std::uint32_t> Number(const char* name) const;
  bool Has(const std::string& name) const;
  std::vector<std::string> SubKeys() const;

 private:
  std::string Raw(const std::string& name, std::uint32_t* type) const;

  RegistryApi& api_;
  std::string path_;
  RegKey key_ = 0;
};

ReadKey::ReadKey(RegistryApi& api, std::string path) : api_(api), path_(std::move(path)) {
  if (api_.OpenKey(kHkeyLocalMachine, path_, kKeyRead, &key_) != kErrorSuccess) key_ = 0;
}

ReadKey::~ReadKey() {
  if (key_) api_.CloseKey(key_);
}

std::string ReadKey::Text(const char* name) const {
  std::uint32_t type = 0;
  std::string data = Raw(name, &type);
  if (type != kRegSz && type != kRegExpandSz && type != kRegMultiSz) return "";
  return data.substr(0, data.find('\0'));
}

std::optional<std::uint32_t> ReadKey::Number(const char* name) const {
  std::uint32_t type = 0;
  const std::string data = Raw(name, &type);
  std::uint32_t value = 0;
  if (type == kRegDword && data.size() == 4) {
    std::memcpy(&value, data.data(), 4);
    return value;
  }
  const std::string text = Text(name);
  if (text.empty() || text.size() > 9) return std::nullopt;
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

// A new adapter at the end of `adapters`, whose MTU is the value `valueName` of `key`.
Adapter& AddAdapter(std::vector<Adapter>& adapters, const std::string& name,
                    const std::string& address, const ReadKey& key, const char* valueName) {
  Adapter& adapter = adapters.emplace_back();
  adapter.name = name;
  adapter.address = address == "0.0.0.0" ? "" : address;
  adapter.mtuValue = {kHkeyLocalMachine, key.Path(), valueName};
  adapter.registryMtu = key.Number(valueName);
  return adapter;
}

std::vector<Adapter> Nt5Adapters(RegistryApi& registry, AdapterInfoApi& info,
                                 const std::string& system) {
  std::vector<Adapter> adapters;
  const std::string interfaces =
      system + "\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces";
  for (const SystemAdapter& found : info.Adapters()) {
    if (!IsPlainKeyName(found.name)) continue;
    Adapter& adapter =
        AddAdapter(adapters, found.description.empty() ? found.name : found.description,
                   found.address, ReadKey(registry, Join(interfaces, found.name)), "MTU");
    adapter.systemMtu = found.mtu;
    adapter.interfaceIndex = found.index;
  }
  return adapters;
}

std::vector<Adapter> Nt4Adapters(RegistryApi& registry, const std::string& system) {
  std::vector<Adapter> adapters;
  const ReadKey cards(registry, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards");
  for (const std::string& card : cards.SubKeys()) {
    const ReadKey entry = cards.Child(card);
    const std::string service = entry.Text("ServiceName");
    if (!IsPlainKeyName(service)) continue;
    std::string name = entry.Text("Description");
    const ReadKey tcpip(
        registry, system + "\\CurrentControlSet\\Services\\" + service + "\\Parameters\\Tcpip");
    std::string address = tcpip.Text("IPAddress");
    if (address.empty() || address == "0.0.0.0") address = tcpip.Text("DhcpIPAddress");
    AddAdapter(adapters, name.empty() ? service : name, address, tcpip, "MTU");
  }
  return adapters;
}

// The name after "<kind>\" in a reference such as "NetTrans\0000"; "" when it names
// another kind. `kind` is given in lower case.
std::string Referenced(const std::string& reference, const std::string& kind) {
  if (FoldCase(reference.substr(0, kind.size() + 1)) != kind + '\\') return "";
  const std::string name = reference.substr(kind.size() + 1);
  return IsPlainKeyName(name) ? name : "";
}

// 9x: the keys Enum\<bus>\<device>\<instance> of network adapters (Driver "Net\<m>").
void CollectNetDevices(const ReadKey& key, int depth, std::vector<std::string>& paths) {
  if (depth == 0) {
    if (!Referenced(key.Text("Driver"), "net").empty()) paths.push_back(key.Path());
    return;
  }
  for (const std::string& name : key.SubKeys()) {
    CollectNetDevices(key.Child(name), depth - 1, paths);
  }
}

std::vector<Adapter> Win9xAdapters(RegistryApi& registry, const std::string& system) {
  const std::string classPath = system + "\\CurrentControlSet\\Services\\Class\\";
  std::vector<std::string> devices;
  CollectNetDevices(ReadKey(registry, "Enum"), 3, devices);
  std::vector<Adapter> adapters;
  const ReadKey mstcp(registry, "Enum\\Network\\MSTCP");
  for (const std::string& instance : mstcp.SubKeys()) {
    const std::string binding = Referenced(mstcp.Child(instance).Text("Driver"), "nettrans");
    if (binding.empty()) continue;
    const ReadKey tcpip(registry, classPath + "NetTrans\\" + binding);
    if (FoldCase(tcpip.Text("DriverDesc")) != "tcp/ip") continue;
    for (const std::string& device : devices) {
      if (!ReadKey(registry, device + "\\Bindings").Has("MSTCP\\" + instance)) continue;
      const std::string driver = ReadKey(registry, device).Text("Driver");
      std::string name = ReadKey(registry, classPath + driver).Text("DriverDesc");
      AddAdapter(adapters, name.empty() ? driver : name, tcpip.Text("IPAddress"), tcpip, "MaxMTU")
          .mtuIsText = true;
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
