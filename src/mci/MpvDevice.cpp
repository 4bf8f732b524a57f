#include "mci/MpvDevice.h"

// Placeholder until the libmpv engine lands: every element open fails cleanly.
namespace mci {

struct MpvDevice::Impl {};

MpvDevice::MpvDevice(std::string deviceType) : deviceType_(std::move(deviceType)) {}
MpvDevice::~MpvDevice() = default;

ErrorCode MpvDevice::open(const std::string& path) { return path.empty() ? MCI_OK : MCIERR_CANNOT_LOAD_DRIVER; }
void MpvDevice::close() {}
bool MpvDevice::hasElement() const { return false; }
DeviceCapabilities MpvDevice::capabilities() const
{
    DeviceCapabilities c;
    c.deviceType = deviceType_;
    return c;
}
ErrorCode MpvDevice::play(bool) { return MCIERR_NONAPPLICABLE_FUNCTION; }
ErrorCode MpvDevice::stop() { return MCIERR_NONAPPLICABLE_FUNCTION; }
ErrorCode MpvDevice::pause() { return MCIERR_NONAPPLICABLE_FUNCTION; }
ErrorCode MpvDevice::resume() { return MCIERR_NONAPPLICABLE_FUNCTION; }
ErrorCode MpvDevice::seek(int64_t) { return MCIERR_NONAPPLICABLE_FUNCTION; }
ErrorCode MpvDevice::step(int64_t) { return MCIERR_NONAPPLICABLE_FUNCTION; }
int64_t MpvDevice::position() { return 0; }
int64_t MpvDevice::length() { return 0; }
int64_t MpvDevice::nominalFrameRate1000() { return 0; }
DeviceMode MpvDevice::mode() { return DeviceMode::NotReady; }
bool MpvDevice::ready() { return false; }
int MpvDevice::volume() { return 0; }
ErrorCode MpvDevice::setVolume(int) { return MCIERR_NONAPPLICABLE_FUNCTION; }
Rect MpvDevice::source() { return {}; }
Rect MpvDevice::destination() { return {}; }
ErrorCode MpvDevice::setWindowHandle(uint64_t) { return MCIERR_NONAPPLICABLE_FUNCTION; }
ErrorCode MpvDevice::putDestination(const Rect&) { return MCIERR_NONAPPLICABLE_FUNCTION; }
ErrorCode MpvDevice::putWindow(const Rect&) { return MCIERR_NONAPPLICABLE_FUNCTION; }
ErrorCode MpvDevice::showWindow(bool) { return MCIERR_NONAPPLICABLE_FUNCTION; }
ErrorCode MpvDevice::update() { return MCIERR_NONAPPLICABLE_FUNCTION; }
ErrorCode MpvDevice::capture(const std::string&) { return MCIERR_NONAPPLICABLE_FUNCTION; }

} // namespace mci
