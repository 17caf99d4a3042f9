// A read position in a span of bytes: little-endian values, checked against
// the end. A read that would pass the end yields zeros and marks the cursor
// failed, so a reader checks Failed() once after a group of reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class ByteCursor {
public:
    ByteCursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit ByteCursor(const std::vector<uint8_t>& bytes) : data_(bytes.data()), size_(bytes.size()) {}

    size_t Size() const { return size_; }
    size_t Position() const { return position_; }
    size_t Remaining() const { return size_ - position_; }
    bool Failed() const { return failed_; }
    bool AtEnd() const { return position_ == size_; }

    bool Seek(size_t position)
    {
        if (position > size_)
            return Fail();
        position_ = position;
        return true;
    }
    bool Skip(size_t count)
    {
        if (count > Remaining())
            return Fail();
        position_ += count;
        return true;
    }

    uint8_t U8()
    {
        if (!Have(1))
            return 0;
        return data_[position_++];
    }
    uint16_t U16()
    {
        if (!Have(2))
            return 0;
        uint16_t value = uint16_t(data_[position_] | data_[position_ + 1] << 8);
        position_ += 2;
        return value;
    }
    uint32_t U32()
    {
        if (!Have(4))
            return 0;
        uint32_t value = uint32_t(data_[position_]) | uint32_t(data_[position_ + 1]) << 8 |
                         uint32_t(data_[position_ + 2]) << 16 | uint32_t(data_[position_ + 3]) << 24;
        position_ += 4;
        return value;
    }
    int16_t S16() { return int16_t(U16()); }
    int32_t S32() { return int32_t(U32()); }

    // The next `count` bytes as a cursor of their own; this one moves past them.
    ByteCursor Take(size_t count)
    {
        if (!Have(count))
            return ByteCursor(nullptr, 0);
        ByteCursor part(data_ + position_, count);
        position_ += count;
        return part;
    }

    // The next `count` bytes in place, for a library that reads them itself
    // (zlib); null when fewer remain.
    const uint8_t* Bytes(size_t count)
    {
        if (!Have(count))
            return nullptr;
        const uint8_t* bytes = data_ + position_;
        position_ += count;
        return bytes;
    }

    // The next `count` bytes, copied.
    bool CopyTo(std::vector<uint8_t>& bytes, size_t count)
    {
        if (!Have(count))
            return false;
        bytes.assign(data_ + position_, data_ + position_ + count);
        position_ += count;
        return true;
    }

    // A string ending in a NUL byte (not part of the text).
    std::string String()
    {
        std::string text;
        for (;;) {
            uint8_t byte = U8();
            if (failed_ || byte == 0)
                return text;
            text += char(byte);
        }
    }

private:
    bool Have(size_t count)
    {
        if (failed_ || count > Remaining())
            return Fail();
        return true;
    }
    bool Fail()
    {
        failed_ = true;
        return false;
    }

    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
    bool failed_ = false;
};
