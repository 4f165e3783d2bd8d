// Decoding a JPEG file into rows of RGB pixels, top row first. Kept apart from the rest
// of the tool so that libjpeg's own types stay inside one translation unit.
#pragma once

#include <string>
#include <vector>

namespace veltrano::jpegbmp {

struct RgbPicture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> pixels;  // width * height * 3 bytes: R, G, B, top row first
};

// Decodes the JPEG file at `path` into `picture`. On failure returns false and puts the
// decoder's reason in `error`; damaged data (a truncated file, say) is a failure too.
bool DecodeJpegFile(const std::string& path, RgbPicture& picture, std::string& error);

}  // namespace veltrano::jpegbmp
