#pragma once
// Types shared by the effects engine: pixel references, channel sets, the
// walk callbacks and the range shapes.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "doc/records.h"

namespace pixora {

// Shape drawn into every cell of a range walk.
enum TRangeType {
    rtRect,
    rtEllipse,
    rtFrame,
    rtStar5,
    rtStar6,
    rtTriangle0,
    rtTriangle1,
    rtTriangle2,
    rtTriangle3,
    rtRhomb,
    rtCross
};
inline constexpr int kRangeTypeCount = 11;

// The four bytes of the pixel a callback works on.
struct TPixelRef {
    uint8_t* B = nullptr;
    uint8_t* G = nullptr;
    uint8_t* R = nullptr;
    uint8_t* T = nullptr;
};

// One flag per pixel byte in memory order: blue, green, red, fourth byte.
using TChannelSet = std::array<bool, 4>;
inline constexpr TChannelSet kAllChannels{true, true, true, true};
inline constexpr TChannelSet kColourChannels{true, true, true, false};

// Four colour bytes in pixel order (blue, green, red, fourth byte).
struct TPixelBytes {
    uint8_t B = 0, G = 0, R = 0, T = 0;
    bool operator==(const TPixelBytes&) const = default;
};

// Row addresses of a bitmap.
using TLines = std::vector<uint8_t*>;

// Callbacks of the walks. Changing HorzIndex or VertIndex moves the walk to
// that position; setting Continue to false ends it.
using TScanEvent =
    std::function<void(TPixelRef& PixelRef, int& HorzIndex, int& VertIndex, void* Data, bool& Continue)>;
using TScanPairEvent = std::function<void(TPixelRef& PixelRef, int& HorzIndex, int& VertIndex,
                                          const TLines& Lines, void* Data, bool& Continue)>;
using TScanRangeEvent = std::function<void(TPixelRef& PixelRef, int& HorzIndex, int& VertIndex,
                                           int RangeIndex, TRect& Rect, void* Data, bool& Continue)>;
// Data-exchange callbacks (kept for callers that hide data in pixel bits).
using TImportEvent = std::function<void(uint8_t& Data, void* P, int Index, int BitIndex)>;
using TExportEvent = std::function<void(uint8_t Data, void* P, int Index, int BitIndex)>;

using TIntArray = std::vector<int>;

} // namespace pixora
