// The paths found in the last complete pass over the processes, by process
// identifier, each with the process's creation time. The path of a running
// process does not change, and an identifier that the system has given to
// another process since then comes with another creation time; so a process
// seen again costs no walk through its module list.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

namespace zelvane {

class KnownPaths {
public:
    // The path that the last complete pass found for process `pid` created at
    // `created` (0: unknown, never reused); it is also noted for this pass.
    bool Reuse(std::uint32_t pid, std::uint64_t created, std::string& path);
    // Notes a path read in this pass (an empty one is not kept).
    void Keep(std::uint32_t pid, std::uint64_t created, const std::string& path);
    // Ends a complete pass: what it noted becomes what the next one reuses,
    // and processes gone since are forgotten. A pass that does not get here
    // (an error cut it short) leaves the last complete pass's paths intact.
    void PassComplete();
    // Starts a pass afresh, forgetting what an unfinished one noted.
    void BeginPass() { pass_.clear(); }

private:
    struct Known {
        std::uint64_t created;
        std::string path;
    };
    std::unordered_map<std::uint32_t, Known> last_;
    std::unordered_map<std::uint32_t, Known> pass_;
};

}  // namespace zelvane
