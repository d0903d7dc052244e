#pragma once
// The fit rule shared by the layer and history thumbnails.

namespace pixora {

struct TThumbSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TThumbSize&) const = default;
};

// The longer side becomes `limit`, the other follows by integer division;
// images that fit within limit x limit keep their size.
TThumbSize FitThumbnail(int w, int h, int limit);

} // namespace pixora
