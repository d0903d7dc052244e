#pragma once
// Recovery copies: what lets an unsaved image outlive a crash of the editor.
//
// Each unsaved image has at most one copy in the recovery folder
// (ws.Paths().Recovery): "<run>-<slot>.bmp", a 32-bit BMP of the image as it
// would be saved (layers composed, fourth byte kept), and "<run>-<slot>.txt",
// a small manifest naming the image's file. <run> is the process id and the
// time the run began, so copies of a crashed run are never taken for the
// copies of a later run that got the same process id. Both files are
// written through a temporary file and a rename, the image first, so a
// manifest always names a complete image. A clean exit removes its run's
// copies; copies whose process is gone are offered at the next start.

#include <optional>
#include <string>
#include <vector>

#include "doc/workspace.h"
#include "history/history_index.h"

namespace pixora {

// Every few minutes, and on every 20th history step, the unsaved images
// changed since their last copy are copied.
inline constexpr int kRecoveryIntervalSeconds = 180;
inline constexpr int kRecoveryStepInterval = 20;

// Names one running editor's copies.
struct TRecoveryRun {
    long Pid = 0;
    long long Started = 0; // milliseconds since the epoch
    std::string Prefix() const;
    static TRecoveryRun Current();
};

// What the window thread takes of an image; written on another thread.
struct TRecoveryCopy {
    int Slot = -1;
    std::string Name;     // the image's file name (its caption comes from it)
    bool HadFile = false; // the image came from (or was saved to) that file
    Bitmap Image;         // layers composed
};

// A copy of an unsaved image (layers composed); nothing for a saved or
// unused slot.
std::optional<TRecoveryCopy> TakeRecoveryCopy(Workspace& ws, int slot);

// Writes a copy's image and manifest. Throws ECodecError on failure, and
// then leaves any earlier copy of the slot as it was.
void WriteRecoveryCopy(const std::string& folder, const TRecoveryRun& run, const TRecoveryCopy& copy);
// Removes a slot's copy (after it was saved or closed).
void RemoveRecoveryCopy(const std::string& folder, const TRecoveryRun& run, int slot);
// Removes every copy of a run (a clean exit).
void RemoveRecoveryCopies(const std::string& folder, const TRecoveryRun& run);

// A copy left behind by a run that ended without removing it.
struct TRecoverable {
    std::string Manifest;
    std::string Image;
    std::string Name;
    bool HadFile = false;
    int Width = 0, Height = 0;
    long long Written = 0; // milliseconds since the epoch
    long Pid = 0;          // of the copy that wrote it
    int Slot = -1;         // in that copy
    // The undo history that copy left (its steps are on disk): the image
    // comes back at its last stored step with its steps. Manifest and Image
    // then name the recovery copy of the same image, if there is one, which
    // goes with it.
    std::optional<TLeftHistory> History;
    int Steps() const { return History ? History->Index.Count : 0; }
};

// The copies in the folder whose process is no longer running (or that
// belong to an earlier run of this process id), newest first. Manifests
// that cannot be read or that name no image are left out.
std::vector<TRecoverable> FindRecoverableImages(const std::string& folder, const TRecoveryRun& self);

// What a later run offers: the undo histories left by copies that ended
// (history/history_index.h) and the recovery copies in `folder`, one entry
// per image (a history takes the place of a copy of the same image), newest
// first.
std::vector<TRecoverable> FindRecoverable(const std::string& folder, const std::string& historyRoot,
                                          const TRecoveryRun& self);

// Opens a copy into a new slot as an unsaved image named after its file
// (Save asks for a name, offering that one); its files are removed once it
// is open. Returns the slot, or -1 after reporting why it could not be
// opened (the files are then kept).
int RecoverImage(Workspace& ws, const TRecoverable& copy);
// Removes a copy the user does not want (with its history, if any).
void DiscardRecoverable(const TRecoverable& copy);

} // namespace pixora
