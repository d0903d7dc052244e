#pragma once
// The Text Editor box (TForm37) and the text tool: every change of the
// text, the background choice, the angle, the occupation or the font shows
// the text on the view at the press point; closing the box commits it.

class QWidget;

namespace pixora {

class OptionBoxWindow;
class WindowHost;

// Connects the box's controls to the preview and its closing to the commit.
void WireTextEditor(WindowHost& w, OptionBoxWindow* box);

// A press of the text tool: shows the box, or shows the preview at the new
// point when the box is shown already.
void TextToolPressed(WindowHost& w);

} // namespace pixora
