#pragma once
#include "mci/frames/MediaFile.h"

#include <memory>
#include <mutex>

namespace mci {

// Lets another thread end an open while it runs: the file the open reads is abandoned,
// so its next read fails and the open returns soon. A request that comes before the
// file is opened is kept for it; the open clears it when it returns.
class OpenCancel {
public:
    // Any thread.
    void request();
    // The opener: the file it reads from now on.
    void watch(const std::shared_ptr<MediaFile>& file);
    bool requested() const;
    // The opener, as the open returns: a later request belongs to no open.
    void finish();

private:
    mutable std::mutex mutex_;
    bool requested_ = false;
    std::shared_ptr<MediaFile> file_;
};

} // namespace mci
