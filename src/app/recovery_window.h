#pragma once
// The window side of the recovery copies (io/recovery.h): a watch that
// keeps them up to date on a timer and on history steps, removes them on a
// clean exit, and at start-up offers "Recover" for each image a crashed run
// left behind.

#include <QDialog>
#include <vector>

#include "io/recovery.h"

class QLabel;
class QPushButton;

namespace pixora {

class TRecoveryKeeper;
class WindowHost;

// Makes the watch for the host's workspace and, once the event loop runs,
// offers the copies found (nothing is shown when there are none).
void InstallRecovery(WindowHost& host);
// The host refreshed its history menus: perhaps a history step.
void NoteRecoveryStep(WindowHost& host);
// A clean exit: this run's copies are removed.
void EndRecovery(WindowHost& host);
// The watch's keeper (tests copy at once or wait for the writes); null
// before InstallRecovery.
TRecoveryKeeper* RecoveryKeeperOf(WindowHost& host);

// "Recover Images": one row per copy with its name, size and time, and the
// buttons "Recover" ("Recover<i>") and "Discard" ("Discard<i>"); "Close"
// keeps the copies that are left for the next start.
class RecoveryDialog : public QDialog {
    Q_OBJECT
public:
    RecoveryDialog(WindowHost& host, std::vector<TRecoverable> copies);
    // Slots opened by "Recover", in the order of the clicks.
    const std::vector<int>& Recovered() const { return recovered_; }

private:
    void Done(int row, bool recover);

    WindowHost& host_;
    std::vector<TRecoverable> copies_;
    std::vector<QWidget*> rows_;
    std::vector<int> recovered_;
    int left_;
};

// Shows the dialog modally when the folder holds copies of crashed runs.
// Returns the slots recovered.
std::vector<int> OfferRecovery(WindowHost& host);

} // namespace pixora
