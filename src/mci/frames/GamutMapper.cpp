#include "mci/frames/GamutMapper.h"

#include <algorithm>
#include <cmath>

namespace mci {
namespace {

// The BT.709 curve, as ffmpeg's colorspace filter applies it for bt709 and bt2020-10.
constexpr double kAlpha = 1.099;
constexpr double kBeta = 0.018;
constexpr double kGamma = 0.45;
constexpr double kDelta = 4.5;

double linearOf(double v)
{
    return v < kBeta * kDelta ? v / kDelta : std::pow((v + kAlpha - 1.0) / kAlpha, 1.0 / kGamma);
}

double encodedOf(double l)
{
    return l < kBeta ? l * kDelta : kAlpha * std::pow(l, kGamma) - (kAlpha - 1.0);
}

// Linear BT.2020 RGB to linear BT.709 RGB: the inverse of BT.709's RGB-to-XYZ matrix
// times BT.2020's, both from their primaries and D65 white. Each row sums to one.
constexpr double kBt2020ToBt709[3][3] = {{1.660491, -0.587641, -0.072850},
                                         {-0.124550, 1.132900, -0.008349},
                                         {-0.018151, -0.100579, 1.118730}};

} // namespace

const GamutMapper& GamutMapper::bt2020ToBt709()
{
    static const GamutMapper mapper(kBt2020ToBt709);
    return mapper;
}

GamutMapper::GamutMapper(const double (&matrix)[3][3])
{
    for (size_t v = 0; v < toLinear_.size(); ++v)
        toLinear_[v] = uint16_t(std::lround(linearOf(double(v) / 255.0) * kOne));
    for (size_t l = 0; l < fromLinear_.size(); ++l)
        fromLinear_[l] = uint8_t(std::lround(encodedOf(double(l) / kOne) * 255.0));
    for (int i = 0; i < 9; ++i)
        matrix_[size_t(i)] = int32_t(std::lround(matrix[i / 3][i % 3] * (1 << kMatrixBits)));
}

void GamutMapper::map(uint8_t* pixels, int width, int height, int stride, int step, int red, int green,
                      int blue) const
{
    const int32_t* m = matrix_.data();
    constexpr int32_t kHalf = 1 << (kMatrixBits - 1);
    const auto encoded = [&](int32_t sum) {
        return fromLinear_[size_t(std::clamp((sum + kHalf) >> kMatrixBits, 0, kOne))];
    };
    for (int y = 0; y < height; ++y) {
        uint8_t* p = pixels + int64_t(y) * stride;
        for (int x = 0; x < width; ++x, p += step) {
            const int32_t r = toLinear_[p[red]];
            const int32_t g = toLinear_[p[green]];
            const int32_t b = toLinear_[p[blue]];
            p[red] = encoded(m[0] * r + m[1] * g + m[2] * b);
            p[green] = encoded(m[3] * r + m[4] * g + m[5] * b);
            p[blue] = encoded(m[6] * r + m[7] * g + m[8] * b);
        }
    }
}

} // namespace mci
