#include "effects/recipes.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "effects/effects_table.h"
#include "effects/filter_rules.h"
#include "effects/quick_rules.h"
#include "history/geometry_commands.h"

namespace pixora {

namespace {

// Noise draws from a generator that runs on between steps: a second run
// gives other pixels.
bool DrawsRandomNumbers(const TEffectRow& row) {
    return row.Operation == &quick_rules::Noise || row.Filter == &filter_rules::Noise;
}

std::string_view TrimmedLine(std::string_view line) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

} // namespace

std::string RecipeStep(const TEffectRow& row, const TEffectValues& values) {
    if (row.CommandName.empty() || DrawsRandomNumbers(row)) return {};
    return FormatEffectCall({&row, values});
}

std::string RecipeStep(std::string_view command, const TEffectValues& values) {
    const TEffectRow* row = EffectForCommand(command);
    return row ? RecipeStep(*row, values) : std::string();
}

std::string QuickEffectRecipeStep(const TEffectRow& row, const TEffectSettings& settings) {
    TEffectValues values = DefaultValues(row);
    if (row.OptionsWindow == TWindow::RadiusOptions) {
        values[0] = settings.Radius;
    } else if (row.OptionsWindow == TWindow::ChannelOptions) {
        values[0] = settings.Red;
        values[1] = settings.Green;
        values[2] = settings.Blue;
    }
    return RecipeStep(row, values);
}

std::string ResizeRecipeStep(const TResizeParams& params) {
    return RecipeStep("resize", {params.Width, params.Height, params.Stretch ? 0 : 1});
}

std::string RotateRecipeStep(const TRotateParams& params) {
    switch (params.Action) {
    case TRotateAction::FlipVertical:
        return RecipeStep("flip", {});
    case TRotateAction::MirrorHorizontal:
        return RecipeStep("mirror", {});
    case TRotateAction::RotateLeft:
        return RecipeStep("rotate-left", {});
    case TRotateAction::RotateRight:
        return RecipeStep("rotate-right", {});
    case TRotateAction::RotateHalf:
        return RecipeStep("rotate-half", {});
    case TRotateAction::Angle:
        // The command line turns by whole degrees only.
        if (params.Degrees != static_cast<int>(params.Degrees)) return {};
        return RecipeStep("rotate", {static_cast<int>(params.Degrees), params.Background});
    }
    return {};
}

std::string CropRecipeStep(int left, int top, int width, int height) {
    return RecipeStep("crop", {left, top, width, height});
}

void NoteRecipeStep(Workspace& ws, const std::string& step) {
    if (const TActiveImage s = ws.ActiveImage()) s->HistoryEntry(s->HistoryPos + 1).Recipe = step;
}

TRecipe RecipeFromHistory(const TImages& s) {
    TRecipe recipe;
    for (int k = 2; k <= s.HistoryPos + 1 && k < static_cast<int>(s.History.size()); ++k) {
        const THistory& step = s.History[static_cast<std::size_t>(k)];
        if (!step.Recipe.empty()) {
            recipe.Text += step.Recipe + "\n";
        } else {
            recipe.Text += "# " + step.Name + "\n";
            recipe.Skipped.push_back(step.Name);
        }
    }
    return recipe;
}

bool ParseRecipe(std::string_view text, std::span<const TEffectRow> rows, std::vector<TEffectCall>& calls,
                 std::string& error) {
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = TrimmedLine(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        if (line.empty() || line.front() == '#') continue;
        TEffectCall call;
        std::string why;
        if (!ParseEffectCall(line, rows, call, why)) {
            error = "line " + std::to_string(number) + ": " + why;
            return false;
        }
        calls.push_back(call);
    }
    return true;
}

bool WriteRecipeFile(const std::string& path, const std::string& text, std::string& error) {
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            error = "cannot write " + path;
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool ReadRecipeFile(const std::string& path, std::span<const TEffectRow> rows, std::vector<TEffectCall>& calls,
                    std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read recipe " + path;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        error = "cannot read recipe " + path;
        return false;
    }
    if (!ParseRecipe(text.str(), rows, calls, error)) {
        error = "recipe " + path + ", " + error;
        return false;
    }
    return true;
}

} // namespace pixora
