#include "engine/codec.h"

namespace veltrano {

void ProfileCodec::Transform(std::uint8_t* bytes, std::size_t count) {
  std::size_t position = position_;
  for (std::size_t i = 0; i < count; ++i) {
    bytes[i] ^= kScrambleKeyStream[position];
    if (++position == kScrambleKeyStream.size()) position = 0;
  }
  position_ = position;
}

std::string TransformProfile(std::string_view bytes) {
  std::string result(bytes);
  ProfileCodec codec;
  codec.Transform(result.data(), result.size());
  return result;
}

}  // namespace veltrano
