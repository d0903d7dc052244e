#pragma once
// The writers under the fuzzer. An input is a recipe: a picture's size,
// the writer's options, how the pixels are drawn, and the bytes they are
// drawn from. The picture is written as the save command writes it, read
// back by the program's own reader and by an independent one (Qt's image
// reader), and compared with what the format keeps of it. A writer that
// throws, a file either reader refuses and a picture that comes back
// otherwise than the format allows are faults.

#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_targets.h"

namespace pixora::fuzz {

// BMP at 8, 16, 24 or 32 bits; the same picture saved under a TIFF name
// (a TIFF file) and under a name of no format (refused, nothing written).
TFuzzResult RoundTripBmp(const uint8_t* data, std::size_t size);
TFuzzResult RoundTripPng(const uint8_t* data, std::size_t size);
// JPEG in colour or gray at any quality.
TFuzzResult RoundTripJpeg(const uint8_t* data, std::size_t size);
// GIF with the transparency key at any sensitivity.
TFuzzResult RoundTripGif(const uint8_t* data, std::size_t size);
// The history store's snapshot files.
TFuzzResult RoundTripSnapshot(const uint8_t* data, std::size_t size);

} // namespace pixora::fuzz
