#include "app/TrayGauge.h"

#include <optional>
#include <string>

#include "gui/ErrorReport.h"

namespace zelvane {

namespace {

// The notification-area icon as the CPU indicator sees it.
// A tick sets the gauge once for every processor instance, and only the last
// setting (the machine's total) stays on screen. The sink keeps what the tick
// set and hands it to the icon once, when the tick ends – also when it fails
// halfway, so that the icon shows what the instances before the failure set.
// The shell then redraws the icon at most once a tick, and only when its image
// changed; the taskbar is looked up once for the image and once for the hint
// (the icon listens to no broadcast, so it looks whenever it is set).
class TraySink : public LoadSink {
public:
    void SetIconIndex(int index) override { index_ = index; }
    void SetHint(const std::string& hint) override { hint_ = hint; }

    void ApplyTo(TJvTrayIcon& icon) {
        if (index_ && *index_ != icon.IconIndex()) icon.SetIconIndex(*index_);
        if (hint_) icon.SetHint(*hint_);
    }

private:
    std::optional<int> index_;
    std::optional<std::string> hint_;
};

}  // namespace

void TrayGauge::Tick(LoadSampler& sampler, const std::function<TJvTrayIcon&()>& icon) {
    TraySink sink;
    try {
        IndicatorTick(sampler, sink);
        sink.ApplyTo(icon());
    } catch (const std::exception& e) {
        // Should handing over what was set fail too (no icon window), the
        // tick's own error is the one reported.
        try {
            sink.ApplyTo(icon());
        } catch (const std::exception&) {
        }
        if (errorShown_) return;
        errorShown_ = true;
        struct Reset {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{errorShown_};
        ReportError(e);
    }
}

}  // namespace zelvane
