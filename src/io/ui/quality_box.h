#pragma once

class QDialog;
class QGroupBox;
class QSlider;
class QString;

namespace pixora {

// The quality group of the lossy formats' option dialogs ("JPEG Quality",
// "WebP Quality"): a track bar 0..100 (TrackBar1) starting at `value`, with
// its number beside it (Label1), under the dialog's radio group.
QSlider* MakeQualityBox(QDialog* owner, const QString& caption, int value, QGroupBox** box = nullptr);

} // namespace pixora
