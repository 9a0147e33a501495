#include "processes/KnownPaths.h"

#include <gtest/gtest.h>

#include <string>

using namespace zelvane;

TEST(KnownPaths, ReusedForTheSameProcessAndKeptWhenAPassIsCutShort) {
    KnownPaths known;
    std::string path;
    known.BeginPass();
    known.Keep(8, 100, "C:\\a.exe");
    known.Keep(12, 0, "C:\\b.exe");  // no creation time: never reused
    known.Keep(16, 300, "");         // no path yet: read again next time
    EXPECT_FALSE(known.Reuse(8, 100, path));  // only complete passes count
    known.PassComplete();

    EXPECT_TRUE(known.Reuse(8, 100, path));
    EXPECT_EQ("C:\\a.exe", path);
    EXPECT_FALSE(known.Reuse(8, 101, path));  // the identifier went to another process
    EXPECT_FALSE(known.Reuse(12, 0, path));
    EXPECT_FALSE(known.Reuse(16, 300, path));

    // A pass that an error cut short (reused, never completed), then a
    // complete one: the path is still whole.
    known.BeginPass();
    ASSERT_TRUE(known.Reuse(8, 100, path));
    known.BeginPass();
    path.clear();
    EXPECT_TRUE(known.Reuse(8, 100, path));
    EXPECT_EQ("C:\\a.exe", path);
    known.PassComplete();

    // A process missing from a complete pass is forgotten.
    known.BeginPass();
    known.PassComplete();
    EXPECT_FALSE(known.Reuse(8, 100, path));
}
