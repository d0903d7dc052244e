#pragma once
// Builds the option boxes of the painting tools (and the option windows of
// the text tool, the custom brush and the quick effects) and puts each in
// place of its start-up frame.

namespace pixora {

class WindowHost;

void MakeOptionBoxes(WindowHost& w);

} // namespace pixora
