// A picture as the bytes of a BMP file: 24 bits a pixel, bottom row first, each row
// padded to four bytes; the form a BITMAP resource compiler takes.
#pragma once

#include <string>

#include "jpeg_decode.h"

namespace veltrano::jpegbmp {

std::string BottomUpBmp(const RgbPicture& picture);

}  // namespace veltrano::jpegbmp
