#include "mci/MciQueryCommands.h"

#include "mci/MciCapabilityItems.h"
#include "mci/MciContext.h"
#include "mci/MciDeviceTable.h"
#include "mci/MciInstanceTable.h"

#include <strings.h>
#include <vector>

namespace mci {

namespace {

const char* boolText(bool value)
{
    return value ? "true" : "false";
}

const char* modeText(DeviceMode mode)
{
    switch (mode) {
    case DeviceMode::NotReady: return "not ready";
    case DeviceMode::Playing: return "playing";
    case DeviceMode::Paused: return "paused";
    case DeviceMode::Stopped: return "stopped";
    case DeviceMode::Seeking: return "seeking";
    }
    return "not ready";
}

std::string rectText(const Rect& r)
{
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.width) + " " +
           std::to_string(r.height);
}

std::string statusItem(MciInstance& instance, const MciCommand& command)
{
    MciDevice& device = *instance.device;
    if (command.has(Kw::Position))
        return std::to_string(instance.toCaller(device.position()));
    if (command.has(Kw::Length))
        return std::to_string(instance.toCaller(device.length()));
    if (command.has(Kw::StartPosition))
        return "0";
    if (command.has(Kw::Mode))
        return modeText(device.mode());
    if (command.has(Kw::Ready))
        return boolText(device.ready());
    if (command.has(Kw::NominalFrameRate) || command.has(Kw::FrameRate))
        return std::to_string(device.nominalFrameRate1000());
    if (command.has(Kw::TimeFormat))
        return MciTimeFormat::name(instance.timeFormat);
    if (command.has(Kw::Volume))
        return std::to_string(device.volume());
    if (command.has(Kw::Indexed))
        return std::to_string(device.indexedPercent());
    return boolText(device.hasElement());  // "media present"
}

// The names "sysinfo" counts: installed devices, or open aliases, of the target.
ErrorCode sysinfoNames(MciContext& context, const MciCommand& command, std::vector<std::string>& names)
{
    const std::string& target = command.target;
    const bool all = strcasecmp(target.c_str(), "all") == 0;
    if (!all && !context.devices.findType(target) && !context.devices.find(target))
        return MCIERR_INVALID_DEVICE_NAME;
    auto wanted = [&](const std::string& name) {
        const MciDeviceTable::Entry* entry = context.devices.find(name);
        return all || (entry && (strcasecmp(entry->type.c_str(), target.c_str()) == 0 ||
                                 strcasecmp(entry->name.c_str(), target.c_str()) == 0));
    };
    if (command.has(Kw::Open)) {
        for (size_t i = 0; i < context.instances.size(); ++i)
            if (wanted(context.instances.at(i).deviceName))
                names.push_back(context.instances.at(i).alias);
    } else {
        for (const MciDeviceTable::Entry& entry : context.devices.entries())
            if (wanted(entry.name))
                names.push_back(entry.name);
    }
    return MCI_OK;
}

} // namespace

ErrorCode handleStatus(MciContext& context, const MciCommand& command, std::string& reply)
{
    reply = statusItem(*context.instance, command);
    return MCI_OK;
}

ErrorCode handleCapability(MciContext& context, const MciCommand& command, std::string& reply)
{
    Kw asked = Kw::DeviceType;
    for (const CapabilityItem& c : capabilityItems())
        if (command.has(c.id))
            asked = c.id;
    reply = capabilityAnswer(context.instance->device->capabilities(), asked);
    return MCI_OK;
}

ErrorCode handleWhere(MciContext& context, const MciCommand& command, std::string& reply)
{
    MciDevice& device = *context.instance->device;
    reply = rectText(command.has(Kw::Source) ? device.source() : device.destination());
    return MCI_OK;
}

ErrorCode handleInfo(MciContext& context, const MciCommand& command, std::string& reply)
{
    const MciInstance& instance = *context.instance;
    reply = command.has(Kw::File) ? instance.element : "KELD32 " + instance.deviceName + " on libmpv";
    return MCI_OK;
}

ErrorCode handleSysinfo(MciContext& context, const MciCommand& command, std::string& reply)
{
    std::vector<std::string> names;
    if (const ErrorCode error = sysinfoNames(context, command, names))
        return error;
    if (command.has(Kw::Quantity)) {
        reply = std::to_string(names.size());
        return MCI_OK;
    }
    const int64_t n = command.get(Kw::Name).number;  // 1-based
    if (n < 1 || static_cast<uint64_t>(n) > names.size())
        return MCIERR_OUTOFRANGE;
    reply = names[static_cast<size_t>(n - 1)];
    return MCI_OK;
}

} // namespace mci
