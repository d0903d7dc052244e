// The window under the desktop's palette: a dark palette reaches the side
// panels, their captions stay readable, and tool pictures get light ink.

#include <QLabel>
#include <QPainter>
#include <QStyleOptionToolButton>
#include <QToolButton>

#include "app/app_fixture.h"
#include "app/palette_style.h"

using namespace pixora;
using pixora::testing::AppTest;

namespace {

QPalette DarkPalette() {
    QPalette p(QColor(50, 50, 54)); // window colour; Qt derives the rest
    p.setColor(QPalette::WindowText, QColor(230, 230, 230));
    p.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    return p;
}

struct PaletteWindowTest : AppTest {
    QPalette saved = QApplication::palette();
    void TearDown() override {
        window.reset();
        QApplication::setPalette(saved);
    }
};

} // namespace

TEST(PaletteStyleTest, OnlyDarkGreyInkIsTurnedLight) {
    EXPECT_TRUE(IsDarkPalette(DarkPalette()));
    EXPECT_FALSE(IsDarkPalette(QPalette(QColor(0xF0, 0xF0, 0xF0))));
    QImage icon(4, 1, QImage::Format_ARGB32);
    icon.setPixel(0, 0, qRgba(0x33, 0x41, 0x55, 255)); // slate outline
    icon.setPixel(1, 0, qRgba(0, 0, 0, 128));          // half-transparent black
    icon.setPixel(2, 0, qRgba(0x25, 0x63, 0xEB, 255)); // blue fill
    icon.setPixel(3, 0, qRgba(0xF5, 0x9E, 0x0B, 255)); // amber fill
    const QImage out = LightenIconInk(icon);
    const QColor slate = QColor::fromRgba(out.pixel(0, 0));
    EXPECT_GT(slate.lightnessF(), 0.6);
    EXPECT_LT(slate.red(), slate.blue()); // the same bluish grey, light
    EXPECT_EQ(out.pixel(1, 0), qRgba(255, 255, 255, 128));
    EXPECT_EQ(out.pixel(2, 0), icon.pixel(2, 0));
    EXPECT_EQ(out.pixel(3, 0), icon.pixel(3, 0));
}

TEST_F(PaletteWindowTest, ADarkPaletteReachesTheSidePanelsAndTheirCaptionsStayReadable) {
    QApplication::setPalette(DarkPalette());
    Start();
    window->show();
    for (const char* name : {"Panel1", "Panel2"}) {
        QWidget* panel = window->findChild<QWidget*>(name);
        ASSERT_NE(panel, nullptr) << name;
        EXPECT_EQ(panel->palette().color(QPalette::Window), QColor(50, 50, 54)) << name;
    }
    // The "Tools" caption: light letters on the dark panel.
    auto* header = window->findChild<QLabel*>("Panel3");
    ASSERT_NE(header, nullptr);
    const QImage shot = header->grab().toImage();
    int light = 0, dark = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            (qGray(shot.pixel(x, y)) > 160 ? light : dark) += 1;
    EXPECT_GT(light, 15);
    EXPECT_GT(dark, light);
}

TEST_F(PaletteWindowTest, ToolPicturesAreDrawnWithLightInkOnADarkPalette) {
    QApplication::setPalette(DarkPalette());
    Start();
    auto* button = window->findChild<QToolButton*>();
    ASSERT_NE(button, nullptr);
    PaletteStyle style("Fusion");
    auto inkOf = [&](const QPalette& palette) {
        QStyleOptionToolButton opt;
        opt.initFrom(button);
        opt.palette = palette;
        opt.rect = QRect(0, 0, 32, 32);
        opt.icon = QIcon(":/icons/tool-17.svg"); // the text tool: a dark slate "T"
        opt.iconSize = QSize(24, 24);
        opt.toolButtonStyle = Qt::ToolButtonIconOnly;
        QImage canvas(32, 32, QImage::Format_ARGB32);
        canvas.fill(Qt::transparent);
        QPainter p(&canvas);
        style.drawControl(QStyle::CE_ToolButtonLabel, &opt, &p, button);
        p.end();
        int lightInk = 0, darkInk = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb c = canvas.pixel(x, y);
                if (qAlpha(c) < 200) continue;
                (qGray(c) > 150 ? lightInk : darkInk) += 1;
            }
        return std::pair{lightInk, darkInk};
    };
    const auto [darkLight, darkDark] = inkOf(DarkPalette());
    EXPECT_GT(darkLight, 20);
    EXPECT_LT(darkDark, darkLight / 4);
    const auto [lightLight, lightDark] = inkOf(QPalette(QColor(0xF0, 0xF0, 0xF0)));
    EXPECT_GT(lightDark, 20);
    EXPECT_LT(lightLight, lightDark / 4);
}
