#include "effects/apply_effect.h"

#include <exception>

#include "effects/effects_table.h"
#include "effects/engine/effects.h"
#include "effects/filter_framework.h"

namespace pixora {

namespace {

bool Refused(const TEffectRow& row, std::string& error) {
    error = std::string(row.CommandName) + " could not be applied to this image";
    return false;
}

} // namespace

bool ApplyEffect(const TEffectCall& call, TEffects& effects, Bitmap& image, uint32_t seed,
                 std::string& error) {
    if (!call.Row) return false;
    const TEffectRow& row = *call.Row;
    image.SetBitsPerPixel(32);
    try {
        if (row.Reshape) {
            Bitmap out;
            if (!row.Reshape(image, call.Values, out)) return Refused(row, error);
            image = std::move(out);
            image.SetBitsPerPixel(32);
        } else if (row.Filter) {
            Bitmap view = image;
            effects.SetRandomSeed(seed);
            if (!row.Filter({effects, image, view, call.Values})) return Refused(row, error);
            view.SetBitsPerPixel(32);
            CopyColourBytes(view, image, SelectionEditTest::PassAll());
        } else if (row.Operation) {
            // The copy as it was costs a pass over a fresh image's worth of
            // memory: only the operations that read it get one.
            Bitmap unchanged;
            if (!row.InPlace) unchanged = image;
            const SelectionEditTest everyPixel = SelectionEditTest::PassAll();
            TEffectSettings settings = SettingsFromValues(row, call.Values);
            settings.Seed = seed;
            row.Operation({image, row.InPlace ? image : unchanged, everyPixel, settings});
        } else {
            return Refused(row, error);
        }
    } catch (const std::exception& e) {
        error = std::string(row.CommandName) + ": " + e.what();
        return false;
    }
    return true;
}

} // namespace pixora
