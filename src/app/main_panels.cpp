// The main window's panels: tool buttons and swatches on the left, effect
// buttons on the right, the tab pages with the view, the layer sheet, and
// the hints and option-box dimming driven by pointer moves.

#include <QAction>
#include <QEvent>
#include <QGridLayout>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>

#include "app/main_window.h"
#include "app/palette_style.h"
#include "app/status_bar.h"
#include "app/status_hints.h"
#include "app/view_controls.h"
#include "doc/tab_change.h"
#include "doc/view_readout.h"
#include "effects/ui/effect_commands.h"
#include "tools/tool_table.h"
#include "tools/ui/tool_commands.h"
#include "window_kit/swatch.h"
#include "window_kit/up_down.h"
#include "window_kit/window_support.h"

namespace pixora {

namespace {

constexpr int kEffectButtonHeight = 42;

QWidget* Header(const QString& name, const QString& text, QWidget* parent) {
    auto* header = new QLabel(text, parent);
    header->setObjectName(name);
    header->setAlignment(Qt::AlignCenter);
    header->setFrameShape(QFrame::Panel);
    header->setFrameShadow(QFrame::Raised);
    return header;
}

// The side panels keep their light grey under a light palette; under a
// dark one they take the palette's window colour, so that their captions
// and buttons, drawn in the palette's text colour, stay readable.
void Panel(QWidget* w) {
    if (IsDarkPalette(w->palette()))
        w->setAutoFillBackground(true);
    else
        SetBackground(w, QColor(0xF0, 0xF0, 0xF0));
}

} // namespace

void MainWindow::Hint(QWidget* w, const QString& controlName) {
    const std::string_view text = ControlHint(controlName.toStdString());
    w->setProperty("statusText", QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void MainWindow::BuildToolPanel() {
    panel1_ = new QWidget(body_);
    panel1_->setObjectName("Panel1");
    Panel(panel1_);
    Header("Panel3", "Tools", panel1_)->setGeometry(0, 0, 57, 20);
    auto* toolBar2 = new QWidget(panel1_);
    toolBar2->setObjectName("ToolBar2");
    // Each row with a button puts it in its column and row of the panel.
    for (const TToolDescription& row : ToolTable()) {
        if (row.Button.empty()) continue;
        auto* b = new QToolButton(toolBar2);
        const QString name = QString::fromUtf8(row.Button.data(), static_cast<qsizetype>(row.Button.size()));
        b->setObjectName(name);
        b->setText(QString::number(row.Number));
        // The hint names the tool and its key; the key clicks the button at
        // once (a text field with the focus takes the letter first).
        QString hint = QString::fromUtf8(row.ButtonHint.data(), static_cast<qsizetype>(row.ButtonHint.size()));
        auto keyOf = [](std::string_view k) {
            return QKeySequence(QString::fromUtf8(k.data(), static_cast<qsizetype>(k.size())));
        };
        if (!row.Key.empty()) {
            const QKeySequence key = keyOf(row.Key);
            connect(new QShortcut(key, this), &QShortcut::activated, b, &QToolButton::click);
            hint += QStringLiteral(" (%1)").arg(key.toString(QKeySequence::NativeText));
        }
        // A second key chooses the tool with an option of its box set.
        if (const TToolKeyOption& option = row.KeyOption; !option.Key.empty()) {
            const QKeySequence key = keyOf(option.Key);
            connect(new QShortcut(key, this), &QShortcut::activated, this,
                    [this, tool = row.Number, option] {
                        if (ChooseTool(*this, tool)) ws_->Port->SetToolOption(option.Option, option.Value);
                    });
            hint += QStringLiteral(", %1 (%2)")
                        .arg(QString::fromUtf8(option.Name.data(), static_cast<qsizetype>(option.Name.size())),
                             key.toString(QKeySequence::NativeText));
        }
        b->setToolTip(hint);
        // Read aloud by the tool's name, not the number on its face.
        b->setAccessibleName(QString::fromUtf8(row.ButtonHint.data(), static_cast<qsizetype>(row.ButtonHint.size())));
        b->setIcon(QIcon(QString::fromUtf8(row.Icon.data(), static_cast<qsizetype>(row.Icon.size()))));
        b->setIconSize(QSize(20, 20));
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setFixedSize(26, 26);
        b->move(2 + row.PanelColumn * 27, row.PanelRow * 27);
        b->setProperty("statusText", QString::fromUtf8(row.StatusHint.data(),
                                                       static_cast<qsizetype>(row.StatusHint.size())));
        b->setAccessibleDescription(b->property("statusText").toString());
        const int tool = row.Number;
        connect(b, &QToolButton::clicked, this, [this, tool] { ChooseTool(*this, tool); });
        toolButtons_.emplace_back(tool, b);
    }
    toolBar2->setGeometry(0, 24, 57, 11 * 27);
    const int swatchTop = 24 + 11 * 27 + 6;
    shape2_ = new SwatchWidget(panel1_);
    shape2_->setObjectName("Shape2");
    shape2_->setAccessibleName("Background Colour");
    shape2_->setGeometry(22, swatchTop + 14, 28, 28);
    shape2_->SetColour(0xFFFFFF);
    shape1_ = new SwatchWidget(panel1_);
    shape1_->setObjectName("Shape1");
    shape1_->setAccessibleName("Foreground Colour");
    shape1_->setGeometry(6, swatchTop, 28, 28);
    shape1_->SetColour(0);
    auto* image2 = new ClickPicture(":/icons/exchange.svg", panel1_);
    image2->setObjectName("Image2");
    image2->setToolTip("Exchange FG and BG Colours");
    image2->setGeometry(36, swatchTop - 2, 16, 16);
    image2->OnClick = [this] { ExchangeSwatches(); };
    Hint(image2, "Image2");
    auto* image3 = new ClickPicture(":/icons/default-colours.svg", panel1_);
    image3->setObjectName("Image3");
    image3->setToolTip("Set Default Colours");
    image3->setGeometry(4, swatchTop + 30, 16, 16);
    image3->OnClick = [this] { DefaultSwatches(); };
    Hint(image3, "Image3");
}

int EffectsPageStep(int visibleHeight) {
    return std::max(1, visibleHeight / kEffectButtonHeight) * kEffectButtonHeight;
}

void MainWindow::BuildEffectsPanel() {
    panel2_ = new QWidget(body_);
    panel2_->setObjectName("Panel2");
    Panel(panel2_);
    Header("Panel4", "Effects", panel2_)->setGeometry(0, 0, 70, 20);
    effectsPanel_ = new QWidget(panel2_);
    effectsPanel_->setObjectName("EffectsPanel");
    effectsPanel_->setGeometry(0, 22, 70, 100);
    // One button per effect of a kind, in the effects table's order.
    auto makeBar = [this](const QString& name, TEffectKind kind) {
        auto* bar = new QWidget(effectsPanel_);
        bar->setObjectName(name);
        int y = 0;
        for (const TEffectRow& row : EffectTable()) {
            if (row.Kind != kind) continue;
            auto* button = new QToolButton(bar);
            button->setObjectName(Text(row.Button));
            button->setText(Text(row.ButtonCaption));
            button->setToolTip(Text(row.ButtonCaption));
            button->setIcon(QIcon(Text(row.Icon)));
            button->setIconSize(QSize(18, 18));
            button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
            button->setAutoRaise(true);
            QFont f = button->font();
            f.setPointSizeF(std::max(6.0, f.pointSizeF() - 2));
            button->setFont(f);
            button->setGeometry(0, y, 66, kEffectButtonHeight);
            if (!row.StatusHint.empty()) button->setProperty("statusText", Text(row.StatusHint));
            const TEffectRow* effect = &row;
            connect(button, &QToolButton::clicked, this, [this, effect] { RunEffect(*this, *effect); });
            y += kEffectButtonHeight;
        }
        bar->setGeometry(0, 0, 66, y);
        return bar;
    };
    toolBar3_ = makeBar("ToolBar3", TEffectKind::Filter);
    toolBar4_ = makeBar("ToolBar4", TEffectKind::Quick);
    upDown2_ = new UpDown(Qt::Vertical, panel2_);
    upDown2_->setObjectName("UpDown2");
    upDown2_->SetIncrement(10);
    upDown2_->move(27, 0);
    connect(upDown2_, &UpDown::Clicked, this, [this](int position) {
        toolBar3_->move(0, -position);
        toolBar4_->move(0, toolBar3_->y() + toolBar3_->height());
    });
}

void MainWindow::BuildPages() {
    pageControl_ = new QTabWidget(body_);
    pageControl_->setObjectName("PageControl");
    for (int i = 1; i <= kMaxOpenImages; ++i) {
        auto* page = new QWidget;
        page->setObjectName(QString("TabSheet%1").arg(i));
        page->setMouseTracking(true);
        pageControl_->addTab(page, QString("TabSheet%1").arg(i));
    }
    view_ = new ViewControls(*ws_, pageControl_->widget(0));
    connect(pageControl_, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0 && pageControl_->isTabVisible(index) && ws_->SysData.OpenCount >= 0)
            pixora::TabChange(*ws_);
    });
    // The pixel read-out follows the pointer once the tools have had the
    // move, drags included; a drag's width and height join the image size.
    connect(view_, &ViewControls::PointerMoved, this, [this](int X, int Y) {
        const TActiveImage active = ws_->ActiveImage();
        if (!active) return;
        const TImages& s = *active;
        const TZoom z{s.ZoomNum, s.ZoomDen};
        if (auto text = PixelReadout(s.Bitmap, ViewToImage(X, z), ViewToImage(Y, z)))
            status_->SetPanelText(0, QString::fromStdString(*text));
        ShowImageSize();
    });
    connect(view_, &ViewControls::PointerReleased, this, &MainWindow::ShowImageSize);
    view_->Image()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_->Image(), &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        const TActiveImage active = ws_->ActiveImage();
        // The pop-up menu belongs to the image only while no tool is chosen.
        if (active && active->Tool == 0) popup_->popup(view_->Image()->mapToGlobal(p));
    });
}

void MainWindow::BuildLayerSheet() {
    layerSheet_ = new QWidget(body_);
    layerSheet_->setObjectName("LayerSheet");
    SetBackground(layerSheet_, Qt::white);
    ilSheet_ = new QWidget(layerSheet_);
    ilSheet_->setObjectName("ILSheet");
    ilSheet_->setGeometry(10, 5, 100, 60);
    lsImage_ = new QLabel(ilSheet_);
    lsImage_->setObjectName("LSImage");
    lsImage_->setGeometry(0, 0, 0, 60);
    upDown_ = new UpDown(Qt::Horizontal, layerSheet_);
    upDown_->setObjectName("UpDown");
    upDown_->SetIncrement(20);
    upDown_->move(0, 27);
    connect(upDown_, &UpDown::Clicked, this, [this](int position) { lsImage_->move(-position, lsImage_->y()); });
    layerSheet_->hide();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter) {
        const QVariant text = watched->property("statusText");
        if (text.isValid() && !text.toString().isEmpty()) status_->SetPanelText(0, text.toString());
    } else if (event->type() == QEvent::MouseMove || event->type() == QEvent::HoverMove) {
        // Pointer back over the main window: dim the open option box.
        if (auto* w = qobject_cast<QWidget*>(watched); w && w->window() == this) DimOptionBox();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::DimOptionBox() {
    // Pointer moves come often; only a change of opacity reaches the window system.
    constexpr double kDim = 100 / 255.0;
    if (QWidget* box = Window(OptionBoxWindowId(ws_->ToolVars.OptionBoxId));
        box && box->windowOpacity() != kDim)
        SetOpacity(box, kDim);
}

} // namespace pixora
