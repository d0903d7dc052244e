#include "tools/shapes/int_distance.h"

namespace pixora {

namespace {

constexpr std::array<uint8_t, kIntDistanceTableSize> BuildTable() {
    std::array<uint8_t, kIntDistanceTableSize> t{};
    for (int s = 0; s < kIntDistanceTableSize; ++s)
        t[static_cast<std::size_t>(s)] = static_cast<uint8_t>(IntDistanceSteps(s));
    return t;
}

static_assert(IntDistanceSteps(3) == 2 && IntDistanceSteps(24) == 5 && IntDistanceSteps(35) == 6);
static_assert(IntDistanceSteps(kIntDistanceTableSize - 1) <= 255);

} // namespace

constinit const std::array<uint8_t, kIntDistanceTableSize> kIntDistanceTable = BuildTable();

} // namespace pixora
