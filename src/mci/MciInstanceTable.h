#pragma once
#include "mci/MciInstance.h"

#include <memory>
#include <string>
#include <vector>

namespace mci {

// The open instances, found by alias without regard to case, in opening order.
class MciInstanceTable {
public:
    // Each open medium holds a libmpv instance: measured here, about 20 MB resident
    // and 8 threads each, and up to 600 MB of address space. Without a bound, a
    // script of opens under new aliases exhausts the process (under a 1.5 GiB
    // address-space limit the 7th open crashed inside libmpv). The player needs one.
    static constexpr size_t MaxOpen = 4;

    ~MciInstanceTable();

    MciInstance* find(const std::string& alias);
    // Takes an opened instance; false when its alias is taken or the table is full.
    bool add(std::unique_ptr<MciInstance> instance);
    bool full() const { return instances_.size() >= MaxOpen; }
    // Closes the device and forgets the alias; false when not open.
    bool close(const std::string& alias);
    void closeAll();

    size_t size() const { return instances_.size(); }
    const MciInstance& at(size_t index) const { return *instances_[index]; }

private:
    std::vector<std::unique_ptr<MciInstance>> instances_;
};

} // namespace mci
