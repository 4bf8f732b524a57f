#include "mci/frames/OpenCancel.h"

namespace mci {

void OpenCancel::request()
{
    std::lock_guard<std::mutex> lock(mutex_);
    requested_ = true;
    if (file_)
        file_->abandon();
}

void OpenCancel::watch(const std::shared_ptr<MediaFile>& file)
{
    std::lock_guard<std::mutex> lock(mutex_);
    file_ = file;
    if (requested_ && file_)
        file_->abandon();
}

bool OpenCancel::requested() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return requested_;
}

void OpenCancel::finish()
{
    std::lock_guard<std::mutex> lock(mutex_);
    requested_ = false;
    file_.reset();
}

} // namespace mci
