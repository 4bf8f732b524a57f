#pragma once
#include <mutex>
#include <string>

namespace mci {

class MciDevice;

// The open that runs now, if any: a close of its alias (or of all) from another
// thread asks its device to end the open, instead of waiting behind it.
class MciOpenInProgress {
public:
    // For as long as it lives, `device` is being opened as `alias`.
    class Scope {
    public:
        Scope(MciOpenInProgress* record, const std::string& alias, MciDevice& device);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        MciOpenInProgress* record_;
    };

    // True when a running open was asked to end: `target` names its alias, or is "all".
    bool cancel(const std::string& target, bool targetQuoted);

private:
    std::mutex mutex_;
    std::string alias_;
    MciDevice* device_ = nullptr;
};

} // namespace mci
