#include "mci/MciInstanceTable.h"

#include <strings.h>

namespace mci {

MciInstanceTable::~MciInstanceTable()
{
    closeAll();
}

MciInstance* MciInstanceTable::find(const std::string& alias)
{
    for (auto& instance : instances_)
        if (strcasecmp(instance->alias.c_str(), alias.c_str()) == 0)
            return instance.get();
    return nullptr;
}

bool MciInstanceTable::add(std::unique_ptr<MciInstance> instance)
{
    if (full() || find(instance->alias))
        return false;
    instances_.push_back(std::move(instance));
    return true;
}

bool MciInstanceTable::close(const std::string& alias)
{
    for (auto it = instances_.begin(); it != instances_.end(); ++it) {
        if (strcasecmp((*it)->alias.c_str(), alias.c_str()) == 0) {
            (*it)->device->close();
            instances_.erase(it);
            return true;
        }
    }
    return false;
}

void MciInstanceTable::closeAll()
{
    // Newest first, as a stack of opens unwinds.
    while (!instances_.empty()) {
        instances_.back()->device->close();
        instances_.pop_back();
    }
}

} // namespace mci
