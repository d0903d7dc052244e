#pragma once
// The owner-drawn status bar: panel 0 (450 wide) holds hints and the pixel
// read-out, panel 1 (50 wide) the image size.

#include <QPixmap>
#include <QString>
#include <QWidget>

namespace pixora {

class StatusBarWidget : public QWidget {
    Q_OBJECT
public:
    explicit StatusBarWidget(QWidget* parent = nullptr);

    QString PanelText(int panel) const { return texts_[panel]; }
    void SetPanelText(int panel, const QString& text);
    // Left edge and width of a panel.
    QRect PanelRect(int panel) const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString texts_[2];
    int widths_[2] = {450, 50};
    QPixmap picture38_, picture39_;
};

} // namespace pixora
