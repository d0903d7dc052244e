#include "effects/ui/track_dialog.h"

#include <QSlider>

namespace pixora {

TrackDialog::TrackDialog(WindowHost& host, const TEffectRow& row, std::span<const TTrackControl> tracks,
                         QWidget* owner)
    : FilterDialog(host, TFilterWindowRow::Of(row), owner) {
    for (const TTrackControl& t : tracks)
        tracks_.push_back(AddTrack(t.Name, t.Caption, t.Min, t.Max, 0));
}

TEffectValues TrackDialog::Values() const {
    TEffectValues v{};
    for (std::size_t i = 0; i < tracks_.size() && i < v.size(); ++i)
        v[i] = tracks_[i]->value();
    return v;
}

void TrackDialog::ResetAfterClose() {
    for (QSlider* t : tracks_)
        t->setValue(0);
}

} // namespace pixora
