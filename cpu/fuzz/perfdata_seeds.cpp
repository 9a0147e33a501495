// Writes the fuzz target's seed corpus: well-formed processor blocks of a few
// shapes, into the directory given as the argument.
#include <cstdio>
#include <string>
#include <vector>

#include "cpu/PerfBlockBuilder.h"
#include "tests/host/perf_test_blocks.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: perfdata_seeds <directory>\n");
        return 2;
    }
    using namespace zelvane::perf;
    struct Shape {
        int processors;
        std::uint32_t counters;
        std::uint32_t objectsBefore;
    };
    const Shape shapes[] = {{1, 1, 0}, {2, 3, 1}, {4, 15, 0}, {8, 2, 3}};
    int n = 0;
    for (const Shape& s : shapes) {
        std::vector<std::int64_t> idle(static_cast<std::size_t>(s.processors));
        for (std::size_t i = 0; i < idle.size(); ++i) idle[i] = 123456789 + 1000 * static_cast<std::int64_t>(i);
        const ProcessorBlockContent content{{2024, 5, 3, 1, 12, 0, 30, 500}, idle, 123456789};
        const auto block = zelvane::perftest::BuildBlock(content, {s.counters, s.objectsBefore});
        const std::string path = std::string(argv[1]) + "/seed" + std::to_string(n++);
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(block.data(), 1, block.size(), f) != block.size()) return 1;
        std::fclose(f);
    }
    return 0;
}
