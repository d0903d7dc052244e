#include "window_kit/window_support.h"

#include <QButtonGroup>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QEvent>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "doc/checkerboard.h"

namespace pixora {

QPoint CentredOnScreen(const QWidget* w) {
    const QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen) return w->pos();
    const QRect area = screen->availableGeometry();
    return area.center() - QPoint(w->width() / 2, w->height() / 2);
}

void CentreOnScreen(QWidget* w) {
    w->move(CentredOnScreen(w));
}

namespace {

// Watches one window's own show and hide (not those the window system
// reports on minimising), remembering where it was left.
class PlaceKeeper : public QObject {
public:
    PlaceKeeper(QWidget* window, std::function<std::optional<QPoint>()> first) : QObject(window), first_(std::move(first)) {}

    bool eventFilter(QObject* watched, QEvent* e) override {
        auto* window = static_cast<QWidget*>(watched);
        if (e->type() == QEvent::Show && !e->spontaneous()) {
            if (const std::optional<QPoint> at = left_ ? left_ : first_()) window->move(*at);
        } else if (e->type() == QEvent::Hide && !e->spontaneous()) {
            left_ = window->pos();
        }
        return false;
    }

private:
    std::function<std::optional<QPoint>()> first_;
    std::optional<QPoint> left_;
};

} // namespace

bool OnWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void SetOpacity(QWidget* window, double opacity) {
    if (!OnWayland()) window->setWindowOpacity(opacity);
}

void KeepPlace(QWidget* window, std::function<std::optional<QPoint>()> first) {
    if (OnWayland()) return;
    window->installEventFilter(new PlaceKeeper(window, std::move(first)));
}

QPoint AboveStatusBar(const QWidget* main, const QWidget* statusBar, const QWidget* window) {
    const int statusTop = statusBar ? statusBar->mapTo(main, QPoint(0, 0)).y() : main->height();
    const int top = statusTop + main->geometry().top() - window->frameGeometry().height();
    const QScreen* screen = main->screen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 0, 0);
    return {area.left() + area.width() / 2 - window->frameGeometry().width() / 2, top};
}

QString Text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

void NameWindow(QWidget* w, TWindow id) {
    w->setObjectName(Text(WindowName(id)));
    w->setWindowTitle(Text(WindowCaption(id)));
}

CentredDialog::CentredDialog(QWidget* parent, TWindow id, int width, int height) : QDialog(parent) {
    NameWindow(this, id);
    setModal(true);
    if (width > 0 && height > 0) setFixedSize(width, height);
    KeepPlace(this, [this]() -> std::optional<QPoint> { return CentredOnScreen(this); });
}

QImage ColourView(const Bitmap& b) {
    if (b.Empty()) return QImage();
    const auto stride = static_cast<qsizetype>(b.Stride());
    if (b.BitsPerPixel() == 24) return QImage(b.Data(), b.Width(), b.Height(), stride, QImage::Format_BGR888);
    if (b.BitsPerPixel() != 32) return QImage();
    return QImage(b.Data(), b.Width(), b.Height(), stride, QImage::Format_RGB32);
}

QImage PictureOf(const Bitmap& b) {
    return StretchedPicture(b, b.Width(), b.Height(), QRect(0, 0, b.Width(), b.Height()));
}

QImage StretchedPicture(const Bitmap& b, int width, int height, const QRect& part, bool blendTransparency) {
    const QRect r = part.intersected(QRect(0, 0, width, height));
    if (b.Empty() || b.BitsPerPixel() != 32 || r.isEmpty()) return QImage();
    // The source pixel of each column and row of the part.
    std::vector<std::size_t> columns(static_cast<std::size_t>(r.width()));
    for (int x = 0; x < r.width(); ++x)
        columns[static_cast<std::size_t>(x)] =
            static_cast<std::size_t>(int64_t{r.left() + x} * b.Width() / width) * 4;
    QImage out(r.size(), QImage::Format_RGB32);
    const uint8_t* share = blendTransparency ? CheckerShareTable().data() : nullptr;
    for (int y = 0; y < r.height(); ++y) {
        const int row = static_cast<int>(int64_t{r.top() + y} * b.Height() / height);
        const uint8_t* src = b.Row(row);
        uchar* dst = out.scanLine(y);
        for (const std::size_t c : columns) {
            if (share && src[c + 3] != 0) {
                BlendedPixel(share, src + c, static_cast<int>(c / 4), row, dst);
            } else {
                dst[0] = src[c];
                dst[1] = src[c + 1];
                dst[2] = src[c + 2];
            }
            // The fourth byte is the opaque alpha Qt expects of RGB32.
            dst[3] = 0xFF;
            dst += 4;
        }
    }
    return out;
}

namespace {

// The first control column (or row) whose source pixel is at least `v`:
// ceil(v x length / bitmapLength), beyond the control's ends as well.
int FirstShowing(int64_t v, int bitmapLength, int length) {
    const int64_t n = v * length;
    return static_cast<int>(n >= 0 ? (n + bitmapLength - 1) / bitmapLength : -(-n / bitmapLength));
}

} // namespace

QRect ViewRectOf(const TRect& area, int bitmapWidth, int bitmapHeight, int width, int height) {
    if (bitmapWidth <= 0 || bitmapHeight <= 0 || width <= 0 || height <= 0) return {};
    const int x0 = FirstShowing(area.Left, bitmapWidth, width);
    const int x1 = FirstShowing(area.Right, bitmapWidth, width);
    const int y0 = FirstShowing(area.Top, bitmapHeight, height);
    const int y1 = FirstShowing(area.Bottom, bitmapHeight, height);
    if (x1 <= x0 || y1 <= y0) return {};
    return QRect(x0, y0, x1 - x0, y1 - y0);
}

QRect ViewPartShowing(const TRect& area, int bitmapWidth, int bitmapHeight, int width, int height) {
    const auto held = [](int v, int length) { return std::clamp(v, 0, length); };
    return ViewRectOf({held(area.Left, bitmapWidth), held(area.Top, bitmapHeight), held(area.Right, bitmapWidth),
                       held(area.Bottom, bitmapHeight)},
                      bitmapWidth, bitmapHeight, width, height);
}

void SetBackground(QWidget* w, const QColor& colour) {
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
}

QSpinBox* MakeSpinBox(QWidget* parent, const char* name, int min, int max, int value) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(min, max);
    box->setValue(value);
    return box;
}

QSpinBox* AddLabelledSpinBox(QGridLayout* grid, int row, const QString& caption, const char* name, int min,
                             int max, int value) {
    QWidget* parent = grid->parentWidget();
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString(name) + "Label");
    grid->addWidget(label, row, 0);
    QSpinBox* box = MakeSpinBox(parent, name, min, max, value);
    grid->addWidget(box, row, 1);
    return box;
}

QButtonGroup* MakeRadioGroup(QDialog* owner, const QString& caption, const QString& name,
                             const QStringList& items, int checked, const QRect& box) {
    auto* frame = new QGroupBox(caption, owner);
    frame->setObjectName(name);
    frame->setGeometry(box);
    auto* group = new QButtonGroup(owner);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], frame);
        b->setObjectName(QString("%1Item%2").arg(name).arg(i));
        b->setGeometry(12, 22 + 24 * i, box.width() - 24, 22);
        group->addButton(b, i);
    }
    group->button(checked)->setChecked(true);
    return group;
}

QPushButton* MakeDefaultButton(QDialog* owner, const QString& caption, int x, int y) {
    auto* b = new QPushButton(caption, owner);
    b->setObjectName("Button1");
    b->setDefault(true);
    b->setGeometry(x, y, 75, 26);
    return b;
}

QPushButton* MakeOkButton(QDialog* owner, int x, int y) {
    QPushButton* ok = MakeDefaultButton(owner, "OK", x, y);
    QObject::connect(ok, &QPushButton::clicked, owner, &QDialog::accept);
    return ok;
}

QPushButton* MakeCancelButton(QDialog* owner, int x, int y) {
    auto* cancel = new QPushButton("Cancel", owner);
    cancel->setObjectName("Button2");
    cancel->setGeometry(x, y, 75, 26);
    QObject::connect(cancel, &QPushButton::clicked, owner, &QDialog::reject);
    return cancel;
}

} // namespace pixora
