#include "mci/frames/ByteFields.h"

#include <cstring>

namespace mci {

namespace byteFields {

void putFixed(std::string& out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(char((value >> (8 * i)) & 0xff));
}

void putVarint(std::string& out, uint64_t value)
{
    while (value >= 0x80) {
        out.push_back(char(uint8_t(value) | 0x80));
        value >>= 7;
    }
    out.push_back(char(value));
}

void putReal(std::string& out, double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    putFixed(out, bits, 8);
}

} // namespace byteFields

uint8_t ByteReader::fail()
{
    ok_ = false;
    return 0;
}

uint8_t ByteReader::byte()
{
    if (!ok_ || at_ >= bytes_.size())
        return fail();
    return uint8_t(bytes_[at_++]);
}

uint64_t ByteReader::fixed(int bytes)
{
    if (!ok_ || left() < size_t(bytes))
        return fail();
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= uint64_t(uint8_t(bytes_[at_ + size_t(i)])) << (8 * i);
    at_ += size_t(bytes);
    return v;
}

uint64_t ByteReader::varint()
{
    uint64_t v = 0;
    for (int shift = 0; shift < 64 && ok_; shift += 7) {
        const uint8_t b = byte();
        v |= uint64_t(b & 0x7f) << shift;
        if (!(b & 0x80))
            return v;
    }
    return fail();
}

double ByteReader::real()
{
    const uint64_t bits = fixed(8);
    double d = 0;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

std::string ByteReader::text(uint64_t length)
{
    if (!ok_ || length > left()) {
        fail();
        return {};
    }
    std::string t = bytes_.substr(at_, size_t(length));
    at_ += size_t(length);
    return t;
}

} // namespace mci
