#pragma once
#include "mci/MciInstance.h"

#include <memory>
#include <string>
#include <vector>

namespace mci {

// The open instances, found by alias without regard to case, in opening order.
class MciInstanceTable {
public:
    ~MciInstanceTable();

    MciInstance* find(const std::string& alias);
    // Takes an opened instance; false when its alias is taken.
    bool add(std::unique_ptr<MciInstance> instance);
    // Closes the device and forgets the alias; false when not open.
    bool close(const std::string& alias);
    void closeAll();

    size_t size() const { return instances_.size(); }
    const MciInstance& at(size_t index) const { return *instances_[index]; }

private:
    std::vector<std::unique_ptr<MciInstance>> instances_;
};

} // namespace mci
