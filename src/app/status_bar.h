#pragma once
// The owner-drawn status bar: panel 0 (450 wide) holds hints and the pixel
// read-out, panel 1 (50 wide) the image size.

#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace pixora {

class StatusBarWidget : public QWidget {
    Q_OBJECT
public:
    explicit StatusBarWidget(QWidget* parent = nullptr);

    QString PanelText(int panel) const { return texts_[panel]; }
    void SetPanelText(int panel, const QString& text);
    // A passing note: shown in panel 0 over its text for `ms` milliseconds.
    void ShowNote(const QString& text, int ms = 6000);
    // The note shown now; empty when none.
    QString Note() const { return note_; }
    // Left edge and width of a panel.
    QRect PanelRect(int panel) const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString texts_[2];
    QString note_;
    QTimer noteTimer_;
    int widths_[2] = {450, 50};
    QPixmap picture38_, picture39_;
};

} // namespace pixora
