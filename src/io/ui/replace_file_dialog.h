#pragma once

#include <QDialog>

namespace pixora {

// "Replace File?" (TForm53): "Yes" accepts, "No" rejects.
class ReplaceFileDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReplaceFileDialog(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* e) override;
};

} // namespace pixora
