#pragma once
// A step exists only when the image changed. An edit that cannot know
// beforehand whether it will change anything keeps the image as it was,
// makes its change, and then stores the step here: the kept picture
// becomes the step's snapshot when the image differs from it, and nothing
// is stored (the redo steps stay) when it does not.

#include <string>

#include "doc/workspace.h"

namespace pixora {

enum class TStepStore {
    Unchanged, // the image is as it was: no step
    Stored,    // a new step holds the image as it was
    Failed,    // the step could not be stored (reported); the image is put back
};
// Stores `before` as a new step named `name` of `slot` when the slot's image
// now differs from it. `before` is left as it was, or empty after Failed.
TStepStore StoreStepIfChanged(Workspace& ws, int slot, Bitmap& before, const std::string& name);
// The same with the store's kept state as the image as it was, when it was
// current as the edit began (CurrentKeptState): no copy of the image is
// made, and one compare finds both whether it changed and which tiles the
// state after the step stores.
TStepStore StoreKeptStepIfChanged(Workspace& ws, int slot, const Bitmap& kept, const std::string& name);

} // namespace pixora
