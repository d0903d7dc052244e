#pragma once
// Recipes: an image's steps written as pixora-convert --apply steps, one a
// line, so that what was done to one picture can be done to many.
//
// A command that changes the whole image the way an --apply step does notes
// the step's text on the history entry it made (NoteRecipeStep); the text
// is written by the same table that reads --apply, so the two always agree.
// Steps without such a text (strokes, pastes, text, an effect limited to a
// selection, effects drawing random numbers) go into a recipe as comments.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "doc/workspace.h"
#include "effects/effect_arguments.h"

namespace pixora {

struct TEffectRow;
struct TEffectSettings;
struct TResizeParams;
struct TRotateParams;

// The --apply text of a row with these values; "" when the row has no
// command-line name or its result cannot be repeated (it draws random
// numbers).
std::string RecipeStep(const TEffectRow& row, const TEffectValues& values);
// The same for the command-line row named `command`.
std::string RecipeStep(std::string_view command, const TEffectValues& values);
// A quick effect run with its options window's settings.
std::string QuickEffectRecipeStep(const TEffectRow& row, const TEffectSettings& settings);
std::string ResizeRecipeStep(const TResizeParams& params);
std::string RotateRecipeStep(const TRotateParams& params);
std::string CropRecipeStep(int left, int top, int width, int height);

// Gives the newest step of the active image (the one just named) its
// recipe text; "" leaves it unrepeatable.
void NoteRecipeStep(Workspace& ws, const std::string& step);

// The steps from the original to the current image of a slot.
struct TRecipe {
    std::string Text;                 // the recipe file's contents
    std::vector<std::string> Skipped; // names of the steps written as comments
};
TRecipe RecipeFromHistory(const TImages& s);

// Writes a recipe file through a temporary file renamed over `path`, so a
// failure leaves no half-written recipe. False with `error` on failure.
bool WriteRecipeFile(const std::string& path, const std::string& text, std::string& error);
// Reads a recipe file's steps. False with `error` (the file and the line).
bool ReadRecipeFile(const std::string& path, std::span<const TEffectRow> rows, std::vector<TEffectCall>& calls,
                    std::string& error);

// The steps of a recipe's text; blank lines and lines starting with '#' are
// skipped. False with `error` naming the line when a step does not read.
bool ParseRecipe(std::string_view text, std::span<const TEffectRow> rows, std::vector<TEffectCall>& calls,
                 std::string& error);

} // namespace pixora
