#include "FakeDevice.h"

mci::ErrorCode FakeDevice::open(const std::string& path)
{
    s_.calls.push_back("open " + path);
    std::unique_lock<std::mutex> lock(s_.held.mutex);
    if (s_.held.hold) {
        s_.held.running = true;
        s_.held.changed.notify_all();
        s_.held.changed.wait(lock, [this] { return s_.held.cancelled; });
        s_.held.running = false;
        s_.held.cancelled = false;
        return mci::MCIERR_OPEN_CANCELLED;
    }
    if (s_.openResult != mci::MCI_OK)
        return s_.openResult;
    hasElement_ = !path.empty();
    return mci::MCI_OK;
}

void FakeDevice::cancelOpen()
{
    std::lock_guard<std::mutex> lock(s_.held.mutex);
    s_.held.cancelled = true;
    s_.held.changed.notify_all();
}

void HeldOpen::awaitRunning()
{
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return running; });
}

void FakeDevice::close()
{
    ++s_.closes;
    s_.calls.push_back("close");
}

mci::ErrorCode FakeDevice::log(const std::string& call)
{
    s_.calls.push_back(call);
    return mci::MCI_OK;
}

std::string FakeDevice::text(const mci::Rect& r)
{
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.width) + " " +
           std::to_string(r.height);
}
