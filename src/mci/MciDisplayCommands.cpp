#include "mci/MciDisplayCommands.h"

#include "mci/MciContext.h"
#include "mci/MciInstance.h"

namespace mci {

namespace {

bool hides(const std::string& state)
{
    return state == "hide" || state == "minimize" || state == "show minimized" ||
           state == "show min noactive";
}

} // namespace

ErrorCode handlePut(MciContext& context, const MciCommand& command, std::string&)
{
    MciDevice& device = *context.instance->device;
    if (!command.has("destination at") && !command.has("window at"))
        return MCIERR_MISSING_PARAMETER;
    if (command.has("destination at")) {
        if (const ErrorCode error = device.putDestination(command.get("destination at").rect))
            return error;
    }
    if (command.has("window at"))
        return device.putWindow(command.get("window at").rect);
    return MCI_OK;
}

ErrorCode handleWindow(MciContext& context, const MciCommand& command, std::string&)
{
    MciDevice& device = *context.instance->device;
    if (!command.has("handle") && !command.has("state") && !command.has("text"))
        return MCIERR_MISSING_PARAMETER;
    if (command.has("handle")) {
        const MciValue& handle = command.get("handle");
        const uint64_t window = handle.isDefault ? 0 : static_cast<uint64_t>(handle.number);
        if (const ErrorCode error = device.setWindowHandle(window))
            return error;
    }
    if (command.has("state"))
        return device.showWindow(!hides(command.get("state").text));
    return MCI_OK;  // a caption ("text") is accepted; our windows carry none
}

ErrorCode handleUpdate(MciContext& context, const MciCommand&, std::string&)
{
    return context.instance->device->update();
}

ErrorCode handleCapture(MciContext& context, const MciCommand& command, std::string&)
{
    if (!command.has("as"))
        return MCIERR_MISSING_PARAMETER;
    const std::string& path = command.get("as").text;
    if (path.empty())
        return MCIERR_FILENAME_REQUIRED;
    return context.instance->device->capture(path);
}

} // namespace mci
