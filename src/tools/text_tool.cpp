#include "tools/text_tool.h"

#include "tools/selection.h"

namespace pixora {

void TextTool::Chosen(ToolContext& c) {
    ForgetSelection(c.Vars);
}

} // namespace pixora
