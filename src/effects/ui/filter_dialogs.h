#pragma once
// The thirteen filter windows (TForm8 to TForm20), each built on
// FilterDialog (filter_dialog.h) with its controls, resets and effect.

namespace pixora {

class WindowHost;

// Puts the filter windows in place of their start-up frames.
void InstallFilterDialogs(WindowHost& w);

} // namespace pixora
