// The profile codec: every byte of a profile is XORed with a repeating key stream.
// XOR is its own inverse, so one transform both scrambles and descrambles.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace veltrano {

// "RararEZAV" followed by one zero byte: the period is 10, not 9, so every tenth
// byte (offsets 9, 19, ...) is stored unchanged.
inline constexpr std::array<std::uint8_t, 10> kScrambleKeyStream = {'R', 'a', 'r', 'a', 'r',
                                                                    'E', 'Z', 'A', 'V', 0};

// Keeps the key position across blocks, so the result does not depend on how a file
// is cut into blocks.
class ProfileCodec {
 public:
  void Transform(std::uint8_t* bytes, std::size_t count);
  void Transform(char* bytes, std::size_t count) {
    Transform(reinterpret_cast<std::uint8_t*>(bytes), count);
  }
  std::size_t KeyPosition() const { return position_; }

 private:
  std::size_t position_ = 0;
};

// Transforms a whole profile held in memory, starting at key position 0.
std::string TransformProfile(std::string_view bytes);

}  // namespace veltrano
