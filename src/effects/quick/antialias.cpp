#include "effects/quick/antialias.h"

namespace pixora::quick {

const TTowardsTable& TowardsTable() {
    // Constant data worked out once: not state.
    static const TTowardsTable table = [] {
        TTowardsTable t{};
        for (int c = 0; c < 256; ++c)
            for (int n = 0; n < 256; ++n)
                t[c][n] = TowardsCentre(c, n);
        return t;
    }();
    return table;
}

} // namespace pixora::quick
