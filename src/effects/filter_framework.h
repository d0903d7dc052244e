#pragma once
// The life cycle every filter window shares, without the window: the
// preview on the view's display copy, the commit of "OK" (one named history
// step, then the filtered pixels into the document or into the effect brush
// source), and the filter apply operation that commit uses.
//
// A filter never changes the document while its window is open: each
// preview starts again from the document, so "Cancel" needs no undo.

#include <string>

#include "doc/workspace.h"
#include "effects/effects_table.h"
#include "tools/selection.h"

namespace pixora {

class TEffects;

// The effects engine component the filter windows share (the main
// window's "Effects"), made on first use; one per workspace. It keeps the
// range type and transparency a window last chose.
TEffects& EffectsOf(Workspace& ws);

// Copies the blue, green and red bytes of every pixel of `source` that
// passes `test` into `target`; the fourth bytes of the target are never
// written. Both are 32-bit; only the part both cover is visited.
void CopyColourBytes(const Bitmap& source, Bitmap& target, const SelectionEditTest& test);

// The filter apply operation: source and target set to 32 bits, the colour
// bytes of source copied into target wherever the selection edit test
// passes, and the active slot's Saved flag cleared (whatever the target).
void FilterApply(Workspace& ws, Bitmap& source, Bitmap& target);

// One preview of a filter on the active image, in this order: the document
// drawn onto the display copy (left out when the filter reads the document
// itself), the filter run with `values`, the display copy set to 32 bits and
// ScratchRows refilled, the document's Rows refilled when the filter read
// it, and the view repainted. A filter that is refused or fails leaves the
// display copy showing the document. False without an image or when the
// filter did not run.
bool PreviewFilter(Workspace& ws, TFilterOperation filter, bool readsDocument, const TEffectValues& values);

// "OK" of a filter window, in this order: the filter apply operation from
// `source` (the display copy holding the last preview) into the effect brush
// source (sized to the source) with `useAsBrush`, or into the document, where
// it is one step named `stepName` when it changed the image (with
// "Use as Brush" the document is untouched: no step, its saved state kept);
// then the slot's tool becomes the Effect Brush (26) with `useAsBrush`, else
// none (0). False, with nothing changed, without an image or when the
// history step could not be stored. The window then
// shows the tool and closes; its closing refreshes the view. `recipeStep`
// is the filter's --apply step, kept for recipes when the whole image changed.
bool CommitFilter(Workspace& ws, const std::string& stepName, Bitmap& source, bool useAsBrush,
                  const std::string& recipeStep = {});

// What "OK" of a filter window applied last, for "Repeat Last Filter".
struct TLastFilter {
    std::string StepName;
    TFilterOperation Filter = nullptr;
    bool ReadsDocument = false;
    TEffectValues Values{};
    std::string RecipeStep;
};

// Kept per workspace beside the effects engine; a filter without an
// operation of its own (null) is not kept.
void RememberFilter(Workspace& ws, const TLastFilter& last);
bool HasLastFilter(Workspace& ws);

// "Repeat Last Filter": the filter "OK" applied last, with the same values,
// on the active image as a new step of the same name (a preview and a commit
// without the window). False without an image or a filter to repeat, or when
// it did not run. The view is refreshed.
bool RepeatLastFilter(Workspace& ws);

} // namespace pixora
