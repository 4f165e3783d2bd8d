// The network adapters of this machine and where each Windows keeps their MTU:
//   2000, XP and later: the adapters the IP helper lists; MTU (REG_DWORD) in
//     SYSTEM\CurrentControlSet\Services\Tcpip\Parameters\Interfaces\{GUID};
//   NT 4.0: SOFTWARE\Microsoft\Windows NT\CurrentVersion\NetworkCards\<n> (ServiceName,
//     Description); MTU (REG_DWORD) in the key Parameters\Tcpip of
//     SYSTEM\CurrentControlSet\Services\<ServiceName>;
//   95, 98, Me: each TCP/IP binding Class\NetTrans\<nnnn> that an adapter's Bindings names
//     through Enum\Network\MSTCP\<k>; MaxMTU (REG_SZ) in the NetTrans key, the adapter's
//     name from its driver key Class\Net\<m>.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/profile_plan.h"
#include "measure/echo.h"
#include "platform/os_version.h"
#include "platform/registry_api.h"

namespace veltrano {

// What the IP helper (iphlpapi.dll, 98 and 2000 on) says of an adapter.
struct SystemAdapter {
  std::string name;         // AdapterName: the "{GUID}" on 2000 and later
  std::string description;  // what the user knows it by
  std::string address;      // its first IPv4 address; "" when it has none
  std::uint32_t index = 0;
  std::uint32_t mtu = 0;  // the MTU the system uses; 0 when unknown
};

// The IP helper, loaded at run time: 95 and NT 4.0 have none and list nothing.
class AdapterInfoApi {
 public:
  virtual ~AdapterInfoApi() = default;
  virtual std::vector<SystemAdapter> Adapters() = 0;
  // The index of the adapter that carries the route to `address`.
  virtual std::optional<std::uint32_t> BestInterface(Ipv4 address) = 0;
};

AdapterInfoApi& SystemAdapterInfo();  // Windows only

enum class AdapterLayout { k9x, kNt4, kNt5 };
AdapterLayout LayoutOf(const OsVersionInfo& version);

inline constexpr std::uint32_t kDefaultMtu = 1500;

struct Adapter {
  std::string name;
  std::string address;          // "" when unknown or none
  std::uint32_t systemMtu = 0;  // 0 when the system does not say
  std::optional<std::uint32_t> registryMtu;
  std::optional<std::uint32_t> interfaceIndex;
  ChangedValue mtuValue;   // where its MTU is kept
  bool mtuIsText = false;  // 9x keeps MaxMTU as text

  // What the connection uses now: the system's figure, else the registry's, else 1500.
  std::uint32_t MtuNow() const;
  // "1500, Windows default" / "1500, registry 1400".
  std::string MtuNowText() const;
};

// The adapters of this machine; `systemKeyName` is "System" or "SYSTEM".
std::vector<Adapter> FindAdapters(RegistryApi& registry, AdapterLayout layout, AdapterInfoApi& info,
                                  const std::string& systemKeyName);

// The adapter the route to the host goes through: the one with the system's best
// interface, else the only one with an address, else the user's choice; -1 when none.
int ChooseAdapter(const std::vector<Adapter>& adapters, std::optional<std::uint32_t> bestIndex,
                  int userChoice);

}  // namespace veltrano
