#pragma once
// The desktop's own style, with one change for dark palettes: the dark grey
// ink of the program's tool-button icons is drawn light, so that tool and
// effect pictures stay visible on dark panels. Colours, and every other part of the
// style, are left as the desktop draws them.

#include <QImage>
#include <QProxyStyle>

namespace pixora {

// True when the palette's window colour is dark.
bool IsDarkPalette(const QPalette& palette);

// The picture with its dark, nearly grey pixels turned to the same hue at
// the opposite lightness; coloured and transparent pixels stay as they are.
QImage LightenIconInk(const QImage& picture);

class PaletteStyle : public QProxyStyle {
public:
    // Wraps the style named `key` (empty: the application's style now).
    explicit PaletteStyle(const QString& key = QString());

    // Tool-button pictures (tool bar, tool and effect panels) on a dark
    // palette are drawn with light ink; pictures elsewhere (the image, the
    // layer strip) are never touched.
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};

} // namespace pixora
