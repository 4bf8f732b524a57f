#include "FakeDevice.h"

mci::ErrorCode FakeDevice::open(const std::string& path)
{
    s_.calls.push_back("open " + path);
    if (s_.openResult != mci::MCI_OK)
        return s_.openResult;
    hasElement_ = !path.empty();
    return mci::MCI_OK;
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
