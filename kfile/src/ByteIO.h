// Little-endian loads and stores on byte buffers.
//
// K-files are little-endian on every machine and values sit at any alignment (a dynamic
// record's values start 6 bytes into its buffer), so every multi-byte value goes through
// these byte-wise helpers rather than through a cast pointer.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

namespace kfile::bytes {

template <typename T>
T Load(const uint8_t* at) {
    static_assert(std::is_trivially_copyable_v<T>);
    using Bits = std::conditional_t<
        sizeof(T) == 8, uint64_t,
        std::conditional_t<sizeof(T) == 4, uint32_t,
                           std::conditional_t<sizeof(T) == 2, uint16_t, uint8_t>>>;
    Bits bits = 0;
    for (size_t i = 0; i < sizeof(T); ++i) {
        bits |= static_cast<Bits>(static_cast<Bits>(at[i]) << (8 * i));
    }
    T value;
    std::memcpy(&value, &bits, sizeof(T));
    return value;
}

template <typename T>
void Store(uint8_t* at, T value) {
    static_assert(std::is_trivially_copyable_v<T>);
    using Bits = std::conditional_t<
        sizeof(T) == 8, uint64_t,
        std::conditional_t<sizeof(T) == 4, uint32_t,
                           std::conditional_t<sizeof(T) == 2, uint16_t, uint8_t>>>;
    Bits bits;
    std::memcpy(&bits, &value, sizeof(T));
    for (size_t i = 0; i < sizeof(T); ++i) {
        at[i] = static_cast<uint8_t>(bits >> (8 * i));
    }
}

// Loads from an element located by a bounds check: zero when it was not there.
template <typename T>
T LoadOrZero(const uint8_t* at) {
    return at ? Load<T>(at) : T{};
}

// Stores into an element located by a bounds check: false when it was not there.
template <typename T>
bool StoreIfPresent(uint8_t* at, T value) {
    if (!at) {
        return false;
    }
    Store<T>(at, value);
    return true;
}

// Reads fields in order from a buffer of known size and never past its end. A field that does
// not fit entirely is not read; the reader then stays exhausted, so a record whose fields run
// past its length decodes exactly the fields that fit.
class Reader {
  public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}

    size_t Position() const { return position_; }
    size_t Remaining() const { return size_ - position_; }
    bool Exhausted() const { return exhausted_; }

    template <typename T>
    bool Take(T& out) {
        if (!Fits(sizeof(T))) {
            return false;
        }
        out = Load<T>(data_ + position_);
        position_ += sizeof(T);
        return true;
    }

    // The NUL-terminated text starting here, cut at the end of the buffer when no NUL follows.
    // The position does not move: callers advance by the length field the format gives.
    std::string PeekText() const {
        if (exhausted_ || position_ >= size_) {
            return {};
        }
        const auto* start = reinterpret_cast<const char*>(data_ + position_);
        size_t length = 0;
        while (length < size_ - position_ && start[length] != '\0') {
            ++length;
        }
        return std::string(start, length);
    }

    bool Skip(size_t count) {
        if (!Fits(count)) {
            return false;
        }
        position_ += count;
        return true;
    }

    const uint8_t* Here() const { return data_ + position_; }

  private:
    bool Fits(size_t count) {
        if (exhausted_ || count > size_ - position_) {
            exhausted_ = true;
            return false;
        }
        return true;
    }

    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
    bool exhausted_ = false;
};

// Writes fields in order into a buffer sized beforehand by the record's packed size.
class Writer {
  public:
    explicit Writer(uint8_t* data) : data_(data) {}

    template <typename T>
    void Put(T value) {
        Store<T>(data_ + position_, value);
        position_ += sizeof(T);
    }
    void PutBytes(const void* source, size_t count) {
        if (count > 0) {
            std::memcpy(data_ + position_, source, count);
        }
        position_ += count;
    }
    void PutText(const std::string& text) {
        PutBytes(text.data(), text.size());
        Put<uint8_t>(0);
    }
    size_t Position() const { return position_; }

  private:
    uint8_t* data_;
    size_t position_ = 0;
};

}  // namespace kfile::bytes
