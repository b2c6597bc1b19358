// The six animated attributes of an imported node, in the order a node's channels are kept.
#pragma once

#include <cstdint>

enum ChannelSlot : int32_t {
    kNoChannelSlot = -1,  // the channel feeds no attribute
    kSlotRX = 0,
    kSlotRY = 1,
    kSlotRZ = 2,
    kSlotTX = 3,
    kSlotTY = 4,
    kSlotTZ = 5,
};

constexpr int32_t kChannelSlotCount = 6;
