#pragma once
#include <string>
#include <vector>

namespace mci {

// Which MCI device plays a file extension: the section "mci extensions" of
// $XDG_CONFIG_HOME/Vantu/win.ini when that file exists, else a built-in table
// of what libmpv plays.
class MciExtensionTable {
public:
    struct Entry {
        std::string extension;  // as written, without the dot
        std::string device;     // as written
    };

    MciExtensionTable() = default;
    explicit MciExtensionTable(std::vector<Entry> entries);

    static MciExtensionTable builtIn();
    // The entries of section "mci extensions" (name matched without regard to case), in file order.
    static MciExtensionTable fromIniText(const std::string& text);
    // $XDG_CONFIG_HOME/Vantu/win.ini; XDG_CONFIG_HOME unset or relative means ~/.config.
    static std::string iniPath();
    // The file when it exists and can be read, else the built-in table.
    static MciExtensionTable load();

    const std::vector<Entry>& entries() const { return entries_; }
    // The device of the first entry for the extension (case-insensitive, no dot); empty when none.
    std::string deviceFor(const std::string& extension) const;

private:
    std::vector<Entry> entries_;
};

} // namespace mci
