// Reports what OS detection makes of the Windows version this process runs under.
// The OS-detection tests start it under each emulated version (Wine's AppDefaults key
// is read at process start, so the version cannot change inside a test process).
// Usage: os_probe.exe OUTFILE
#include <cstdio>

#include "platform/os_version.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const veltrano::OsVersionInfo info = veltrano::QueryOsVersion();
  const veltrano::OsIdentity id = veltrano::IdentityForOsCode(veltrano::DetectOsCode(info));
  std::FILE* out = std::fopen(argv[1], "wb");
  if (!out) return 3;
  std::fprintf(
      out, "platform=%u\nversion=%u.%u\ncsd=[%s]\nOsCode=%d\nSoftware=%s\nSystem=%s\nSuffix=[%s]\n",
      info.platformId, info.major, info.minor, info.csdVersion.c_str(), id.osCode,
      id.softwareKeyName.c_str(), id.systemKeyName.c_str(), id.osSuffix.c_str());
  std::fclose(out);
  return 0;
}
