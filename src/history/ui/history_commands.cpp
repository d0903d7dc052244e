// Connects undo, redo, the history drop-down lists, the layer commands and
// the layer strip to the main window.
#include <QAction>
#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QSpinBox>
#include <new>

#include "app/installers.h"
#include "app/main_window.h"
#include "app/up_down.h"
#include "doc/layers.h"
#include "history/history_store.h"
#include "history/ui/layer_dialogs.h"

namespace pixora {

namespace {

// The ten hidden "Item" entries of a drop-down list.
std::vector<QAction*> AddListItems(MainWindow& w, const char* menuName, int firstNumber) {
    std::vector<QAction*> items;
    auto* menu = w.findChild<QMenu*>(menuName);
    if (!menu) return items;
    for (int j = 1; j <= kHistoryListLength; ++j) {
        auto* a = new QAction("Item", menu);
        a->setObjectName(QString("Item%1").arg(firstNumber + j - 1));
        a->setVisible(false);
        menu->addAction(a);
        items.push_back(a);
    }
    return items;
}

void ShowList(const std::vector<QAction*>& items, const std::vector<std::string>& names) {
    for (std::size_t j = 0; j < items.size(); ++j) {
        const bool shown = j < names.size();
        if (shown) items[j]->setText(QString::fromStdString(names[j]));
        items[j]->setVisible(shown);
    }
}

void OnTrigger(MainWindow& w, const char* name, const std::function<void()>& act) {
    if (QAction* a = w.Command(name)) QObject::connect(a, &QAction::triggered, &w, act);
}

// Shows a slot's strip in LSImage and lets the up-down scroll over it.
void ShowStrip(MainWindow& w, const TImages& s) {
    QLabel* label = w.LayerStripImage();
    const Bitmap& strip = s.LayerStrip;
    if (strip.Empty()) {
        label->clear();
    } else {
        const QImage view(strip.Data(), strip.Width(), strip.Height(), static_cast<qsizetype>(strip.Stride()),
                          QImage::Format_RGB32);
        label->setPixmap(QPixmap::fromImage(view.copy()));
    }
    label->resize(strip.Width(), kLayerCellSize);
    if (QWidget* frame = label->parentWidget())
        w.LayerStripUpDown()->SetMax(std::max(0, label->width() - frame->width()));
}

// Clicks on LSImage choose the layer under the pointer.
class StripClicks : public QObject {
public:
    StripClicks(MainWindow& w) : QObject(&w), w_(w) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonPress && watched == w_.LayerStripImage()) {
            const auto* me = static_cast<QMouseEvent*>(e);
            ClickLayerStrip(w_.Ws(), static_cast<int>(me->position().x()));
            return true;
        }
        return false;
    }

private:
    MainWindow& w_;
};

void InstallLayerCommands(MainWindow& w) {
    auto* newLayer = new NewLayerDialog(&w);
    auto* editLayer = new EditLayerDialog(&w);
    w.ReplaceWindow("TForm48", newLayer);
    w.ReplaceWindow("TForm49", editLayer);
    Workspace& ws = w.Ws();

    w.OnRedrawLayerStrip = [&w, &ws](int slot) {
        if (slot < 0 || slot >= kSlotCount) return;
        TImages& s = ws.Images[static_cast<std::size_t>(slot)];
        if (!s.InUse) return;
        RedrawCurrentLayerCell(s);
        if (slot == ws.ActiveSlot()) ShowStrip(w, s);
    };
    w.LayerStripImage()->installEventFilter(new StripClicks(w));

    auto showSheet = [&w] {
        if (QAction* sheet = w.Command("LayerSheet1")) sheet->setChecked(true);
    };
    auto reportMemory = [&ws] {
        if (ws.Port) ws.Port->ReportError(0, "Not enough memory for the layer.");
    };

    OnTrigger(w, "NewLayer1", [&ws, newLayer, showSheet, reportMemory] {
        if (ws.ActiveSlot() < 0) return;
        const TImages& s = ws.Active();
        newLayer->Prepare(s.Bitmap.Width(), s.Bitmap.Height());
        newLayer->exec();
        if (newLayer->Cancelled()) return;
        try {
            NewLayer(ws, newLayer->Values(), showSheet);
        } catch (const std::bad_alloc&) {
            reportMemory();
        }
    });
    OnTrigger(w, "DuplicateCurrentLayer1", [&ws, showSheet, reportMemory] {
        try {
            DuplicateCurrentLayer(ws, showSheet);
        } catch (const std::bad_alloc&) {
            reportMemory();
        }
    });
    OnTrigger(w, "DeleteCurrentLayer1", [&ws] { DeleteCurrentLayer(ws); });
    OnTrigger(w, "EditCurrentLayer1", [&ws, editLayer, reportMemory] {
        if (ws.ActiveSlot() < 0) return;
        TImages& s = ws.Active();
        if (s.CurrentLayer <= 1) return;
        const TLayer& layer = s.Layer(s.CurrentLayer);
        editLayer->Prepare(s.Bitmap.Width(), s.Bitmap.Height(), layer.Left, layer.Top);
        if (editLayer->exec() != QDialog::Accepted || editLayer->Cancelled()) return;
        try {
            EditCurrentLayer(ws, editLayer->WidthBox()->value(), editLayer->HeightBox()->value(),
                             editLayer->LeftBox()->value(), editLayer->TopBox()->value());
        } catch (const std::bad_alloc&) {
            reportMemory();
        }
    });
    OnTrigger(w, "ViewFinalImage1", [&ws, reportMemory] {
        try {
            ViewFinalImage(ws);
        } catch (const std::bad_alloc&) {
            reportMemory();
        }
    });
}

} // namespace

void InstallHistoryCommands(MainWindow& w) {
    Workspace& ws = w.Ws();
    const std::vector<QAction*> redoItems = AddListItems(w, "RedoDown", 1);
    const std::vector<QAction*> undoItems = AddListItems(w, "UndoDown", 11);

    w.OnRefreshHistoryMenus = [&w, &ws, undoItems, redoItems] {
        const int slot = ws.ActiveSlot();
        const THistoryMenus m = slot >= 0 ? HistoryMenuTexts(ws.Images[static_cast<std::size_t>(slot)]) : THistoryMenus{};
        ShowList(undoItems, m.UndoItems);
        ShowList(redoItems, m.RedoItems);
        if (QAction* undo = w.Command("Undo1")) undo->setText(QString::fromStdString(m.UndoCaption));
        if (QAction* redo = w.Command("Redo1")) redo->setText(QString::fromStdString(m.RedoCaption));
    };
    for (std::size_t j = 0; j < undoItems.size(); ++j) {
        const int steps = static_cast<int>(j) + 1;
        QObject::connect(undoItems[j], &QAction::triggered, &w, [&ws, steps] {
            if (ws.ActiveSlot() >= 0) JumpToHistoryStep(ws, ws.Active().HistoryPos - steps);
        });
    }
    for (std::size_t j = 0; j < redoItems.size(); ++j) {
        const int steps = static_cast<int>(j) + 1;
        QObject::connect(redoItems[j], &QAction::triggered, &w, [&ws, steps] {
            if (ws.ActiveSlot() >= 0) JumpToHistoryStep(ws, ws.Active().HistoryPos + steps);
        });
    }
    for (const char* name : {"Undo1", "Undo2", "ToolButton10"}) OnTrigger(w, name, [&ws] { UndoStep(ws); });
    for (const char* name : {"Redo1", "Redo2", "ToolButton11"}) OnTrigger(w, name, [&ws] { RedoStep(ws); });

    InstallLayerCommands(w);
    w.RefreshHistoryMenus();
}

} // namespace pixora
