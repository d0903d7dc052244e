#include "tools/tool_set.h"

#include <algorithm>

namespace pixora {

ToolSet::ToolSet(Workspace& ws, std::span<const TToolDescription> rows) : ws_(ws) {
    for (const TToolDescription& row : rows)
        Install(row, row.Make ? row.Make() : nullptr);
    ws_.SubscribeBeforeImageReplaced([this] {
        FinishStep();
        for (const auto& tool : tools_)
            if (tool) tool->BeforeImageReplaced(ws_);
    });
}

ToolSet::~ToolSet() = default;

void ToolSet::Grow(int number) {
    const std::size_t need = static_cast<std::size_t>(number) + 1;
    if (rows_.size() < need) {
        const std::size_t from = rows_.size();
        rows_.resize(need);
        for (std::size_t i = from; i < need; ++i)
            rows_[i].Number = static_cast<int>(i);
        tools_.resize(need);
    }
}

Tool* ToolSet::For(int number) const {
    if (number < 0 || static_cast<std::size_t>(number) >= tools_.size()) return nullptr;
    return tools_[static_cast<std::size_t>(number)].get();
}

const TToolDescription& ToolSet::Row(int number) const {
    if (number < 0 || static_cast<std::size_t>(number) >= rows_.size()) return ToolDescription(-1);
    return rows_[static_cast<std::size_t>(number)];
}

void ToolSet::Install(int number, std::unique_ptr<Tool> tool) {
    if (number < 0) return;
    Grow(number);
    tools_[static_cast<std::size_t>(number)] = std::move(tool);
}

void ToolSet::Install(const TToolDescription& row, std::unique_ptr<Tool> tool) {
    if (row.Number < 0) return;
    Grow(row.Number);
    rows_[static_cast<std::size_t>(row.Number)] = row;
    tools_[static_cast<std::size_t>(row.Number)] = std::move(tool);
}

ToolSet& ToolsOf(Workspace& ws) {
    if (!ws.ToolSetStorage) ws.ToolSetStorage = std::make_unique<ToolSet>(ws);
    return static_cast<ToolSet&>(*ws.ToolSetStorage);
}

} // namespace pixora
