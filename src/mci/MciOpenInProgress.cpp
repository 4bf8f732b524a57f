#include "mci/MciOpenInProgress.h"

#include "mci/MciDevice.h"

#include <strings.h>

namespace mci {

MciOpenInProgress::Scope::Scope(MciOpenInProgress* record, const std::string& alias, MciDevice& device)
    : record_(record)
{
    if (!record_)
        return;
    std::lock_guard<std::mutex> lock(record_->mutex_);
    record_->alias_ = alias;
    record_->device_ = &device;
}

MciOpenInProgress::Scope::~Scope()
{
    if (!record_)
        return;
    std::lock_guard<std::mutex> lock(record_->mutex_);
    record_->alias_.clear();
    record_->device_ = nullptr;
}

bool MciOpenInProgress::cancel(const std::string& target, bool targetQuoted)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!device_)
        return false;
    const bool all = !targetQuoted && strcasecmp(target.c_str(), "all") == 0;
    if (!all && strcasecmp(target.c_str(), alias_.c_str()) != 0)
        return false;
    device_->cancelOpen();
    return true;
}

} // namespace mci
