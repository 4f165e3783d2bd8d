// Wine accepts under every emulated version what Windows 95, 98, Me and NT 4.0 refuse.
// When a test program starts as one of those (Wine's AppDefaults Version), this layer
// patches the program's own import table so that those calls behave as the old system
// does, and code that only Wine would accept fails its tests:
//  - a window whose parent is HWND_MESSAGE: not created, ERROR_INVALID_WINDOW_HANDLE
//    (message-only windows came with 2000);
//  - LoadCursor(IDC_HAND) of the system: NULL on 95 and NT 4.0;
//  - SetStretchBltMode(HALFTONE): 0 on 95, 98 and Me;
//  - OpenProcessToken, AdjustTokenPrivileges: ERROR_CALL_NOT_IMPLEMENTED on 95, 98, Me;
//  - GetProcAddress(comctl32, "InitCommonControlsEx"): NULL on 95 (comctl32 4.00), whose
//    TTM_ADDTOOLA refuses a TTTOOLINFOA above TTTOOLINFOA_V1_SIZE, and which does not know
//    TTM_SETMAXTIPWIDTH and LVM_SETEXTENDEDLISTVIEWSTYLE (0, no effect).
// The product is linked into the test program statically, so its calls go through this
// program's import table.
#include <windows.h>
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include <cstdio>
#include <cstring>

namespace {

struct OldSystem {
  bool nineX = false;         // 95, 98, Me
  bool noHandCursor = false;  // 95, NT 4.0
  bool comctl400 = false;     // 95
};

OldSystem DetectOldSystem() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  OldSystem system;
  if (!GetVersionExA(&info)) return system;
  const bool win95 = info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && info.dwMinorVersion == 0;
  const bool nt4 = info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion <= 4;
  system.nineX = info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
  system.noHandCursor = win95 || nt4;
  system.comctl400 = win95;
  return system;
}

OldSystem rules;

decltype(&CreateWindowExA) realCreateWindowExA;
decltype(&LoadCursorA) realLoadCursorA;
decltype(&SetStretchBltMode) realSetStretchBltMode;
decltype(&OpenProcessToken) realOpenProcessToken;
decltype(&AdjustTokenPrivileges) realAdjustTokenPrivileges;
decltype(&GetProcAddress) realGetProcAddress;
decltype(&SendMessageA) realSendMessageA;

HWND WINAPI OldCreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR text, DWORD style, int x,
                               int y, int width, int height, HWND parent, HMENU menu,
                               HINSTANCE instance, LPVOID param) {
  if (parent == HWND_MESSAGE) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return realCreateWindowExA(exStyle, className, text, style, x, y, width, height, parent, menu,
                             instance, param);
}

HCURSOR WINAPI OldLoadCursorA(HINSTANCE instance, LPCSTR name) {
  if (!instance && rules.noHandCursor && name == IDC_HAND) return nullptr;
  return realLoadCursorA(instance, name);
}

int WINAPI OldSetStretchBltMode(HDC dc, int mode) {
  if (rules.nineX && mode == HALFTONE) return 0;
  return realSetStretchBltMode(dc, mode);
}

BOOL WINAPI OldOpenProcessToken(HANDLE process, DWORD access, PHANDLE token) {
  if (!rules.nineX) return realOpenProcessToken(process, access, token);
  SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
  return FALSE;
}

BOOL WINAPI OldAdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES state,
                                     DWORD length, PTOKEN_PRIVILEGES previous, PDWORD returned) {
  if (!rules.nineX) {
    return realAdjustTokenPrivileges(token, disableAll, state, length, previous, returned);
  }
  SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
  return FALSE;
}

FARPROC WINAPI OldGetProcAddress(HMODULE module, LPCSTR name) {
  const bool byName = reinterpret_cast<ULONG_PTR>(name) > 0xFFFF;
  if (rules.comctl400 && byName && std::strcmp(name, "InitCommonControlsEx") == 0) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return realGetProcAddress(module, name);
}

bool IsClass(HWND window, const char* name) {
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  return lstrcmpiA(className, name) == 0;
}

LRESULT WINAPI OldSendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (rules.comctl400) {
    if (message == TTM_ADDTOOLA && IsClass(window, TOOLTIPS_CLASSA) &&
        reinterpret_cast<const TTTOOLINFOA*>(lParam)->cbSize > TTTOOLINFOA_V1_SIZE) {
      return FALSE;
    }
    if (message == TTM_SETMAXTIPWIDTH && IsClass(window, TOOLTIPS_CLASSA)) return 0;
    if (message == LVM_SETEXTENDEDLISTVIEWSTYLE && IsClass(window, WC_LISTVIEWA)) return 0;
  }
  return realSendMessageA(window, message, wParam, lParam);
}

struct Replacement {
  const char* function;
  void* stand_in;
  void** real;
};

// Points every import of `function` in this program at its stand-in.
int PatchImports(const Replacement* replacements, size_t count) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  int patched = 0;
  for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
       directory.VirtualAddress && dll->Name; ++dll) {
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const char* name =
          reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
      for (size_t i = 0; i < count; ++i) {
        if (std::strcmp(name, replacements[i].function) != 0) continue;
        DWORD protection = 0;
        VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection);
        *replacements[i].real = reinterpret_cast<void*>(slots->u1.Function);
        slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacements[i].stand_in);
        VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
        ++patched;
      }
    }
  }
  return patched;
}

template <typename T>
void** Slot(T& pointer) {
  return reinterpret_cast<void**>(&pointer);
}

const bool kInstalled = [] {
  rules = DetectOldSystem();
  if (!rules.nineX && !rules.noHandCursor) return false;
  const Replacement replacements[] = {
      {"CreateWindowExA", reinterpret_cast<void*>(&OldCreateWindowExA), Slot(realCreateWindowExA)},
      {"LoadCursorA", reinterpret_cast<void*>(&OldLoadCursorA), Slot(realLoadCursorA)},
      {"SetStretchBltMode", reinterpret_cast<void*>(&OldSetStretchBltMode),
       Slot(realSetStretchBltMode)},
      {"OpenProcessToken", reinterpret_cast<void*>(&OldOpenProcessToken),
       Slot(realOpenProcessToken)},
      {"AdjustTokenPrivileges", reinterpret_cast<void*>(&OldAdjustTokenPrivileges),
       Slot(realAdjustTokenPrivileges)},
      {"GetProcAddress", reinterpret_cast<void*>(&OldGetProcAddress), Slot(realGetProcAddress)},
      {"SendMessageA", reinterpret_cast<void*>(&OldSendMessageA), Slot(realSendMessageA)},
  };
  const int patched = PatchImports(replacements, sizeof replacements / sizeof replacements[0]);
  std::fprintf(stderr, "old-Windows rules: %s%s%s, %d imports patched\n",
               rules.nineX ? "9x" : "NT 4.0", rules.noHandCursor ? ", no hand cursor" : "",
               rules.comctl400 ? ", comctl32 4.00" : "", patched);
  return true;
}();

}  // namespace
