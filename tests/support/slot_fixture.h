#pragma once
// A workspace with a recording port, and new blank images in its slots;
// with a program folder of its own (bin/save and bin/hstry made) in a
// scratch folder that goes with the test.

#include <gtest/gtest.h>

#include <string>

#include "doc/slots.h"
#include "support/fake_port.h"
#include "support/folders.h"

namespace pixora::testing {

struct SlotFixture : ::testing::Test {
    Workspace ws;
    FakePort port;
    SlotFixture() { ws.Port = &port; }

    int NewImage(int w = 8, int h = 6) {
        const int slot = ClaimSlot(ws);
        if (slot < 0) return slot;
        FillSlot(ws, slot, Bitmap(w, h), SlotSource{});
        return slot;
    }
};

struct ProgramFolderFixture : SlotFixture {
    ScratchProgramFolder dir;
    ProgramFolderFixture() { ws.SysData.ExeDir = dir.ExeDir(); }
    std::string File(const std::string& name) const { return dir.File(name); }
};

} // namespace pixora::testing
