#pragma once
// A workspace with a recording port, and new blank images in its slots.

#include <gtest/gtest.h>

#include "doc/slots.h"
#include "support/fake_port.h"

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

} // namespace pixora::testing
