#include "mci/frames/PlayTrace.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace mci {
namespace {

// A play of hours keeps no more samples than this (the first ones).
constexpr size_t kMaxSamples = 1 << 20;

} // namespace

PlayTrace::PlayTrace() : on_(std::getenv("KELD32_MCI_TRACE") != nullptr), began_(std::chrono::steady_clock::now()) {}

void PlayTrace::heard(double sound, double picture)
{
    if (on_ && sound >= 0 && ahead_.size() < kMaxSamples)
        ahead_.push_back(float(sound - picture));
}

void PlayTrace::write() const
{
    if (!on_)
        return;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began_).count();
    std::vector<float> ahead = ahead_;
    std::sort(ahead.begin(), ahead.end());
    const double median = ahead.empty() ? 0 : ahead[ahead.size() / 2];
    const double most = ahead.empty() ? 0 : ahead.back();
    std::fprintf(stderr, "KELD32 play: shown=%lld dropped=%lld skipped=%lld seconds=%.2f ahead_median=%.3f ahead_max=%.3f\n",
                 static_cast<long long>(shown_), static_cast<long long>(dropped_), static_cast<long long>(skipped_),
                 seconds, median, most);
}

} // namespace mci
