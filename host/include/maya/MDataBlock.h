#pragma once
// The data a node's compute works on. This stand-in evaluates plugs itself and hands
// compute an empty block; nodes that only answer "unknown parameter" need nothing more.

#include <maya/MTypes.h>

class MDataBlock {
  public:
    MDataBlock() = default;
    ~MDataBlock() = default;
    MDataBlock(const MDataBlock&) = delete;
    MDataBlock& operator=(const MDataBlock&) = delete;
};
