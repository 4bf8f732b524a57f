#include "mci/MciDeviceTable.h"

#include "mci/MciStubDevice.h"
#include "mci/SoundDevice.h"
#include "mci/VideoDevice.h"

#include <strings.h>

namespace mci {

namespace {

MciDeviceTable::Factory video()
{
    return [] { return std::make_unique<VideoDevice>(); };
}

MciDeviceTable::Factory sound()
{
    return [] { return std::make_unique<SoundDevice>(); };
}

MciDeviceTable::Factory stub(const char* type, ErrorCode elementError)
{
    return [type, elementError] { return std::make_unique<MciStubDevice>(type, elementError); };
}

} // namespace

MciDeviceTable MciDeviceTable::standard()
{
    MciDeviceTable table;
    table.add({"avivideo", "digitalvideo", video()});
    table.add({"mpegvideo", "digitalvideo", video()});
    table.add({"waveaudio", "waveaudio", sound()});
    // No disc drive or MIDI synthesizer is driven here; they are listed so
    // that device discovery meets devices it must skip.
    table.add({"cdaudio", "cdaudio", stub("cdaudio", MCIERR_NO_ELEMENT_ALLOWED)});
    table.add({"sequencer", "sequencer", stub("sequencer", MCIERR_INVALID_FILE)});
    return table;
}

void MciDeviceTable::add(Entry entry)
{
    entries_.push_back(std::move(entry));
}

const MciDeviceTable::Entry* MciDeviceTable::find(const std::string& name) const
{
    for (const Entry& entry : entries_)
        if (strcasecmp(entry.name.c_str(), name.c_str()) == 0)
            return &entry;
    return nullptr;
}

const MciDeviceTable::Entry* MciDeviceTable::findType(const std::string& type) const
{
    for (const Entry& entry : entries_)
        if (strcasecmp(entry.type.c_str(), type.c_str()) == 0)
            return &entry;
    return nullptr;
}

} // namespace mci
