#pragma once

#include <QDialog>

class QButtonGroup;

namespace pixora {

// "Pixel Format" (TForm5): 8-, 16-, 24- or 32-bit bitmap.
class PixelFormatDialog : public QDialog {
    Q_OBJECT
public:
    explicit PixelFormatDialog(QWidget* parent = nullptr);
    int ItemIndex() const;
    void SetItemIndex(int i);

protected:
    void showEvent(QShowEvent* e) override;

private:
    QButtonGroup* group_;
};

} // namespace pixora
