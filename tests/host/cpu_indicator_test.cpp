// The load indicator's rule and its timer tick.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "base/Error.h"
#include "cpu/LoadIndicator.h"
#include "tests/common/error_of.h"

namespace zelvane {
namespace {

struct Case {
    double load;
    const char* text;
    int icon;
};

TEST(LoadIndicator, LoadToTextImageAndHint) {
    const Case cases[] = {
        {0.094, "9", 0},   {0.10, "10", 1},   {0.125, "12", 1},  {0.625, "62", 6},
        {0.875, "88", 8},  {0.985, "98", 10}, {0.99, "99", 11},  {1.0, "100", 11},
        {1.01, "101", 11}, {-0.03, "-3", 0},  {0.0, "0", 0},     {0.90, "90", 9},
        {0.94, "94", 9},   {0.95, "95", 10},  {0.375, "38", 3},  {-0.004, "0", 0},
    };
    for (const Case& c : cases) {
        const LoadView view = DescribeLoad(c.load);
        EXPECT_EQ(c.text, view.text) << c.load;
        EXPECT_EQ(c.icon, view.iconIndex) << c.load;
        const std::string hint = c.text == std::string("100") ? std::string("The CPU is died...:)")
                                                              : "Загрузка ЦП: " + std::string(c.text) + "%";
        EXPECT_EQ(hint, view.hint) << c.load;
    }
}

TEST(LoadIndicator, ProductIsExtendedAndHalvesGoToTheEvenNeighbour) {
    // 0.125 and 0.375 are in the table above.
    EXPECT_EQ(-12, LoadPercent(-0.125));
    EXPECT_EQ(-38, LoadPercent(-0.375));
    // The doubles nearest 0.005 and 0.025 lie just above them: in extended
    // precision the products stay above 0.5 and 2.5, where a double product
    // would round to the half itself and then down to the even 0 and 2.
    EXPECT_EQ(1, LoadPercent(0.005));
    EXPECT_EQ(3, LoadPercent(0.025));
}

TEST(LoadIndicator, ImageStepsAtTheirBounds) {
    const std::pair<int, int> steps[] = {{-2147483647 - 1, 0}, {9, 0},   {10, 1},  {19, 1},  {20, 2},
                                         {79, 7},              {80, 8},  {89, 8},  {90, 9},  {94, 9},
                                         {95, 10},             {98, 10}, {99, 11}, {2147483647, 11}};
    for (auto [percent, icon] : steps) EXPECT_EQ(icon, LoadIconIndex(percent)) << percent;
}

TEST(LoadIndicator, PercentBeyondThirtyTwoBitsRaisesTheConversionError) {
    EXPECT_EQ(2147483647, LoadPercent(21474836.47));
    EXPECT_EQ(11, DescribeLoad(21474836.47).iconIndex);
    EXPECT_EQ("'1000000000000' is not a valid integer value", test::ErrorOf([] { DescribeLoad(1e10); }));
    EXPECT_EQ(INT64_MIN, LoadPercent(1e300));
    EXPECT_EQ(INT64_MIN, LoadPercent(std::nan("")));
    EXPECT_THROW(DescribeLoad(-1e300), Error);
}

class ScriptedSampler : public LoadSampler {
public:
    std::vector<double> loads;
    int samples = 0;
    int failAt = -1;  // index whose load raises
    void TakeSample() override { ++samples; }
    std::int32_t ProcessorCount() override { return static_cast<std::int32_t>(loads.size()); }
    double ProcessorLoad(std::int32_t i) override {
        if (i == failAt) throw Error("CPU index out of bounds");
        return loads.at(static_cast<std::size_t>(i));
    }
};

class RecordingSink : public LoadSink {
public:
    int icon = -1;
    std::string hint = "untouched";
    int sets = 0;
    void SetIconIndex(int index) override { icon = index, ++sets; }
    void SetHint(const std::string& h) override { hint = h, ++sets; }
};

// No instances change nothing; the last instance stays shown; an error
// leaves the figures of the instance before it.
TEST(IndicatorTick, ShowsTheLastInstanceThatGaveItsLoad) {
    ScriptedSampler sampler;
    RecordingSink sink;
    IndicatorTick(sampler, sink);
    EXPECT_EQ(1, sampler.samples);
    EXPECT_EQ(0, sink.sets);

    sampler.loads = {0.80, 0.20};
    IndicatorTick(sampler, sink);
    EXPECT_EQ(2, sampler.samples);
    EXPECT_EQ(2, sink.icon);
    EXPECT_EQ("Загрузка ЦП: 20%", sink.hint);
    EXPECT_EQ(4, sink.sets);

    sampler.loads = {1.0, 0.5, 0.3};
    sampler.failAt = 1;
    EXPECT_THROW(IndicatorTick(sampler, sink), Error);
    EXPECT_EQ(11, sink.icon);
    EXPECT_EQ("The CPU is died...:)", sink.hint);
}

}  // namespace
}  // namespace zelvane
