#pragma once
#include <cstdint>
#include <functional>

struct _XDisplay;

namespace mci {

// One connection of the device's own to the X server. Its protocol errors are
// told apart from every other connection's, and the loss of the server leaves it
// marked lost (every call on it then returns at once) instead of ending the process.
class XlibConnection {
public:
    XlibConnection() = default;
    ~XlibConnection();
    XlibConnection(const XlibConnection&) = delete;
    XlibConnection& operator=(const XlibConnection&) = delete;

    // False when no X server can be reached.
    bool open();
    _XDisplay* display() const { return dpy_; }
    // True once the server is gone (or was never reached).
    bool lost() const;

    // Runs the requests and tells whether the server took every one of them.
    bool succeeds(const std::function<void()>& requests);

private:
    _XDisplay* dpy_ = nullptr;
    uint64_t token_ = 0;
};

} // namespace mci
