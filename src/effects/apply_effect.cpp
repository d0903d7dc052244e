#include "effects/apply_effect.h"

#include <exception>
#include <stdexcept>
#include <vector>

#include "doc/row_ranges.h"
#include "effects/effects_table.h"
#include "effects/engine/effects.h"
#include "effects/filter_framework.h"

namespace pixora {

namespace {

// The fourth byte of every pixel of a 32-bit image, row after row.
std::vector<uint8_t> FourthBytes(const Bitmap& image) {
    const int w = image.Width();
    std::vector<uint8_t> out(static_cast<std::size_t>(w) * static_cast<std::size_t>(image.Height()));
    ForRowRanges(image.Height(), image.ByteSize(), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uint8_t* s = image.Row(y) + 3;
            uint8_t* d = out.data() + static_cast<std::size_t>(w) * static_cast<std::size_t>(y);
            for (int x = 0; x < w; ++x, s += 4)
                d[x] = *s;
        }
    });
    return out;
}

void PutFourthBytes(const std::vector<uint8_t>& fourth, Bitmap& image) {
    const int w = image.Width();
    if (fourth.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(image.Height()))
        throw std::logic_error("the filter changed the size of the image");
    ForRowRanges(image.Height(), image.ByteSize(), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uint8_t* s = fourth.data() + static_cast<std::size_t>(w) * static_cast<std::size_t>(y);
            uint8_t* d = image.Row(y) + 3;
            for (int x = 0; x < w; ++x, d += 4)
                *d = s[x];
        }
    });
}

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
        } else if (row.Filter && !row.ReadsDocument) {
            // Such a filter changes its view in place, reading the document
            // no further than the pixel it writes: the image can be both,
            // with its fourth bytes kept aside and put back.
            const std::vector<uint8_t> fourth = FourthBytes(image);
            effects.SetRandomSeed(seed);
            if (!row.Filter({effects, image, image, call.Values})) return Refused(row, error);
            image.SetBitsPerPixel(32);
            PutFourthBytes(fourth, image);
        } else if (row.Filter) {
            // Such a filter writes every pixel of its view, shaping it to
            // the document (the editor's preview hands it the display copy
            // as it stands): the view starts empty, not as a copy.
            Bitmap view;
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

TImageTransform EffectChain(std::vector<TEffectCall> calls, uint32_t seed) {
    return [calls = std::move(calls), seed](Bitmap& image, std::string& error) {
        TEffects engine;
        for (std::size_t i = 0; i < calls.size(); ++i)
            if (!ApplyEffect(calls[i], engine, image, seed + static_cast<uint32_t>(i), error)) return false;
        return true;
    };
}

} // namespace pixora
