#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace mci {

// Little-endian fields in a byte string, for the files the device writes itself.
namespace byteFields {

void putFixed(std::string& out, uint64_t value, int bytes);
void putVarint(std::string& out, uint64_t value);   // 7 bits a byte, low first
void putReal(std::string& out, double value);

} // namespace byteFields

// Reads the fields back; a field past the end (or a varint too long) fails it and
// every later one, which then read as zero.
class ByteReader {
public:
    explicit ByteReader(const std::string& bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    size_t at() const { return at_; }
    size_t left() const { return bytes_.size() - at_; }

    uint8_t byte();
    uint64_t fixed(int bytes);
    uint64_t varint();
    double real();
    std::string text(uint64_t length);

private:
    uint8_t fail();

    const std::string& bytes_;
    size_t at_ = 0;
    bool ok_ = true;
};

} // namespace mci
