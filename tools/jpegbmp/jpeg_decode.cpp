#include "jpeg_decode.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include <jpeglib.h>

namespace veltrano::jpegbmp {
namespace {

// A bitmap resource keeps its sizes in 32-bit fields; far below that, a picture this
// large is a mistake rather than artwork.
constexpr long long kMaxPixels = 16LL * 1024 * 1024;

// libjpeg's own error handler ends the process; this one jumps back to the decoder with
// the message instead. `base` comes first: libjpeg hands back a pointer to it.
struct ErrorHandler {
  jpeg_error_mgr base;
  std::jmp_buf escape;
  char message[JMSG_LENGTH_MAX];
};

// Everything the decoding touches between setjmp and longjmp lives here, outside the
// jumping function's frame, so none of it is left indeterminate by the jump.
struct Decoder {
  jpeg_decompress_struct info;
  ErrorHandler errors;
};

[[noreturn]] void EscapeWithMessage(j_common_ptr info) {
  auto* errors = reinterpret_cast<ErrorHandler*>(info->err);
  (*info->err->format_message)(info, errors->message);
  std::longjmp(errors->escape, 1);
}

// Level -1 is a warning about damaged data, after which libjpeg carries on with grey
// or garbled pixels: such a picture is refused as well. Higher levels are tracing.
void EscapeOnWarning(j_common_ptr info, int level) {
  if (level < 0) EscapeWithMessage(info);
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Holds no object with a destructor: longjmp would skip it.
bool RunDecoder(Decoder& decoder, std::FILE* file, RgbPicture& picture) {
  jpeg_decompress_struct& info = decoder.info;
  info.err = jpeg_std_error(&decoder.errors.base);
  decoder.errors.base.error_exit = EscapeWithMessage;
  decoder.errors.base.emit_message = EscapeOnWarning;
  if (setjmp(decoder.errors.escape)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
    std::snprintf(decoder.errors.message, sizeof decoder.errors.message,
                  "CMYK pictures are not supported; save it as RGB");
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  const long long pixels = static_cast<long long>(info.output_width) * info.output_height;
  if (info.output_components != 3 || pixels > kMaxPixels) {
    std::snprintf(decoder.errors.message, sizeof decoder.errors.message,
                  info.output_components != 3 ? "the decoder gave no RGB pixels"
                                              : "%ux%u pixels is too large for a bitmap",
                  info.output_width, info.output_height);
    jpeg_destroy_decompress(&info);
    return false;
  }
  picture.width = static_cast<int>(info.output_width);
  picture.height = static_cast<int>(info.output_height);
  const std::size_t stride = static_cast<std::size_t>(picture.width) * 3;
  picture.pixels.assign(stride * picture.height, 0);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = picture.pixels.data() + stride * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

bool DecodeJpegFile(const std::string& path, RgbPicture& picture, std::string& error) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    error = std::string("cannot open: ") + std::strerror(errno);
    return false;
  }
  auto decoder = std::make_unique<Decoder>();
  if (!RunDecoder(*decoder, file.get(), picture)) {
    error = decoder->errors.message;
    picture = RgbPicture{};
    return false;
  }
  return true;
}

}  // namespace veltrano::jpegbmp
