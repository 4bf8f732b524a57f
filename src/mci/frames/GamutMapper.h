#pragma once
#include <array>
#include <cstdint>

namespace mci {

// Moves packed 8-bit RGB pixels from one set of primaries to another, in linear
// light: what ffmpeg's `colorspace` filter does between two SDR transfers, done on
// the painted pixels, so a wide-gamut picture shows its colours rather than paler ones.
// Colours outside the display's gamut are clipped.
class GamutMapper {
public:
    // BT.2020 primaries to BT.709's (the display's), both with the BT.709 transfer
    // (BT.2020's own SDR transfer is the same curve).
    static const GamutMapper& bt2020ToBt709();

    // `width` x `height` pixels of `step` bytes at `stride` bytes a row; red, green
    // and blue are the bytes at those offsets in each pixel.
    void map(uint8_t* pixels, int width, int height, int stride, int step, int red, int green, int blue) const;

private:
    // Linear light in units of 1/kOne.
    static constexpr int kLinearBits = 14;
    static constexpr int kOne = 1 << kLinearBits;
    static constexpr int kMatrixBits = 12;

    explicit GamutMapper(const double (&matrix)[3][3]);

    std::array<uint16_t, 256> toLinear_ {};
    std::array<uint8_t, kOne + 1> fromLinear_ {};
    std::array<int32_t, 9> matrix_ {};
};

} // namespace mci
