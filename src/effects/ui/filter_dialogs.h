#pragma once
// The thirteen filter windows (TForm8 to TForm20), each a RowDialog
// (row_dialog.h) made from its effect row: controls from the row's
// arguments, preview from its filter, "OK" with its step.

namespace pixora {

class WindowHost;

// Puts the filter windows in place of their start-up frames.
void InstallFilterDialogs(WindowHost& w);

} // namespace pixora
