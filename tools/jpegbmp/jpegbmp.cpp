// jpegbmp: decodes a JPEG picture into a BMP file for a BITMAP resource. The build runs
// it on the committed artwork, since the program itself carries no JPEG decoder.
//
//   jpegbmp IN.jpg OUT.bmp
//
// On any failure it names the file and the reason, exits non-zero and leaves no OUT.bmp,
// so that a later build tries again instead of embedding half a picture.
#include <cstdio>
#include <string>

#include "bmp_file.h"
#include "jpeg_decode.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int Fail(const std::string& path, const std::string& reason) {
  std::fprintf(stderr, "jpegbmp: %s: %s\n", path.c_str(), reason.c_str());
  return kExitFailed;
}

// Writes beside `path` first and renames, so that `path` is either whole or absent.
bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  const std::string part = path + ".part";
  std::FILE* file = std::fopen(part.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) == 0 && written && std::rename(part.c_str(), path.c_str()) == 0) {
    return true;
  }
  std::remove(part.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: jpegbmp IN.jpg OUT.bmp\n");
    return kExitUsage;
  }
  const std::string input = argv[1];
  const std::string output = argv[2];
  std::remove(output.c_str());

  veltrano::jpegbmp::RgbPicture picture;
  std::string error;
  if (!veltrano::jpegbmp::DecodeJpegFile(input, picture, error)) return Fail(input, error);
  if (!WriteWholeFile(output, veltrano::jpegbmp::BottomUpBmp(picture))) {
    return Fail(output, "cannot write the bitmap");
  }
  return 0;
}
