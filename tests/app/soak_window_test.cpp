// A long run of the main window: thousands of commands drawn from a fixed
// seed (strokes with the tools, quick effects, layer and selection
// commands, undo, redo and jumps, tab changes, closing and opening again),
// with the history's invariants checked after every one and a full undo and
// redo of every image at the end.

#include <QAction>
#include <QMenu>
#include <QTabWidget>
#include <unistd.h>

#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <set>

#include "app/app_fixture.h"
#include "app/view_controls.h"
#include "doc/layer_operations.h"
#include "effects/effects_table.h"
#include "effects/ui/effect_commands.h"
#include "history/history_folder.h"
#include "history/history_store.h"
#include "io/codecs/image_codecs.h"
#include "io/new_close_commands.h"
#include "io/open_commands.h"
#include "support/folders.h"
#include "support/memory.h"
#include "support/no_questions.h"
#include "support/pixels.h"
#include "tools/tool_table.h"
#include "tools/ui/tool_commands.h"

using namespace pixora;
using namespace pixora::testing;
namespace fs = std::filesystem;

namespace {

constexpr int kSoakCommands = 3000;
constexpr int kSoakSeed = 20261209;
constexpr int kMostImages = 5;
// Resident size may grow by this much between the end of the warm-up and
// the end of the run: the history keeps a small thumbnail per step, far
// less than this over the run.
constexpr long kResidentGrowthLimit = 64L << 20;

uint64_t Hash(const Bitmap& b) {
    uint64_t h = 1469598103934665603ull ^ (static_cast<uint64_t>(b.Width()) << 32 | b.Height());
    for (int y = 0; y < b.Height(); ++y) {
        const uint8_t* row = b.Row(y);
        for (std::size_t i = 0; i < static_cast<std::size_t>(b.Width()) * b.BytesPerPixel(); ++i)
            h = (h ^ row[i]) * 1099511628211ull;
    }
    return h;
}

Bitmap Picture(int w, int h, int seed) {
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Put(b, x, y, static_cast<uint8_t>(x * 5 + seed * 40), static_cast<uint8_t>(y * 7 + seed),
                static_cast<uint8_t>((x ^ y) * 3), static_cast<uint8_t>(seed == 2 ? x * 4 : 0));
    return b;
}

// What the test expects of one slot's history: the content of every
// snapshot, as a hash, learnt from the counters' moves (0 = not known), and
// the very first snapshot in full.
struct TSlotModel {
    std::vector<uint64_t> Snapshots = std::vector<uint64_t>(1);
    Bitmap First;
    void Clear() { *this = TSlotModel{}; }
};

struct SoakTest : AppTest {
    std::mt19937 rng{kSoakSeed};
    std::vector<std::string> files;
    std::array<TSlotModel, kSlotCount> model;
    std::vector<std::string> modals; // every modal window that came up, closed at once
    int step = 0;
    std::map<std::string, int> tally;
    int compared = 0;                // history moves compared with the model
    std::string did;                 // what the step did, for the journal
    std::string effectStep;          // the step name of the quick effect the step ran, if any
    std::deque<std::string> journal; // the last steps, shown when one fails

    int Draw(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    int Slot() { return Ws().HasOpenImage() ? Ws().ActiveSlot() : -1; }
    TImages& S(int slot) { return Ws().Images[static_cast<std::size_t>(slot)]; }

    std::vector<int> OpenSlots() {
        std::vector<int> open;
        for (int i = 0; i < kSlotCount; ++i)
            if (S(i).InUse) open.push_back(i);
        return open;
    }

    // Nothing modal may stop the run: whatever comes up is noted and closed.
    void WatchModals() {
        auto* timer = new QTimer(TestScope());
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, [this] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                modals.push_back("step " + std::to_string(step) + ": " + w->objectName().toStdString() + " " +
                                 w->windowTitle().toStdString());
                w->close();
            }
        });
        timer->start();
    }

    // Presses a tool through the view: a drag for the stroke tools, clicks
    // finished by a double click for the multi-click ones.
    void Stroke() {
        std::vector<int> tools;
        for (const TToolDescription& row : ToolTable())
            if (row.Make && !row.ModalBox && row.Number != ToolText) tools.push_back(row.Number);
        const int tool = tools[static_cast<std::size_t>(Draw(static_cast<int>(tools.size())))];
        if (!ChooseTool(*window, tool)) return;
        const Bitmap& b = S(Slot()).Bitmap;
        auto x = [&] { return Draw(b.Width() + 10) - 5; };
        auto y = [&] { return Draw(b.Height() + 10) - 5; };
        ViewControls* view = window->View();
        const int button = Draw(5) == 0 ? 1 : 0;
        if (tool == ToolBezier || tool == ToolPolygon) {
            for (int k = Draw(4) + 1; k > 0; --k) {
                const int px = x(), py = y();
                view->PointerPress(px, py, button);
                view->PointerRelease(px, py);
            }
            view->PointerDoubleClick();
            did = "multi-click tool " + std::to_string(tool);
            tally[did]++;
            return;
        }
        view->PointerPress(x(), y(), button);
        for (int k = Draw(6); k > 0; --k)
            view->PointerMove(x(), y());
        view->PointerRelease(x(), y());
        if (tool == ToolCrop && Draw(2)) view->PointerDoubleClick();
        did = "tool " + std::to_string(tool);
        tally[did]++;
    }

    void QuickEffect() {
        std::vector<const TEffectRow*> rows;
        for (const TEffectRow& row : EffectTable())
            if (row.Kind == TEffectKind::Quick && row.Operation) rows.push_back(&row);
        const TEffectRow& row = *rows[static_cast<std::size_t>(Draw(static_cast<int>(rows.size())))];
        RunEffect(*window, row);
        effectStep = row.StepName;
        did = "effect " + std::string(row.Caption);
        tally["effect"]++;
    }

    void Trigger(const char* name) {
        QAction* a = window->Command(name);
        ASSERT_NE(a, nullptr) << name;
        if (!a->isEnabled()) return;
        did = name;
        a->trigger();
        tally[name]++;
    }

    void Layers() {
        TImages& s = S(Slot());
        switch (Draw(5)) {
        case 0:
            if (s.LayerCount < 6) {
                TNewLayer layer{Draw(s.Bitmap.Width()) + 1, Draw(s.Bitmap.Height()) + 1, Draw(8), Draw(8),
                                Draw(256)};
                NewLayer(Ws(), layer);
                did = "new layer";
                tally["new layer"]++;
            }
            break;
        case 1:
            if (s.LayerCount > 0) {
                ChooseLayer(Ws(), Draw(s.LayerCount) + 1);
                did = "choose layer";
                tally["choose layer"]++;
            }
            break;
        case 2:
            Trigger("DuplicateCurrentLayer1");
            break;
        case 3:
            Trigger("DeleteCurrentLayer1");
            break;
        default:
            Trigger("ViewFinalImage1");
            break;
        }
    }

    void Selections() {
        static const char* const kNames[] = {"SelectAll1", "SelectNone1",      "Copy1", "Cut1", "Paste1",
                                             "Delete1",    "FillwithFGColour1"};
        Trigger(kNames[Draw(std::size(kNames))]);
    }

    void History() {
        const TImages& s = S(Slot());
        switch (Draw(4)) {
        case 0:
            Trigger("Undo1");
            break;
        case 1:
            Trigger("Redo1");
            break;
        default: {
            const int stored = s.HistoryPos == s.HistoryCount ? s.HistoryCount + 1 : s.HistoryCount;
            if (stored > 1) {
                JumpToHistoryStep(Ws(), Draw(stored));
                did = "jump";
                tally["jump"]++;
            }
        }
        }
    }

    void Tabs() {
        const std::vector<int> open = OpenSlots();
        window->Pages()->setCurrentIndex(open[static_cast<std::size_t>(Draw(static_cast<int>(open.size())))]);
        did = "tab";
        tally["tab"]++;
    }

    void Files() {
        const int open = static_cast<int>(OpenSlots().size());
        switch (Draw(4)) {
        case 0:
            if (open > 1) {
                TDropChanges q;
                const int slot = Slot();
                if (CloseImage(Ws(), slot, q)) model[static_cast<std::size_t>(slot)].Clear();
                did = "close";
                tally["close"]++;
            }
            break;
        case 1:
            if (open < kMostImages) {
                LoadIntoNewSlot(Ws(), files[static_cast<std::size_t>(Draw(static_cast<int>(files.size())))]);
                did = "open";
                tally["open"]++;
            }
            break;
        case 2:
            if (open < kMostImages) Trigger("Duplicate1");
            break;
        default:
            Trigger("ReOpenFile1");
            break;
        }
    }

    // Commands by share: below 40 strokes, then effects, layers,
    // selections, history moves (70 to 87), tabs and files.
    static bool HistoryMove(int pick) { return pick >= 70 && pick < 88; }
    void RunOne(int pick) {
        if (pick < 40) {
            Stroke();
        } else if (pick < 52) {
            QuickEffect();
        } else if (pick < 60) {
            Layers();
        } else if (pick < 70) {
            Selections();
        } else if (pick < 88) {
            History();
        } else if (pick < 94) {
            Tabs();
        } else {
            Files();
        }
    }

    // Learns what the command did to the active slot's history and checks
    // that a history move showed what the snapshot it named held.
    void Learn(int slot, const Bitmap& before, int pos0, int count0, bool historyMove, bool floated, bool pointer) {
        if (slot < 0 || slot != Slot() || !S(slot).InUse) return;
        TSlotModel& m = model[static_cast<std::size_t>(slot)];
        const TImages& s = S(slot);
        auto known = [&m](int k) -> uint64_t& {
            if (k >= static_cast<int>(m.Snapshots.size()))
                m.Snapshots.resize(static_cast<std::size_t>(k) + 1);
            return m.Snapshots[static_cast<std::size_t>(k)];
        };
        if (historyMove) {
            if (s.HistoryPos == pos0 && s.HistoryCount == count0) return;
            if (pos0 == count0) known(count0 + 1) = Hash(before);
            const uint64_t expected = known(s.HistoryPos + 1);
            if (expected != 0) {
                ++compared;
                EXPECT_EQ(Hash(s.Bitmap), expected)
                    << "step " << step << ": the image is not snapshot " << s.HistoryPos + 1;
            }
            return;
        }
        if (s.HistoryCount == count0 && s.HistoryPos == pos0) return;
        // Anything else that moves the counters is an edit: one snapshot of
        // the image as it was before it, the redo branch dropped.
        ASSERT_EQ(s.HistoryPos, s.HistoryCount) << "step " << step;
        ASSERT_GT(s.HistoryPos, pos0) << "step " << step;
        // A press on the canvas leaves a step only when it changed the
        // image, and the step carries its tool's name.
        // So does a quick effect, and its step carries the effect's name.
        if (pointer || !effectStep.empty()) {
            EXPECT_FALSE(SameImage(s.Bitmap, before) && !floated)
                << "step " << step << ": a step that changed nothing (" << did << ")";
            // (A double click with the crop rectangle runs Crop.)
            const std::string name = HistoryName(s, s.HistoryPos + 1);
            if (pointer)
                EXPECT_TRUE(name == ToolTable()[static_cast<std::size_t>(s.Tool)].StepName || name == "Crop")
                    << "step " << step << " (" << did << "): \"" << name << "\"";
            else
                EXPECT_EQ(name, effectStep) << "step " << step << " (" << did << ")";
        }
        // A selection that floated over the image is dropped into it first
        // (the command's own doing): the snapshot then holds the image with
        // the floating pixels put back, which the model does not work out.
        if (floated) {
            known(pos0 + 1) = 0;
            if (pos0 == 0) m.First = Bitmap();
        } else {
            known(pos0 + 1) = Hash(before);
            Bitmap stored;
            ReadStoredStep(Ws(), slot, pos0 + 1, stored);
            EXPECT_TRUE(SameImage(stored, before)) << "step " << step << ": snapshot " << pos0 + 1
                                                   << " does not hold the image as it was before the edit";
            if (pos0 == 0) m.First = before;
        }
        m.Snapshots.resize(static_cast<std::size_t>(pos0) + 2);
        known(s.HistoryPos) = s.HistoryPos == pos0 + 1 ? known(pos0 + 1) : 0;
    }

    // The counters of every slot and the history folder agree.
    void CheckCounters() {
        WaitForStoredSteps(Ws());
        std::set<std::string> expected, newest;
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const TImages& s = S(slot);
            if (!s.InUse) {
                EXPECT_EQ(s.HistoryCount, 0) << "step " << step << " slot " << slot;
                continue;
            }
            ASSERT_GE(s.HistoryPos, 0) << "step " << step;
            ASSERT_LE(s.HistoryPos, s.HistoryCount) << "step " << step;
            ASSERT_LE(s.HistoryCount, 2 * step + 2) << "step " << step;
            // The row table points into the image.
            ASSERT_EQ(s.Rows.Count(), s.Bitmap.Height()) << "step " << step << " slot " << slot;
            ASSERT_EQ(s.Rows[s.Bitmap.Height() - 1], s.Bitmap.Row(s.Bitmap.Height() - 1)) << "step " << step;
            for (int k = 1; k <= s.HistoryCount; ++k)
                expected.insert(fs::path(SnapshotPath(Ws(), slot, k)).filename().string());
            // The image as it is may be stored after the newest step.
            if (s.HistoryCount > 0 && s.HistoryPos == s.HistoryCount)
                newest.insert(fs::path(SnapshotPath(Ws(), slot, s.HistoryCount + 1)).filename().string());
        }
        static const std::regex snapshot(R"(\d+_\d+\.bmp)");
        std::set<std::string> present;
        for (const std::string& name : FolderNames(HistoryDir(Ws())))
            if (std::regex_match(name, snapshot) && !newest.count(name)) present.insert(name);
        ASSERT_EQ(present, expected) << "step " << step
                                     << ": the snapshot files are not those the counters name";
    }
};

} // namespace

TEST_F(SoakTest, ThousandsOfRandomCommandsKeepTheHistoryWhole) {
    Start();
    window->show();
    WatchModals();
    for (int i = 0; i < 3; ++i) {
        files.push_back(Path(QString("soak%1.png").arg(i)).toStdString());
        WriteImageFile(files.back(), Picture(48 + i * 9, 36 + i * 5, i), fcPng, SaveOptions{});
        ASSERT_GE(LoadIntoNewSlot(Ws(), files.back()), 0);
    }
    std::printf("soak: %d commands from seed %d\n", kSoakCommands, kSoakSeed);
    long warm = 0;
    for (step = 1; step <= kSoakCommands; ++step) {
        const int slot = Slot();
        ASSERT_GE(slot, 0) << "step " << step << ": no image is active";
        const int pick = Draw(100);
        // A history move first puts a floating selection into the image
        // (and stores that as the newest state); the model starts from it.
        if (HistoryMove(pick)) Ws().BeforeImageReplaced();
        const Bitmap before = S(slot).Bitmap;
        const int pos0 = S(slot).HistoryPos, count0 = S(slot).HistoryCount;
        const bool floated = Ws().ToolVars.HasSelection != 0;
        did = "nothing";
        effectStep.clear();
        RunOne(pick);
        QApplication::processEvents();
        journal.push_back("step " + std::to_string(step) + " slot " + std::to_string(slot) + " (" +
                          std::to_string(pos0) + "," + std::to_string(count0) + ") -> " +
                          std::to_string(Slot()) + " (" +
                          std::to_string(S(Slot() < 0 ? 0 : Slot()).HistoryPos) + "," +
                          std::to_string(S(Slot() < 0 ? 0 : Slot()).HistoryCount) + ") " + did);
        if (journal.size() > 16) journal.pop_front();
        Learn(slot, before, pos0, count0, HistoryMove(pick), floated, pick < 40);
        CheckCounters();
        if (HasFatalFailure() || HasFailure()) {
            for (const std::string& line : journal)
                std::printf("soak: %s\n", line.c_str());
            FAIL() << "stopped at step " << step;
        }
        if (step == kSoakCommands / 10) warm = ResidentBytes();
    }
    const long end = ResidentBytes();
    std::printf("soak: resident %ld MB after the warm-up, %ld MB at the end\n", warm >> 20, end >> 20);
    for (const auto& [what, times] : tally)
        std::printf("soak:   %-28s %d\n", what.c_str(), times);
#if defined(__SANITIZE_ADDRESS__)
    // The address checker keeps freed blocks in its quarantine (256 MB by
    // default), so resident memory says nothing about leaks there; the
    // leak checker at exit does.
    (void)warm;
#else
    EXPECT_LT(end - warm, kResidentGrowthLimit);
#endif

    // Every image: undo to the start gives the first bytes, redo to the end
    // the last ones.
    int checked = 0;
    for (int slot : OpenSlots()) {
        window->Pages()->setCurrentIndex(slot);
        ASSERT_EQ(Slot(), slot);
        TImages& s = S(slot);
        if (s.HistoryCount == 0 || model[static_cast<std::size_t>(slot)].First.Empty()) continue;
        Ws().BeforeImageReplaced();
        const Bitmap last = s.Bitmap;
        while (s.HistoryPos > 0)
            ASSERT_TRUE(UndoStep(Ws())) << "slot " << slot;
        EXPECT_TRUE(SameImage(s.Bitmap, model[static_cast<std::size_t>(slot)].First)) << "slot " << slot;
        while (s.HistoryPos < s.HistoryCount - 1)
            ASSERT_TRUE(RedoStep(Ws())) << "slot " << slot;
        EXPECT_TRUE(SameImage(s.Bitmap, last)) << "slot " << slot;
        ++checked;
    }
    std::printf("soak: %d history moves showed the snapshot the model expected; %d images undone to their "
                "first bytes and redone to their last\n",
                compared, checked);
    EXPECT_GT(checked, 0);
    for (const std::string& m : modals)
        ADD_FAILURE() << "a modal window came up: " << m;
}
