// The long run: table rebuilds while children start and end (with a screen
// reader that reads every row after each), CPU ticks that change the gauge
// image and hint, show and hide cycles of every window and
// Apply cycles of the settings dialog. Afterwards our RAII types hold as many
// live objects as before, a freshly created kernel handle and GDI object get
// no higher values than before (GetProcessHandleCount and GetGuiResources
// answer 0 under Wine), and the private bytes grew by less than 256 KiB.
//
// `make soak` runs the full counts (20 000 rebuilds, 20 000 ticks, 2 000 show
// and hide cycles, 1 000 Apply cycles); `make test` a hundredth of them,
// enough for a leak of one object per step to show.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <iterator>
#include <cstdlib>
#include <vector>

#include "cpu/LoadIndicator.h"
#include "gui/Accessible.h"
#include "gui/Handles.h"
#include "sys/DynCalls.h"
#include "tests/helpers/accessible_walk.h"
#include "tests/win32/ProgramFixture.h"
#include "tests/win32/reliability_support.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

// Loads that walk through every gauge image and hint.
class SweepingSampler final : public LoadSampler {
public:
    void TakeSample() override { ++tick_; }
    std::int32_t ProcessorCount() override { return 2; }
    double ProcessorLoad(std::int32_t index) override { return ((tick_ * 7 + index * 13) % 101) / 100.0; }

private:
    long tick_ = 0;
};

const char* const kKinds[] = {"KernelHandle", "FileHandle", "RegKey",     "Font",     "Brush",
                              "Bitmap",       "Pen",        "IconHandle", "MenuHandle", "Library",
                              "FindHandle",   "MemoryDc",   "ImageListHandle", "accessible object"};

// A screen reader on the table: it takes the table's object once and reads
// every row's name through the row's own object after each rebuild.
class TableReader {
public:
    explicit TableReader(HWND grid) : table_{accwalk::ClientObjectOf(grid, dyn::AccessibleObjectFromWindow())} {}

    // The rows read.
    int Read() {
        if (!table_) return 0;
        int read = 0;
        for (const accwalk::Node& row : accwalk::ChildrenOf(table_)) {
            HRESULT hr = E_FAIL;
            accwalk::NameOf(row, &hr);
            if (row.child == CHILDID_SELF && hr == S_OK) ++read;
        }
        return read;
    }

private:
    accwalk::Node table_;
};

struct Resources {
    long live[std::size(kKinds)];
    UINT_PTR freshHandle;
    UINT_PTR freshGdi;
    SIZE_T privateBytes;

    static Resources Now() {
        Resources r{{KernelHandle::LiveCount(), FileHandle::LiveCount(), RegKey::LiveCount(), Font::LiveCount(),
                     Brush::LiveCount(), Bitmap::LiveCount(), Pen::LiveCount(), IconHandle::LiveCount(),
                     MenuHandle::LiveCount(), Library::LiveCount(), FindHandle::LiveCount(),
                     MemoryDc::LiveCount(), ImageListHandle::LiveCount(), LiveAccessibleObjects()},
                    0, 0, 0};
        // A burst of fresh objects: under Wine the highest value of a burst
        // grows with the number of objects alive, whatever order the free
        // entries are reused in.
        std::vector<HANDLE> events;
        std::vector<HBRUSH> brushes;
        for (int i = 0; i < 256; ++i) {
            events.push_back(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
            brushes.push_back(::CreateSolidBrush(RGB(i, 2, 3)));
        }
        for (int i = 0; i < 256; ++i) {
            r.freshHandle = std::max(r.freshHandle, reinterpret_cast<UINT_PTR>(events[i]));
            r.freshGdi = std::max(r.freshGdi, reinterpret_cast<UINT_PTR>(brushes[i]) & 0xFFFF);  // table index
            ::CloseHandle(events[i]);
            ::DeleteObject(brushes[i]);
        }
        PROCESS_MEMORY_COUNTERS_EX pmc{};
        pmc.cb = sizeof pmc;
        ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
        // Wine 8 leaves PrivateUsage at 0; its PagefileUsage is the same figure.
        r.privateBytes = pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
        return r;
    }
};


class LongRun : public ProgramFixture {
protected:
    void ShowHideAll() {
        // The main window last, as the others are opened over it: only its
        // hiding takes the taskbar entry away, once a cycle.
        std::vector<Form*> forms = Forms();
        std::rotate(forms.begin(), forms.begin() + 1, forms.end());
        for (Form* w : forms) {
            w->Show();
            Pump(0);
            w->Hide();
            Pump(0);
        }
        form1->Show();
        Pump(0);
    }
    void ApplyOnce(int i) {
        form2->Show();
        Pump(0);
        form2->Preview().SetColor(RGB(i % 256, 100, 200));
        form2->Preview().SetFontName(i % 2 ? "Tahoma" : "MS Sans Serif");
        form2->Panel2Click();
        Pump(0);
    }
    // One of each, so that what is made once on first use counts as the start.
    void WarmUp() {
        {
            Churn churn(50, 4);  // the churn's own thread and handles count as the start too
            TableReader reader(Probe(*form1).Grid().Handle());
            for (int i = 0; i < 50; ++i) {
                form1->ListProcesses();
                reader.Read();
                Pump(0);
            }
        }
        Probe(*form1).CPUUasgeTimerTimer();
        ShowHideAll();
        ApplyOnce(0);
        ApplyOnce(1);
        Pump(200);
    }

    SweepingSampler sampler_;
};

}  // namespace

TEST_F(LongRun, NothingLeaksAndNothingGrows) {
    form1->SetSampler(&sampler_);
    Probe(*form1).CpuTimer().SetEnabled(false);  // the ticks below are the test's own
    WarmUp();
    const Resources before = Resources::Now();
    const DWORD started = ::GetTickCount();

    const int rebuilds = Sized(200, 20000), ticks = Sized(200, 20000), cycles = Sized(20, 2000),
              applies = Sized(10, 1000);
    {
        Churn churn(50, 4);
        TableReader reader(Probe(*form1).Grid().Handle());
        for (int i = 0; i < rebuilds; ++i) {
            form1->ListProcesses();
            ASSERT_GT(reader.Read(), 1) << "the reader reads the rows";
            if (i % 16 == 0) Pump(0);
        }
    }
    const auto phase = [](const char* name) {
        const Resources r = Resources::Now();
        std::printf("long run: after %s: handles %#lx, GDI %#lx, private bytes %lu\n", name,
                    static_cast<unsigned long>(r.freshHandle), static_cast<unsigned long>(r.freshGdi),
                    static_cast<unsigned long>(r.privateBytes));
    };
    phase("rebuilds");
    for (int i = 0; i < ticks; ++i) {
        Probe(*form1).CPUUasgeTimerTimer();
        if (i % 64 == 0) Pump(0);
    }
    phase("ticks");
    for (int i = 0; i < cycles; ++i) ShowHideAll();
    phase("show and hide");
    for (int i = 0; i < applies; ++i) ApplyOnce(i);
    phase("applies");
    Probe(*form1).Grid().SetColor(RGB(0xA8, 0xA8, 0xA8));  // the settings of the warm-up again
    Probe(*form1).Grid().SetFontName("MS Sans Serif");
    Pump(200);

    const Resources after = Resources::Now();
    std::printf("long run: %d rebuilds, %d ticks, %d show/hide cycles, %d applies in %lu s\n", rebuilds, ticks,
                cycles, applies, static_cast<unsigned long>((::GetTickCount() - started) / 1000));
    std::printf("long run: fresh handle %#lx -> %#lx, fresh GDI index %#lx -> %#lx, private bytes %lu -> %lu (%+ld)\n",
                static_cast<unsigned long>(before.freshHandle), static_cast<unsigned long>(after.freshHandle),
                static_cast<unsigned long>(before.freshGdi), static_cast<unsigned long>(after.freshGdi),
                static_cast<unsigned long>(before.privateBytes), static_cast<unsigned long>(after.privateBytes),
                static_cast<long>(after.privateBytes) - static_cast<long>(before.privateBytes));
    for (std::size_t k = 0; k < std::size(kKinds); ++k) EXPECT_EQ(before.live[k], after.live[k]) << kKinds[k] << " live count";
    EXPECT_LE(after.freshHandle, before.freshHandle) << "kernel handles climbed";
    EXPECT_LE(after.freshGdi, before.freshGdi) << "GDI objects climbed";
    EXPECT_LT(static_cast<long>(after.privateBytes) - static_cast<long>(before.privateBytes), 256 * 1024);
    EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors.front());
}
