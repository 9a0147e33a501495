#include "processes/KnownPaths.h"

#include <utility>

namespace zelvane {

bool KnownPaths::Reuse(std::uint32_t pid, std::uint64_t created, std::string& path) {
    if (!created) return false;
    const auto known = last_.find(pid);
    if (known == last_.end() || known->second.created != created) return false;
    // Copied, not moved: the last pass's entry stays whole until this pass
    // is complete.
    path = known->second.path;
    pass_.insert_or_assign(pid, known->second);
    return true;
}

void KnownPaths::Keep(std::uint32_t pid, std::uint64_t created, const std::string& path) {
    if (created && !path.empty()) pass_.insert_or_assign(pid, Known{created, path});
}

void KnownPaths::PassComplete() {
    last_ = std::move(pass_);
    pass_.clear();
}

}  // namespace zelvane
