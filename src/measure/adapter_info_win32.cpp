// The IP helper, loaded when first asked: iphlpapi.dll is there on 98 and 2000 and
// later; on 95 and NT 4.0 nothing is listed and no route is told.
#include <windows.h>
// After windows.h.
#include <iphlpapi.h>

#include <vector>

#include "measure/adapters.h"
#include "measure/win32_net.h"

namespace veltrano {
namespace {

using GetAdaptersInfoFunction = DWORD(WINAPI*)(PIP_ADAPTER_INFO, PULONG);
using GetIfEntryFunction = DWORD(WINAPI*)(PMIB_IFROW);
using GetBestInterfaceFunction = DWORD(WINAPI*)(IPAddr, PDWORD);

class Win32AdapterInfo : public AdapterInfoApi {
 public:
  std::vector<SystemAdapter> Adapters() override {
    std::vector<SystemAdapter> adapters;
    const auto list = library_.Get<GetAdaptersInfoFunction>("GetAdaptersInfo");
    ULONG size = 0;
    if (!list || list(nullptr, &size) != ERROR_BUFFER_OVERFLOW || size == 0) return adapters;
    std::vector<IP_ADAPTER_INFO> buffer(size / sizeof(IP_ADAPTER_INFO) + 1);
    size = static_cast<ULONG>(buffer.size() * sizeof(IP_ADAPTER_INFO));
    if (list(buffer.data(), &size) != ERROR_SUCCESS) return adapters;
    for (const IP_ADAPTER_INFO* info = buffer.data(); info; info = info->Next) {
      adapters.push_back({info->AdapterName, info->Description,
                          info->IpAddressList.IpAddress.String, info->Index, MtuOf(info->Index)});
    }
    return adapters;
  }

  std::optional<std::uint32_t> BestInterface(Ipv4 address) override {
    const auto best = library_.Get<GetBestInterfaceFunction>("GetBestInterface");
    DWORD index = 0;
    if (!best || best(WireAddress(address), &index) != NO_ERROR) return std::nullopt;
    return index;
  }

 private:
  std::uint32_t MtuOf(DWORD index) const {
    const auto entry = library_.Get<GetIfEntryFunction>("GetIfEntry");
    MIB_IFROW row{};
    row.dwIndex = index;
    return entry && entry(&row) == NO_ERROR ? row.dwMtu : 0;
  }

  LoadedLibrary library_{"iphlpapi.dll"};
};

}  // namespace

AdapterInfoApi& SystemAdapterInfo() {
  static Win32AdapterInfo info;
  return info;
}

}  // namespace veltrano
