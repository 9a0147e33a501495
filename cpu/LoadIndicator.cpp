#include "cpu/LoadIndicator.h"

#include <cstdint>
#include <cmath>

#include "base/IntParse.h"

namespace zelvane {

std::int64_t LoadPercent(double load) {
    // The constant is single precision, the product extended; under the
    // default rounding mode llrintl rounds to nearest, ties to even.
    constexpr float kHundred = 100.0f;
    const long double product = static_cast<long double>(load) * kHundred;
    constexpr long double kLimit = 9223372036854775808.0L;  // 2^63
    if (!(product >= -kLimit && product < kLimit - 0.5L)) return INT64_MIN;  // NaN too
    return std::llrint(product);
}

int LoadIconIndex(std::int32_t percent) {
    if (percent <= 9) return 0;
    if (percent <= 89) return percent / 10;
    if (percent <= 94) return 9;
    if (percent <= 98) return 10;
    return 11;
}

std::string LoadHint(const std::string& loadText) {
    if (loadText == "100") return kCpuDiedHint;
    return kCpuLoadHintPrefix + loadText + "%";
}

LoadView DescribeLoad(double load) {
    LoadView view;
    view.text = std::to_string(LoadPercent(load));
    view.iconIndex = LoadIconIndex(StrToInt(view.text));
    view.hint = LoadHint(view.text);
    return view;
}

void IndicatorTick(LoadSampler& sampler, LoadSink& sink) {
    sampler.TakeSample();
    const std::int32_t count = sampler.ProcessorCount();
    for (std::int32_t i = 0; i < count; ++i) {
        const LoadView view = DescribeLoad(sampler.ProcessorLoad(i));
        sink.SetIconIndex(view.iconIndex);
        sink.SetHint(view.hint);
    }
}

}  // namespace zelvane
