#include "windows/Unit5.h"

#include <windows.h>
#include <psapi.h>

#include <cstdint>

#include "base/AccessibleModel.h"
#include "base/IntParse.h"
#include "base/NumberFormat.h"
#include "base/Text.h"
#include "processes/ProcessActions.h"
#include "processes/ProcessSnapshot.h"
#include "processes/ProcessTable.h"
#include "sys/Locale.h"
#include "windows/MainWindow.h"

namespace zelvane {

namespace {

constexpr int kEditLeft = 8;
constexpr int kEditTop = 8;
constexpr int kEditStep = 16;  // each box overlaps the next by 3 pixels
constexpr int kEditWidth = 208;
constexpr int kEditHeight = 19;

// Query information and read memory: what GetProcessMemoryInfo needs.
constexpr DWORD kProcessInfoAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;  // 0x0410

// The label each box's text starts with once it is filled.
constexpr const char* kBoxLabels[TForm5::kEditCount] = {
    " Вирт. память (Kb): ",       " Макс. вирт. память (Kb): ", " Память (Kb): ",
    " Макс. использ. памяти (Kb): ", " Выгружаемый пул (макс.): ", " Выгружаемый пул : ",
    " Невыгруж. пул (макс.): ",    " Невыгруж. пул : ",          " Ошибок стр.: ",
    " Создан: ",                   " Размер: ",
};

}  // namespace

TForm5::TForm5(MainWindow& main) : main_(main) {
    CreateBorderless({.windowText = "ProcsInfo", .width = 224, .height = 217, .color = RGB(184, 206, 228),
                      .caption = "Информация", .stayOnTop = true});

    // In tab order Edit1 ... Edit11.
    for (int k = 1; k <= kEditCount; ++k) {
        zelvane::Edit& edit = edits_[static_cast<std::size_t>(k - 1)];
        edit = zelvane::Edit(Panel1(), kEditLeft, kEditTop + kEditStep * (k - 1), kEditWidth, kEditHeight);
        Panel1().SetControlColors(edit.Handle(), kPanelColor);
        // Readers call a box by the label its text carries, and by the label
        // it will carry while it holds none.
        edit.SetAccessibleName([this, k] {
            const std::string label = FieldLabelOf(EditText(k));
            return label.empty() ? FieldLabelOf(kBoxLabels[k - 1]) : label;
        });
    }
    // A reader names the first box as the window opens, and Tab goes on from it.
    KeepFocusIn(edits_[0].Handle());
}

POINT TForm5::HomePosition() const { return BelowTopRightOf(main_.Placement(), MainWindow::kBelowTop); }

void TForm5::FormPaint() {
    // Moving a window does not invalidate it, so this paint does not come back.
    const POINT home = HomePosition();
    const RECT r = Bounds();
    if (r.left != home.x || r.top != home.y) SetPosition(home.x, home.y);
}

LRESULT TForm5::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_WINDOWPOSCHANGING) {
        // Appear at the place of the first paint, not somewhere else first.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
        if (pos->flags & SWP_SHOWWINDOW) {
            const POINT home = HomePosition();
            pos->x = home.x;
            pos->y = home.y;
            pos->flags &= ~SWP_NOMOVE;
        }
    }
    return BorderlessForm::WndProc(msg, wp, lp);
}

namespace {

// Date and size of the program file, in boxes 10 and 11. A path that finds
// nothing, or a date the system cannot convert, leaves the boxes not reached.
void FillFileInfo(TForm5& info, const std::string& path) {
    WIN32_FIND_DATAW entry{};
    {
        FindHandle search(::FindFirstFileW(Widen(path).c_str(), &entry));
        if (!search) return;
    }
    FILETIME local{};
    SYSTEMTIME time{};
    wchar_t date[64];
    if (!::FileTimeToLocalFileTime(&entry.ftLastWriteTime, &local) || !::FileTimeToSystemTime(&local, &time)) return;
    const int n = ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, 64);
    if (n <= 0) return;
    info.SetEditText(10, kBoxLabels[9] + Narrow(std::wstring_view(date, static_cast<std::size_t>(n - 1))));

    // The full 64-bit size: files of 4 GiB and more show their real size.
    const std::uint64_t size = (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
    info.SetEditText(11, kBoxLabels[10] +
                             FormatNumber3(static_cast<double>(size) / 1024, UserLocaleText(LOCALE_STHOUSAND, ","),
                                           UserLocaleText(LOCALE_SDECIMAL, ".")) +
                             " kb");
}

void FillMemoryInfo(TForm5& info, const PROCESS_MEMORY_COUNTERS& c) {
    const double values[9] = {
        c.PagefileUsage / 1024.0,
        c.PeakPagefileUsage / 1024.0,
        c.WorkingSetSize / 1024.0,
        c.PeakWorkingSetSize / 1024.0,
        static_cast<double>(c.QuotaPeakPagedPoolUsage),
        static_cast<double>(c.QuotaPagedPoolUsage),
        static_cast<double>(c.QuotaPeakNonPagedPoolUsage),
        static_cast<double>(c.QuotaNonPagedPoolUsage),
        static_cast<double>(c.PageFaultCount),
    };
    const std::string decimal = UserLocaleText(LOCALE_SDECIMAL, ".");
    for (int k = 1; k <= 9; ++k) {
        info.SetEditText(k, kBoxLabels[k - 1] + FormatGeneral(values[k - 1], decimal) + " ");
    }
}

}  // namespace

void TForm5::FillProcessInfo(const GridModel& table, int row) {
    for (int k = 1; k <= kEditCount; ++k) SetEditText(k, kEmptyParam);

    const RowKey key = table.Key(row);
    const auto pid = static_cast<DWORD>(StrToInt(table.Cell(kColPid, row)));
    KernelHandle process(::OpenProcess(kProcessInfoAccess, FALSE, pid));
    // A process that has since taken over the identifier is not the row's:
    // shown as the row's process that has ended.
    if (process && !IsRowProcess(pid, key, ProcessCreationTime(process.Get()))) process.Reset();

    if (const std::string& path = table.Cell(kColPath, row); !path.empty()) FillFileInfo(*this, path);

    PROCESS_MEMORY_COUNTERS counters{};
    if (process && QueryProcessMemoryInfo(process.Get(), counters)) FillMemoryInfo(*this, counters);
}

}  // namespace zelvane
