#pragma once

namespace mci {

class MciDeviceTable;
class MciExtensionTable;
class MciInstanceTable;
class MciOpenInProgress;
struct MciInstance;

// What a command handler may reach: the installed devices, the extension
// table, the open instances and the instance the command addresses (if any).
struct MciContext {
    const MciDeviceTable& devices;
    const MciExtensionTable& extensions;
    MciInstanceTable& instances;
    MciInstance* instance = nullptr;
    MciOpenInProgress* opening = nullptr;   // where an open says what it opens
};

} // namespace mci
