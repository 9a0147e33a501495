// The CPU load indicator's rule: a processor's load becomes a whole
// percentage, its text, one of the twelve gauge images and the icon's hint;
// and the timer tick that applies it to every processor instance in turn.
#pragma once

#include <cstdint>
#include <string>

namespace zelvane {

inline constexpr const char* kCpuDiedHint = "The CPU is died...:)";
inline constexpr const char* kCpuLoadHintPrefix = "Загрузка ЦП: ";

// The load × 100 in extended precision, rounded to nearest, ties to even
// (0.125 gives 12, 0.875 gives 88). A product outside the 64-bit range gives
// the smallest 64-bit integer, as the processor's conversion does.
std::int64_t LoadPercent(double load);

// The gauge image for a whole percentage: 0 up to 9, one per ten points up to
// 89, then 9 (90-94), 10 (95-98), 11 (99 and up).
int LoadIconIndex(std::int32_t percent);

// "The CPU is died...:)" for exactly "100", otherwise "Загрузка ЦП: <text>%".
std::string LoadHint(const std::string& loadText);

struct LoadView {
    std::string text;  // LoadText
    int iconIndex = 0;
    std::string hint;
};

// All of the above for one load. The image comes from the 32-bit integer read
// back from the text; a percentage outside that range raises the conversion's
// error ("'<text>' is not a valid integer value").
LoadView DescribeLoad(double load);

// What the tick reads: CpuUsageSampler's three operations.
class LoadSampler {
public:
    virtual ~LoadSampler() = default;
    virtual void TakeSample() = 0;
    virtual std::int32_t ProcessorCount() = 0;
    virtual double ProcessorLoad(std::int32_t index) = 0;
};

// What the tick writes: the tray icon's image and hint.
class LoadSink {
public:
    virtual ~LoadSink() = default;
    virtual void SetIconIndex(int index) = 0;
    virtual void SetHint(const std::string& hint) = 0;
};

// One tick of the indicator: a new sample, then every instance in order sets
// the image and the hint, so that the last instance's figure stays shown. An
// error leaves at once (the image and hint keep what they last received) and
// reaches the caller.
void IndicatorTick(LoadSampler& sampler, LoadSink& sink);

}  // namespace zelvane
