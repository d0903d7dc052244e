#include "effects/ui/colour_filter_dialog.h"

#include <QSlider>

namespace pixora {

ColourFilterDialog::ColourFilterDialog(WindowHost& host, const TEffectRow& row, QWidget* owner)
    : FilterDialog(host, TFilterWindowRow::Of(row), owner) {
    const char* const names[] = {"RMin", "RMax", "GMin", "GMax", "BMin", "BMax"};
    const char* const groups[] = {"Red Channel", "Green Channel", "Blue Channel"};
    for (int c = 0; c < 3; ++c) {
        QGroupBox* group = AddGroup(groups[c]);
        tracks_[2 * c] = AddTrack(names[2 * c], "Minimum", 0, 255, 0, group);
        tracks_[2 * c + 1] = AddTrack(names[2 * c + 1], "Maximum", 0, 255, 0, group);
    }
}

TEffectValues ColourFilterDialog::Values() const {
    TEffectValues v{};
    for (std::size_t i = 0; i < tracks_.size(); ++i)
        v[i] = tracks_[i]->value();
    return v;
}

void ColourFilterDialog::ResetBeforeShow() {
    for (std::size_t i = 0; i < tracks_.size(); ++i)
        tracks_[i]->setValue(i % 2 ? 255 : 0);
    // The first preview, even when the tracks stood there already.
    Preview();
}

} // namespace pixora
