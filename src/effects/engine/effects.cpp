#include "effects/engine/effects.h"

#include <chrono>

#include "effects/engine/point_kernels.h"

namespace pixora {

bool HasChannel(const TChannelSet& channels, const TChannelSet& excluded) {
    for (int k = 0; k < 4; ++k)
        if (channels[k] && !excluded[k]) return true;
    return false;
}

TChannelSet SingleChannel(int channel) {
    TChannelSet set{};
    if (channel >= 0 && channel < 4) set[channel] = true;
    return set;
}

TEffects::TEffects()
    : random_(static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count())) {}

bool TEffects::ScanWith(Bitmap& bitmap, void* data, TScanEvent routine, const TFastWalk& fast) {
    TCallbackGuard<TScanEvent> guard(*this, OnScan, std::move(routine), &fast);
    return Scan(bitmap, data);
}

bool TEffects::ScanPairWith(Bitmap& bitmap, const TLines& lines, void* data, TScanPairEvent routine,
                            const TFastWalk& fast, Bitmap* mask) {
    TCallbackGuard<TScanPairEvent> guard(*this, OnScanPair, std::move(routine), &fast);
    return ScanPair(bitmap, lines, data, mask);
}

bool TEffects::ScanRangeWith(Bitmap& bitmap, void* data, int w, int h, const Bitmap* ranges,
                             TScanRangeEvent routine, const TFastWalk& fast) {
    TCallbackGuard<TScanRangeEvent> guard(*this, OnScanRange, std::move(routine), &fast);
    return ScanRange(bitmap, data, w, h, ranges);
}

bool TEffects::Fill(Bitmap& bitmap, int channel, uint8_t value) {
    return Fill(bitmap, SingleChannel(channel), value);
}

bool TEffects::Fill(Bitmap& bitmap, const TChannelSet& channels, uint8_t value) {
    std::array<std::array<uint8_t, 256>, 4> t;
    for (auto& table : t)
        table.fill(value);
    return ApplyTables(bitmap, channels, t, kernels::TNoVector{});
}

} // namespace pixora
