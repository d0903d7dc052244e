#include "history/ui/recipe_commands.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>

#include "effects/recipes.h"
#include "window_kit/window_host.h"

namespace pixora {

namespace {

// Names the steps the recipe could only list as comments.
void ReportSkipped(Workspace& ws, const TRecipe& recipe) {
    if (recipe.Skipped.empty()) return;
    std::string names;
    for (const std::string& name : recipe.Skipped)
        names += name + "\n";
    ws.Port->ReportProblem("These steps cannot be repeated on another image; the recipe lists them as comments:",
                           names);
}

void RunCopyRecipe(WindowHost& w) {
    const TActiveImage s = w.Ws().ActiveImage();
    if (!s) return;
    const TRecipe recipe = RecipeFromHistory(*s);
    QApplication::clipboard()->setText(QString::fromStdString(recipe.Text));
    ReportSkipped(w.Ws(), recipe);
}

void RunSaveRecipe(WindowHost& w) {
    const TActiveImage s = w.Ws().ActiveImage();
    if (!s) return;
    QFileDialog dlg(w.Owner(), "Save Steps as Recipe");
    dlg.setObjectName("SaveRecipeDialog");
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setOptions(QFileDialog::DontUseNativeDialog);
    dlg.setNameFilters({"Recipes (*.recipe)", "All files (*)"});
    dlg.setDefaultSuffix("recipe");
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
    const TRecipe recipe = RecipeFromHistory(*s);
    std::string error;
    if (!WriteRecipeFile(dlg.selectedFiles().first().toStdString(), recipe.Text, error)) {
        w.Ws().Port->ReportProblem("Could not save the recipe.", error);
        return;
    }
    ReportSkipped(w.Ws(), recipe);
}

} // namespace

TCommandList RecipeCommands() {
    return {
        Cmd("CopyStepsasRecipe1", "Copy Steps as Recipe", CommandRule::Undo).Does(RunCopyRecipe),
        Cmd("SaveStepsasRecipe1", "Save Steps as Recipe...", CommandRule::Undo).Does(RunSaveRecipe),
    };
}

} // namespace pixora
