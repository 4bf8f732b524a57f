#include "mci/MciErrorText.h"

#include <map>

namespace mci {

namespace {

const std::map<ErrorCode, const char*>& texts()
{
    static const std::map<ErrorCode, const char*> table = {
        {MCI_OK, "The command completed."},
        {MCIERR_INVALID_DEVICE_ID, "The device identifier is not valid."},
        {MCIERR_UNRECOGNIZED_KEYWORD, "The command contains a keyword this device does not know."},
        {MCIERR_UNRECOGNIZED_COMMAND, "The command word is not one the MCI service knows."},
        {MCIERR_HARDWARE, "The device reported a hardware problem."},
        {MCIERR_INVALID_DEVICE_NAME, "No device is open under that name, or the name is not an MCI device."},
        {MCIERR_OUT_OF_MEMORY, "There is not enough memory for this command, or too many devices are open."},
        {MCIERR_DEVICE_OPEN, "A device is already open under that name; use an alias."},
        {MCIERR_CANNOT_LOAD_DRIVER, "The device driver could not be loaded."},
        {MCIERR_MISSING_COMMAND_STRING, "The command string is empty."},
        {MCIERR_PARAM_OVERFLOW, "The reply does not fit into the buffer."},
        {MCIERR_MISSING_STRING_ARGUMENT, "A keyword of the command needs a text argument."},
        {MCIERR_BAD_INTEGER, "A number in the command is not a valid decimal integer."},
        {MCIERR_PARSER_INTERNAL, "The command parser failed internally."},
        {MCIERR_DRIVER_INTERNAL, "The device driver failed internally."},
        {MCIERR_MISSING_PARAMETER, "The command needs a parameter that is missing."},
        {MCIERR_UNSUPPORTED_FUNCTION, "The device does not support this command."},
        {MCIERR_FILE_NOT_FOUND, "The file cannot be found."},
        {MCIERR_DEVICE_NOT_READY, "The device is not ready."},
        {MCIERR_OPEN_CANCELLED, "The device was closed before its open finished."},
        {MCIERR_INTERNAL, "The MCI service failed internally."},
        {MCIERR_DRIVER, "The device driver reported an error."},
        {MCIERR_CANNOT_USE_ALL, "The name \"all\" cannot be used with this command."},
        {MCIERR_MULTIPLE, "Errors occurred on more than one device."},
        {MCIERR_EXTENSION_NOT_FOUND, "No device is bound to the file's extension; name the device."},
        {MCIERR_OUTOFRANGE, "A value in the command is out of range."},
        {MCIERR_FLAGS_NOT_COMPATIBLE, "The command combines keywords that exclude each other."},
        {MCIERR_FILE_NOT_SAVED, "The file was not saved."},
        {MCIERR_DEVICE_TYPE_REQUIRED, "The device type must be given."},
        {MCIERR_DEVICE_LOCKED, "The device is locked; close it and try again."},
        {MCIERR_DUPLICATE_ALIAS, "The alias is already in use by another open device."},
        {MCIERR_BAD_CONSTANT, "A keyword argument is not one of the allowed values."},
        {MCIERR_MUST_USE_SHAREABLE, "The device is in use; open it as shareable."},
        {MCIERR_MISSING_DEVICE_NAME, "The command needs a device name or alias."},
        {MCIERR_BAD_TIME_FORMAT, "The time format is not valid for this device."},
        {MCIERR_NO_CLOSING_QUOTE, "A quoted text in the command has no closing quote, or a file name holds a quote."},
        {MCIERR_DUPLICATE_FLAGS, "A keyword occurs more than once in the command."},
        {MCIERR_INVALID_FILE, "The file is not one this device can play."},
        {MCIERR_NULL_PARAMETER_BLOCK, "The command's parameter block is missing."},
        {MCIERR_UNNAMED_RESOURCE, "The resource has no name."},
        {MCIERR_NEW_REQUIRES_ALIAS, "A new element needs an alias."},
        {MCIERR_NOTIFY_ON_AUTO_OPEN, "Notify cannot be used with an automatically opened device."},
        {MCIERR_NO_ELEMENT_ALLOWED, "This device does not take a file name."},
        {MCIERR_NONAPPLICABLE_FUNCTION, "The command needs an open file on the device."},
        {MCIERR_ILLEGAL_FOR_AUTO_OPEN, "The command is not allowed on an automatically opened device."},
        {MCIERR_FILENAME_REQUIRED, "The command needs a file name."},
        {MCIERR_EXTRA_CHARACTERS, "The command has characters after its last argument."},
        {MCIERR_DEVICE_NOT_INSTALLED, "The named device is not installed."},
        {MCIERR_GET_CD, "The directory could not be read."},
        {MCIERR_SET_CD, "The directory could not be changed."},
        {MCIERR_SET_DRIVE, "The drive could not be changed."},
        {MCIERR_DEVICE_LENGTH, "The device or driver name is too long."},
        {MCIERR_DEVICE_ORD_LENGTH, "The device name is too long."},
        {MCIERR_NO_INTEGER, "The command needs a number."},
        {MCIERR_FILE_READ, "The file could not be read."},
        {MCIERR_FILE_WRITE, "The file could not be written."},
        {MCIERR_NO_IDENTITY, "The device has no identity."},
    };
    return table;
}

} // namespace

std::string errorText(ErrorCode code)
{
    const auto found = texts().find(code);
    if (found != texts().end())
        return found->second;
    return "Unknown MCI error " + std::to_string(code) + ".";
}

} // namespace mci
