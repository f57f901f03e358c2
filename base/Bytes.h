// Little-endian byte buffers for the document files. A reader reports a short read as an error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kos {

class ByteWriter {
public:
    void u8(uint8_t v);
    void u16(uint16_t v);
    void u32(uint32_t v);
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void bytes(const void* data, size_t n);
    const std::string& data() const { return data_; }

private:
    std::string data_;
};

class ByteReader {
public:
    explicit ByteReader(const std::string& data) : data_(data) {}
    // The reader keeps a reference: a temporary would be gone before the first read.
    explicit ByteReader(std::string&&) = delete;
    // Each returns false (and leaves the value untouched) when fewer bytes remain.
    bool u8(uint8_t& v);
    bool u16(uint16_t& v);
    bool u32(uint32_t& v);
    bool i32(int32_t& v);
    bool bytes(void* out, size_t n);
    bool bytes(std::string& out, size_t n);
    size_t remaining() const { return data_.size() - pos_; }
    size_t position() const { return pos_; }
    bool atEnd() const { return pos_ == data_.size(); }

private:
    const std::string& data_;
    size_t pos_ = 0;
};

}  // namespace kos
