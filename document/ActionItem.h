#pragma once

// One slot of the action table; its slot number is the action index.
struct ActionItem {
    char text[512];  // empty (first byte 0) marks a deleted slot; as long as a name slot
};

static_assert(sizeof(ActionItem) == 512, "action slots are 512 bytes");
