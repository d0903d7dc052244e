#include "effects/ui/colour_select_dialog.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

#include "doc/slots.h"
#include "doc/workspace.h"
#include "history/ui/rotate_dialog.h"
#include "io/ui/new_image_dialog.h"
#include "window_kit/swatch.h"
#include "window_kit/window_host.h"

namespace pixora {

namespace {

constexpr int kPictureSize = 220;
constexpr int kRampWidth = 256;
constexpr int kRampHeight = 10;

void ShowBitmap(QLabel* label, const Bitmap& b) {
    label->setPixmap(QPixmap::fromImage(ColourView(b)));
}

bool IsRGB(TColourControl id) {
    return id == TColourControl::Red || id == TColourControl::Green || id == TColourControl::Blue;
}

} // namespace

ColourSelectDialog::ColourSelectDialog(QWidget* parent)
    : CentredDialog(parent, TWindow::ColourSelect, 8 + kPictureSize + 8 + 2 * 348 + 8, 8 + 3 * 66 + 46) {
    // It opens over the Rotate Image window too, which stays on top.
    setWindowFlag(Qt::WindowStaysOnTopHint);
    image_ = new QLabel(this);
    image_->setObjectName("Image");
    image_->setGeometry(8, 8, kPictureSize, kPictureSize - 40);
    image_->setCursor(Qt::CrossCursor);
    picture_ = ColourPicture(image_->width(), image_->height());
    ShowBitmap(image_, picture_);
    image_->installEventFilter(this);

    auto* newLabel = new QLabel("New", this);
    newLabel->setGeometry(8, kPictureSize - 26, 40, 20);
    shape1_ = new SwatchWidget(this);
    shape1_->setObjectName("Shape1");
    shape1_->setGeometry(48, kPictureSize - 28, 60, 24);
    auto* oldLabel = new QLabel("Old", this);
    oldLabel->setGeometry(118, kPictureSize - 26, 30, 20);
    shape2_ = new SwatchWidget(this);
    shape2_->setObjectName("Shape2");
    shape2_->setGeometry(150, kPictureSize - 28, 60, 24);

    const int left = 8 + kPictureSize + 8, right = left + 348;
    AddGroup(0, "Red", "R", TColourControl::Red, TColourRamp::Red, 0, 255, 255, left, 8);
    AddGroup(1, "Green", "G", TColourControl::Green, TColourRamp::Green, 0, 255, 255, left, 8 + 66);
    AddGroup(2, "Blue", "B", TColourControl::Blue, TColourRamp::Blue, 0, 255, 255, left, 8 + 132);
    AddGroup(3, "Hue", "H", TColourControl::Hue, TColourRamp::Hue, 0, kHueMax, kHueMax, right, 8);
    AddGroup(4, "Saturation", "S", TColourControl::Saturation, TColourRamp::Saturation, kSaturationTrackMin,
             255, 255, right, 8 + 66);
    AddGroup(5, "Value", "V", TColourControl::Value, TColourRamp::Value, 0, 255, 255, right, 8 + 132);

    connect(MakeDefaultButton(this, "Select", width() - 8 - 2 * 80, height() - 34), &QPushButton::clicked,
            this, &QDialog::accept);
    MakeCancelButton(this, width() - 8 - 75, height() - 34);
}

void ColourSelectDialog::AddGroup(std::size_t index, const char* title, const char* letter, TColourControl id,
                                  TColourRamp ramp, int trackMin, int trackMax, int spinMax, int x, int y) {
    auto* box = new QGroupBox(title, this);
    box->setGeometry(x, y, 340, 62);
    TGroup& g = groups_[index];
    g.Id = id;
    g.Ramp = ramp;
    g.RampImage = new QLabel(box);
    g.RampImage->setObjectName(QString(letter) + "Image");
    g.RampImage->setGeometry(8, 20, kRampWidth, kRampHeight);
    g.Track = new QSlider(Qt::Horizontal, box);
    g.Track->setObjectName(QString("trc") + letter);
    g.Track->setRange(trackMin, trackMax);
    g.Track->setGeometry(4, 32, kRampWidth + 8, 24);
    g.Spin = new QSpinBox(box);
    g.Spin->setObjectName(QString("sed") + letter);
    g.Spin->setRange(0, spinMax);
    g.Spin->setGeometry(kRampWidth + 18, 26, 62, 24);
    // Wheel turns give the control focus, so they enter it like a click.
    for (QWidget* c : {static_cast<QWidget*>(g.Track), static_cast<QWidget*>(g.Spin)}) {
        c->setFocusPolicy(Qt::WheelFocus);
        c->installEventFilter(this);
    }
    if (QLineEdit* text = g.Spin->findChild<QLineEdit*>()) text->installEventFilter(this);
    const TGroup* group = &g;
    connect(g.Track, &QSlider::valueChanged, this, [this, group] { Changed(*group, true); });
    connect(g.Spin, &QSpinBox::valueChanged, this, [this, group] { Changed(*group, false); });
}

bool ColourSelectDialog::Open(int32_t& colour, TColourTarget target) {
    target_ = target;
    OpenColourControls(c_, colour);
    shape2_->SetColour(c_.OldColour);
    ShowControls(true);
    dragging_ = false;
    if (exec() != QDialog::Accepted) return false;
    colour = c_.NewColour;
    return true;
}

void ColourSelectDialog::Changed(const TGroup& g, bool fromTrack) {
    // Only the control being used acts; what the updates write does not.
    if (c_.Active != g.Id) return;
    auto value = [fromTrack](const TGroup& other) {
        return fromTrack ? other.Track->value() : other.Spin->value();
    };
    if (IsRGB(g.Id))
        ColourControlsFromRGB(c_, value(groups_[0]), value(groups_[1]), value(groups_[2]));
    else
        ColourControlsFromHSV(c_, value(groups_[3]), value(groups_[4]), value(groups_[5]));
    ShowControls(false);
}

void ColourSelectDialog::ShowControls(bool rgbRamps) {
    const int values[6] = {c_.Red, c_.Green, c_.Blue, c_.Hue, c_.Saturation, c_.Value};
    for (std::size_t i = 0; i < groups_.size(); ++i) {
        const TGroup& g = groups_[i];
        const QSignalBlocker quietTrack(g.Track), quietSpin(g.Spin);
        g.Track->setValue(values[i]);
        g.Spin->setValue(g.Track->value());
        // The red, green and blue ramps never change; the others follow
        // the current hue, saturation and value.
        if (rgbRamps || !IsRGB(g.Id))
            ShowBitmap(g.RampImage, ColourRampImage(g.Ramp, kRampWidth, kRampHeight, c_));
    }
    shape1_->SetColour(c_.NewColour);
}

void ColourSelectDialog::Pick(const QPoint& at) {
    int32_t colour;
    if (!PickFromPicture(picture_, at.x(), at.y(), colour)) return;
    ColourControlsFromColour(c_, colour);
    ShowControls(false);
}

bool ColourSelectDialog::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == image_) {
        // Only mouse events are QMouseEvents; the picture sees others too.
        const bool isMouse = type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
                             type == QEvent::MouseButtonRelease;
        if (!isMouse) return QDialog::eventFilter(watched, event);
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
            const QPoint at = mouse->position().toPoint();
            // Column and row 0 pick nothing and start no drag.
            if (at.x() > 0 && at.y() > 0) {
                dragging_ = true;
                Pick(at);
            }
        } else if (type == QEvent::MouseMove && dragging_) {
            Pick(mouse->position().toPoint());
        } else if (type == QEvent::MouseButtonRelease) {
            dragging_ = false;
        }
        return QDialog::eventFilter(watched, event);
    }
    for (const TGroup& g : groups_) {
        QWidget* text = g.Spin->findChild<QLineEdit*>();
        const bool track = watched == g.Track, spin = watched == g.Spin || (text && watched == text);
        if (!track && !spin) continue;
        if (type == QEvent::FocusIn || (track && type == QEvent::MouseButtonPress)) c_.Active = g.Id;
        // A press in a spin edit's text makes no control active, so the
        // click itself changes nothing; typing there then enters it again
        // (otherwise a typed value would be shown and never used).
        if (spin && watched == text && type == QEvent::MouseButtonPress) c_.Active = TColourControl::None;
        if (spin && type == QEvent::KeyPress) c_.Active = g.Id;
        break;
    }
    return QDialog::eventFilter(watched, event);
}

// ---- the dialog's owners -------------------------------------------------------

bool ChooseColour(WindowHost& w, TColourTarget target, int32_t& colour) {
    auto* dialog = w.Get<TWindow::ColourSelect>();
    if (!dialog || !dialog->Open(colour, target)) return false;
    if (target != TColourTarget::Foreground && target != TColourTarget::Background) return true;
    const bool fg = target == TColourTarget::Foreground;
    Workspace& ws = w.Ws();
    if (const TActiveImage s = ws.ActiveImage()) fg ? SetFGColour(*s, colour) : SetBGColour(*s, colour);
    ws.Port->ShowSwatchColour(fg ? 0 : 1, colour);
    return true;
}

void ChooseDrawingColour(WindowHost& w, TColourTarget target) {
    const bool fg = target == TColourTarget::Foreground;
    Workspace& ws = w.Ws();
    int32_t colour = 0;
    if (const TActiveImage s = ws.ActiveImage())
        colour = fg ? s->FGColour : s->BGColour;
    else if (SwatchWidget* swatch = w.Swatch(fg ? 0 : 1))
        colour = swatch->Colour();
    ChooseColour(w, target, colour);
}

void InstallColourSelect(WindowHost& w) {
    w.Install<TWindow::ColourSelect>(new ColourSelectDialog(w.Owner()));
    WindowHost* host = &w;
    for (const auto& swatchTarget :
         {std::pair{0, TColourTarget::Foreground}, std::pair{1, TColourTarget::Background}})
        if (SwatchWidget* swatch = w.Swatch(swatchTarget.first))
            swatch->OnRelease = [host, target = swatchTarget.second] { ChooseDrawingColour(*host, target); };
    if (auto* newImage = w.Get<TWindow::NewImage>())
        newImage->PickColour = [host](int32_t& colour) {
            return ChooseColour(*host, TColourTarget::NewImage, colour);
        };
    if (auto* rotate = w.Get<TWindow::Rotate>())
        rotate->PickColour = [host](int32_t& colour) {
            return ChooseColour(*host, TColourTarget::RotateBackground, colour);
        };
}

} // namespace pixora
