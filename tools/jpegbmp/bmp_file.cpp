#include "bmp_file.h"

#include <cstdint>

namespace veltrano::jpegbmp {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dots an inch

void PutLittleEndian(std::string& bytes, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::string BottomUpBmp(const RgbPicture& picture) {
  const std::uint32_t width = static_cast<std::uint32_t>(picture.width);
  const std::uint32_t height = static_cast<std::uint32_t>(picture.height);
  const std::uint32_t stride = (width * 3 + 3) & ~3u;
  const std::uint32_t pixel_bytes = stride * height;
  const std::uint32_t offset = kFileHeaderSize + kInfoHeaderSize;

  std::string bytes = "BM";
  PutLittleEndian(bytes, offset + pixel_bytes, 4);
  PutLittleEndian(bytes, 0, 4);  // reserved
  PutLittleEndian(bytes, offset, 4);
  PutLittleEndian(bytes, kInfoHeaderSize, 4);
  PutLittleEndian(bytes, width, 4);
  PutLittleEndian(bytes, height, 4);  // positive: the bottom row comes first
  PutLittleEndian(bytes, 1, 2);       // planes
  PutLittleEndian(bytes, 24, 2);      // bits a pixel
  PutLittleEndian(bytes, 0, 4);       // no compression
  PutLittleEndian(bytes, pixel_bytes, 4);
  PutLittleEndian(bytes, kPixelsPerMetre, 4);
  PutLittleEndian(bytes, kPixelsPerMetre, 4);
  PutLittleEndian(bytes, 0, 4);  // colours used: none, no palette
  PutLittleEndian(bytes, 0, 4);  // important colours: all

  bytes.reserve(offset + pixel_bytes);
  for (std::uint32_t y = height; y-- > 0;) {
    const unsigned char* rgb = picture.pixels.data() + static_cast<std::size_t>(y) * width * 3;
    for (std::uint32_t x = 0; x < width; ++x, rgb += 3) {
      bytes.push_back(static_cast<char>(rgb[2]));  // a BMP stores blue, green, red
      bytes.push_back(static_cast<char>(rgb[1]));
      bytes.push_back(static_cast<char>(rgb[0]));
    }
    bytes.append(stride - width * 3, '\0');
  }
  return bytes;
}

}  // namespace veltrano::jpegbmp
