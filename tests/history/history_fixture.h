#pragma once
// A workspace over a program folder of its own, with a recording port, for
// the history and layer tests.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "doc/slots.h"
#include "history/history_folder.h"
#include "support/fake_port.h"
#include "support/folders.h"
#include "support/pixels.h"

namespace pixora::testing {

// Also records the history menus' refresh; the workspace's "before the
// image is replaced" is recorded as "EndSelection" (see WorkspaceTest).
class HistoryPort : public FakePort {
public:
    void RefreshHistoryMenus() override { Calls.push_back("RefreshHistoryMenus"); }
    void ShowStatusNote(const std::string& text) override { Notes.push_back(text); }
    std::vector<std::string> Notes;
};

struct WorkspaceTest : ::testing::Test {
    ScratchProgramFolder folder{ScratchProgramFolder::Bare};
    std::string root = folder.Path().string();
    Workspace ws;
    HistoryPort port;

    void SetUp() override {
        ws.SysData.ExeDir = folder.ExeDir();
        ws.Port = &port;
        ws.SubscribeBeforeImageReplaced([this] { port.Calls.push_back("EndSelection"); });
        ws.CreateWorkBitmaps();
    }
    void TearDown() override { ws.Port = nullptr; }
    // Opens an image as if read from a file; returns its slot.
    int Open(const Bitmap& pixels) {
        const int slot = ClaimSlot(ws);
        SlotSource src;
        src.FileName = "/pictures/test.bmp";
        src.FromFile = true;
        FillSlot(ws, slot, Bitmap(pixels), src);
        return slot;
    }
    TImages& Slot(int i) { return ws.Images[static_cast<std::size_t>(i)]; }
    void Activate(int slot) { port.Active = slot; }
};

} // namespace pixora::testing
