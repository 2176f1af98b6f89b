#pragma once

// One slot of the action table; its slot number is the action index.
struct ActionItem {
    char text[128];  // empty (first byte 0) marks a deleted slot
};

static_assert(sizeof(ActionItem) == 128, "action slots are 128 bytes");
