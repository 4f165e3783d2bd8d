// "Update" (Update.Exe): shows the installed version, read from this program's own
// version resource, and opens the maker's download page in the web browser.
#include <windows.h>

#include <shellapi.h>
#include <winver.h>

#include <string>
#include <vector>

#include "companions/update_resource.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace {

// "2.11" for version 2.11.0.0; the lower parts only when they are set.
std::string VersionText(DWORD high, DWORD low) {
  char text[32] = {};
  if (low == 0) {
    wsprintfA(text, "%u.%u", HIWORD(high), LOWORD(high));
  } else {
    wsprintfA(text, "%u.%u.%u.%u", HIWORD(high), LOWORD(high), HIWORD(low), LOWORD(low));
  }
  return text;
}

// The product version of the running program: the text of its first translation,
// else the fixed number; "unknown" when the program carries no version resource.
std::string InstalledVersion() {
  std::string path;
  try {
    path = veltrano::ExecutablePath();
  } catch (const veltrano::EInOutError&) {
    return "unknown";
  }
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  if (size == 0) return "unknown";
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return "unknown";

  struct Translation {
    WORD language;
    WORD codePage;
  };
  Translation* translations = nullptr;
  UINT length = 0;
  if (VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                     reinterpret_cast<void**>(&translations), &length) &&
      length >= sizeof(Translation)) {
    char query[64] = {};
    wsprintfA(query, "\\StringFileInfo\\%04x%04x\\ProductVersion", translations->language,
              translations->codePage);
    char* text = nullptr;
    if (VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&text), &length) &&
        length > 1 && text[0] != '\0')
      return text;
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  if (VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) &&
      length >= sizeof(VS_FIXEDFILEINFO))
    return VersionText(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
  return "unknown";
}

// The shell's "Open" for the address; when no program opens web pages, the system's
// open-with dialog lets the user pick one.
void OpenDownloadPage(HWND owner) {
  const auto opened = reinterpret_cast<INT_PTR>(
      ShellExecuteA(nullptr, "Open", DOWNLOAD_PAGE, nullptr, nullptr, SW_SHOWNORMAL));
  if (opened > 32) return;
  if (WinExec("RunDLL32.exe Shell32.dll,OpenAs_RunDLL *.htm", SW_SHOWNORMAL) > 31) return;
  MessageBoxA(owner,
              "The download page could not be opened.\r\nPlease visit " DOWNLOAD_PAGE
              " with your web browser.",
              UPDATE_CAPTION, MB_OK | MB_ICONEXCLAMATION);
}

// A bold copy of the dialog's font for the title, deleted with the window.
class TitleFont {
 public:
  void Apply(HWND dialog, int id) {
    LOGFONTA face{};
    const auto font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    if (!font || !GetObjectA(font, sizeof face, &face)) return;
    face.lfWeight = FW_BOLD;
    font_ = CreateFontIndirectA(&face);
    if (font_) SendDlgItemMessageA(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  ~TitleFont() {
    if (font_) DeleteObject(font_);
  }

 private:
  HFONT font_ = nullptr;
};

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      reinterpret_cast<TitleFont*>(lParam)->Apply(dialog, IDC_TITLE);
      SetDlgItemTextA(dialog, IDC_VERSION, InstalledVersion().c_str());
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_DOWNLOAD) {
        OpenDownloadPage(dialog);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {  // "Close", the close box and Escape
        EndDialog(dialog, 0);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  TitleFont titleFont;
  const INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_UPDATE), nullptr,
                                         &Procedure, reinterpret_cast<LPARAM>(&titleFont));
  return result == -1 ? 1 : 0;
}
