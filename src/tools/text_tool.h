#pragma once
// The text tool (tool 17) as far as the dispatch goes: a press stores
// nothing and leaves the view alone (its row says so), and choosing it
// ends the selection after the choice. The text itself is drawn by the
// text editor box.

#include "tools/tool.h"

namespace pixora {

class TextTool : public Tool {
public:
    void Chosen(ToolContext& c) override;
};

} // namespace pixora
