#pragma once
#include "mci/MciDevice.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mci {

// The installed MCI devices, in the order "sysinfo all name N" numbers them.
class MciDeviceTable {
public:
    using Factory = std::function<std::unique_ptr<MciDevice>()>;
    struct Entry {
        std::string name;   // lower case, e.g. "mpegvideo"
        std::string type;   // e.g. "digitalvideo"
        Factory create;
    };

    // avivideo, mpegvideo (the video device: our frame server's pictures, libmpv's
    // sound), waveaudio (the sound device, libmpv), cdaudio, sequencer.
    static MciDeviceTable standard();

    void add(Entry entry);
    const std::vector<Entry>& entries() const { return entries_; }
    // By device name, case-insensitive; nullptr when not installed.
    const Entry* find(const std::string& name) const;
    // The first device of a type, case-insensitive; nullptr when none.
    const Entry* findType(const std::string& type) const;

private:
    std::vector<Entry> entries_;
};

} // namespace mci
