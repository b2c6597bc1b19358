// Record bytes carved from a few large blocks: reading a take then costs a handful of
// allocations instead of one per record, and the memory behind them can come in huge pages, so
// that the read does not pay a page fault for every few records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "kfile/KFileRecord.h"

namespace kfile {

class KRecordArena {
  public:
    KRecordArena() = default;
    KRecordArena(const KRecordArena&) = delete;
    KRecordArena& operator=(const KRecordArena&) = delete;

    // What a stream of unknown length gives as the bytes left in it.
    static constexpr uint64_t kUnknownRemainder = UINT64_MAX;

    // `size` bytes (at least 1), valid as long as the arena; null when memory ran out. `bytesLeft`
    // bounds the record bytes still to come (the bytes left in the file being read): no block is
    // made larger than that, or than `size` if that is more. A known remainder is taken in
    // large blocks; without one, blocks grow with what the arena already holds, so that a short
    // stream never costs a large block.
    KBytes Carve(size_t size, uint64_t bytesLeft);

  private:
    struct BlockRelease {
        size_t size;
        void operator()(uint8_t* block) const;
    };
    using Block = std::unique_ptr<uint8_t, BlockRelease>;

    size_t NextBlockSize(size_t size, uint64_t bytesLeft) const;
    bool AddBlock(size_t size);

    std::vector<Block> blocks_;
    uint8_t* next_ = nullptr;  // the uncarved rest of the last block
    size_t left_ = 0;
    size_t capacity_ = 0;  // of all blocks together
};

}  // namespace kfile
