#include "effects/colour/plane_choice.h"

namespace pixora {

namespace {

struct TSpacePlanes {
    int First;
    std::vector<std::string> Items;
};

const TSpacePlanes& Space(int space) {
    static const TSpacePlanes kSpaces[kColourSpaceCount] = {
        {0, {"RGB Composite", "Red", "Green", "Blue"}},
        {4, {"Hue", "Saturation", "Value"}},
        {7, {"Hue", "Lightness", "Saturation"}},
        {10, {"Cyan", "Magenta", "Yellow", "blacK"}},
    };
    return kSpaces[space];
}

bool SpaceExists(int space) {
    return space >= 0 && space < kColourSpaceCount;
}

} // namespace

std::vector<std::string> PlaneItems(int space) {
    return SpaceExists(space) ? Space(space).Items : std::vector<std::string>{};
}

int PlaneOfChoice(int space, int item) {
    if (!SpaceExists(space) || item < 0 || item >= static_cast<int>(Space(space).Items.size())) return -1;
    return Space(space).First + item;
}

bool MonochromeOffered(int plane) {
    return (plane >= 0 && plane <= 4) || plane == 7;
}

} // namespace pixora
