#include "mci/MciOpenCommands.h"

#include "mci/MciContext.h"
#include "mci/MciDeviceTable.h"
#include "mci/MciExtensionTable.h"
#include "mci/MciInstanceTable.h"
#include "mci/MciOpenInProgress.h"
#include "mci/frames/FreedMemory.h"

#include <strings.h>

namespace mci {

namespace {

// What an open names: a device, a file, or both.
struct OpenRequest {
    std::string device;
    std::string element;
    bool deviceNamed = false;   // by DEVICE!ELEMENT, "type" or the extension table: a missing one is not installed
};

// DEVICE!ELEMENT splits at the first "!" outside the quoted part.
bool splitDeviceElement(const MciCommand& command, OpenRequest& request)
{
    const std::string& target = command.target;
    const size_t bang = target.find('!');
    if (bang == std::string::npos || bang == 0 || bang >= command.targetQuotedFrom)
        return false;
    request.device = target.substr(0, bang);
    request.element = target.substr(bang + 1);
    request.deviceNamed = true;
    return true;
}

std::string extensionOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) || dot + 1 == path.size())
        return {};
    return path.substr(dot + 1);
}

bool looksLikeFile(const std::string& target)
{
    return target.find_first_of("./") != std::string::npos;
}

ErrorCode resolveRequest(const MciContext& context, const MciCommand& command, OpenRequest& request)
{
    if (!splitDeviceElement(command, request)) {
        if (!command.targetQuoted && context.devices.find(command.target))
            request.device = command.target;
        else
            request.element = command.target;
    }
    if (command.has(Kw::Type)) {
        if (!request.device.empty() && !request.element.empty())
            return MCIERR_FLAGS_NOT_COMPATIBLE;
        request.device = command.get(Kw::Type).text;
        request.deviceNamed = true;
        return MCI_OK;
    }
    if (!request.device.empty())
        return MCI_OK;
    if (request.element.empty())
        return MCIERR_FILENAME_REQUIRED;
    if (!command.targetQuoted && !looksLikeFile(request.element))
        return MCIERR_INVALID_DEVICE_NAME;  // a bare word that names no installed device
    request.device = context.extensions.deviceFor(extensionOf(request.element));
    request.deviceNamed = true;
    return request.device.empty() ? MCIERR_EXTENSION_NOT_FOUND : MCI_OK;
}

const MciDeviceTable::Entry* findDevice(const MciDeviceTable& devices, const std::string& name)
{
    const MciDeviceTable::Entry* entry = devices.find(name);
    return entry ? entry : devices.findType(name);
}

} // namespace

ErrorCode handleOpen(MciContext& context, const MciCommand& command, std::string&)
{
    OpenRequest request;
    if (const ErrorCode error = resolveRequest(context, command, request))
        return error;
    const MciDeviceTable::Entry* entry = findDevice(context.devices, request.device);
    if (!entry)
        return request.deviceNamed ? MCIERR_DEVICE_NOT_INSTALLED : MCIERR_INVALID_DEVICE_NAME;

    auto instance = std::make_unique<MciInstance>();
    instance->alias = command.has(Kw::Alias) ? command.get(Kw::Alias).text : command.target;
    if (instance->alias.empty())
        return MCIERR_MISSING_STRING_ARGUMENT;
    if (strcasecmp(instance->alias.c_str(), "all") == 0)
        return MCIERR_CANNOT_USE_ALL;
    if (context.instances.find(instance->alias))
        return command.has(Kw::Alias) ? MCIERR_DUPLICATE_ALIAS : MCIERR_DEVICE_OPEN;
    if (context.instances.full())
        return MCIERR_OUT_OF_MEMORY;

    instance->deviceName = entry->name;
    instance->element = request.element;
    instance->device = entry->create();
    if (!instance->device)
        return MCIERR_CANNOT_LOAD_DRIVER;
    ErrorCode error = MCI_OK;
    {
        const MciOpenInProgress::Scope opening(context.opening, instance->alias, *instance->device);
        error = instance->device->open(request.element);
    }
    // Dropped only once a close from another thread can no longer reach it.
    if (error) {
        instance.reset();
        giveBackFreedMemory();
        return error;
    }
    return context.instances.add(std::move(instance)) ? MCI_OK : MCIERR_INTERNAL;
}

ErrorCode handleClose(MciContext& context, const MciCommand& command, std::string&)
{
    bool closed = true;
    if (strcasecmp(command.target.c_str(), "all") == 0 && !command.targetQuoted)
        context.instances.closeAll();
    else
        closed = context.instances.close(command.target);
    // Only once the device itself is gone: its index and caches are freed last, and
    // after big frees the heap no longer shrinks by itself (a queue would otherwise
    // carry the largest medium's memory from one entry to the next).
    giveBackFreedMemory();
    return closed ? MCI_OK : MCIERR_INVALID_DEVICE_NAME;
}

} // namespace mci
