#include "mci/MciService.h"

#include "mci/MciContext.h"
#include "mci/MciErrorText.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <system_error>
#include <strings.h>

namespace mci {
namespace {

// KELD32_MCI_TRACE=1: every command string with how long it took, for finding what
// holds a caller's thread up.
void traceCommand(const char* command, ErrorCode error, std::chrono::steady_clock::duration took)
{
    static const bool on = std::getenv("KELD32_MCI_TRACE") != nullptr;
    if (on)
        std::fprintf(stderr, "KELD32 command: %s -> %u, %.1f ms\n", command, unsigned(error),
                     std::chrono::duration<double, std::milli>(took).count());
}

} // namespace

MciService::MciService() : MciService(MciDeviceTable::standard(), MciExtensionTable::load()) {}

MciService::MciService(MciDeviceTable devices, MciExtensionTable extensions)
    : devices_(std::move(devices)), extensions_(std::move(extensions)),
      parser_(MciCommandTable::standard())
{
}

MciService::~MciService() = default;

ErrorCode MciService::sendString(const char* command, char* reply, unsigned replyLength)
{
    if (reply && replyLength > 0)
        reply[0] = '\0';
    if (!command)
        return MCIERR_MISSING_COMMAND_STRING;
    std::string text;
    const auto began = std::chrono::steady_clock::now();
    const ErrorCode error = send(command, text);
    traceCommand(command, error, std::chrono::steady_clock::now() - began);
    if (reply && replyLength > 0) {
        const size_t n = std::min<size_t>(text.size(), replyLength - 1);
        std::memcpy(reply, text.data(), n);
        reply[n] = '\0';
    }
    return error;
}

std::string MciService::errorString(ErrorCode code) const
{
    return errorText(code);
}

ErrorCode MciService::send(const std::string& command, std::string& reply)
{
    reply.clear();
    MciCommand parsed;
    if (const ErrorCode error = parser_.parse(command, parsed))
        return error;
    const bool endedAnOpen = parsed.decl->name == "close" && opening_.cancel(parsed.target, parsed.targetQuoted);
    ErrorCode error = MCI_OK;
    try {
        const std::lock_guard<std::mutex> lock(running_);
        error = run(parsed, reply);
    } catch (const std::bad_alloc&) {
        error = MCIERR_OUT_OF_MEMORY;   // never the end of the caller
    } catch (const std::system_error&) {
        error = MCIERR_DRIVER;          // no thread could be started
    }
    // The open it ended left nothing to close: the close did what it was asked.
    if (endedAnOpen && error == MCIERR_INVALID_DEVICE_NAME)
        error = MCI_OK;
    if (error != MCI_OK)
        reply.clear();  // a failed command answers nothing
    return error;
}

ErrorCode MciService::run(const MciCommand& command, std::string& reply)
{
    MciContext context{devices_, extensions_, instances_, nullptr, &opening_};
    if (command.decl->target == TargetKind::Instance) {
        if (strcasecmp(command.target.c_str(), "all") == 0 && !command.targetQuoted)
            return MCIERR_CANNOT_USE_ALL;
        context.instance = instances_.find(command.target);
        if (!context.instance)
            return MCIERR_INVALID_DEVICE_NAME;
        if (const ErrorCode error = checkElement(*context.instance, command))
            return error;
    }
    return command.decl->handler(context, command, reply);
}

// Commands that act on a medium are refused by a bare device, before it sees them.
ErrorCode MciService::checkElement(const MciInstance& instance, const MciCommand& command) const
{
    if (instance.device->hasElement())
        return MCI_OK;
    if (command.decl->needsElement)
        return MCIERR_NONAPPLICABLE_FUNCTION;
    for (const KeywordDecl& keyword : command.decl->keywords)
        if (keyword.needsElement && command.has(keyword.id))
            return MCIERR_NONAPPLICABLE_FUNCTION;
    return MCI_OK;
}

} // namespace mci
