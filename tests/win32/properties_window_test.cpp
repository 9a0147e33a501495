// The properties window against the real system: a sleeper_child.exe row, and
// rows whose cells the test writes (prepared files, impossible identifiers).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

#include "base/NumberFormat.h"
#include "base/Text.h"
#include "gui/Handles.h"
#include "processes/ProcessTable.h"
#include "tests/win32/ProgramFixture.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

std::string ShortDate(const SYSTEMTIME& t) {
    wchar_t buffer[64];
    const int n = ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &t, nullptr, buffer, 64);
    return Narrow(std::wstring_view(buffer, static_cast<std::size_t>(n > 0 ? n - 1 : 0)));
}

// A file of `size` bytes (sparse beyond its start) written on 4 March 2021.
class PreparedFile {
public:
    PreparedFile(const std::wstring& name, long long size) : path_(TestDirectory() + name) {
        FileHandle f(::CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        EXPECT_TRUE(f);
        DWORD written = 0;
        ::WriteFile(f.Get(), "MZ", 2, &written, nullptr);
        LARGE_INTEGER end;
        end.QuadPart = size;
        ::SetFilePointerEx(f.Get(), end, nullptr, FILE_BEGIN);
        ::SetEndOfFile(f.Get());
        SYSTEMTIME noonUtc{2021, 3, 4, 4, 12, 0, 0, 0};
        FILETIME ft;
        ::SystemTimeToFileTime(&noonUtc, &ft);
        ::SetFileTime(f.Get(), nullptr, nullptr, &ft);
    }
    ~PreparedFile() { ::DeleteFileW(path_.c_str()); }
    std::string Path() const { return Narrow(path_); }

private:
    std::wstring path_;
};

class PropertiesWindow : public ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        child_.emplace(L"sleeper_child.exe");
        ::WaitForInputIdle(child_->Handle(), kPatienceMs);
        form1->ListProcesses();
        childRow_ = RowOfPid(Table(), child_->Pid());
        ASSERT_GT(childRow_, 0);
    }
    void TearDown() override {
        child_.reset();
        ProgramFixture::TearDown();
    }

    GridModel& Table() { return Probe(*form1).Grid().Model(); }
    // The tool button's command for a row, with the error box in place.
    void ShowFor(int row) {
        Table().SelectRow(row);
        Guarded([&] { Probe(*form1).DetalInfoClick(); });
    }
    // Boxes `first` to `last` show nothing.
    void ExpectEmpty(int first = 1, int last = TForm5::kEditCount) {
        for (int k = first; k <= last; ++k) EXPECT_EQ(kEmptyParam, form5->EditText(k)) << "Edit" << k;
    }

    std::optional<ChildProcess> child_;
    int childRow_ = -1;
};

TEST_F(PropertiesWindow, ChildRowShowsItsMemoryAndItsProgramFile) {
    // The child's working set, once it has settled, before and after the fill.
    auto workingSetKb = [&] {
        PROCESS_MEMORY_COUNTERS c{};
        c.cb = sizeof c;
        EXPECT_TRUE(::GetProcessMemoryInfo(child_->Handle(), &c, sizeof c));
        return c.WorkingSetSize / 1024.0;
    };
    double before = workingSetKb();
    PumpUntil([&] {
        Pump(50);
        const double now = workingSetKb();
        return std::exchange(before, now) == now;
    });
    ShowFor(childRow_);
    const double after = workingSetKb();
    ASSERT_TRUE(errors.empty()) << errors.front();
    EXPECT_TRUE(form5->Visible());

    // The working set, against the system's own figure for the sleeping child.
    const std::string memory = form5->EditText(3);
    ASSERT_EQ(0u, memory.find(" Память (Kb): ")) << memory;
    // Written with the user's decimal separator (a comma on a Russian system).
    std::string figure = memory.substr(std::string(" Память (Kb): ").size());
    if (const auto comma = figure.find(LocaleText(LOCALE_SDECIMAL)); comma != std::string::npos)
        figure.replace(comma, LocaleText(LOCALE_SDECIMAL).size(), ".");
    const double shownKb = std::strtod(figure.c_str(), nullptr);
    EXPECT_GT(shownKb, 0);
    EXPECT_GE(shownKb, std::min(before, after));
    EXPECT_LE(shownKb, std::max(before, after));
    EXPECT_EQ(' ', memory.back());
    const char* labels[] = {" Вирт. память (Kb): ",  " Макс. вирт. память (Kb): ", " Память (Kb): ",
                            " Макс. использ. памяти (Kb): ", " Выгружаемый пул (макс.): ", " Выгружаемый пул : ",
                            " Невыгруж. пул (макс.): ", " Невыгруж. пул : ", " Ошибок стр.: "};
    for (int k = 1; k <= 9; ++k) EXPECT_EQ(0u, form5->EditText(k).find(labels[k - 1])) << form5->EditText(k);

    // The program file's date and size.
    const std::wstring exe = TestDirectory() + L"sleeper_child.exe";
    WIN32_FILE_ATTRIBUTE_DATA attr{};
    ASSERT_TRUE(::GetFileAttributesExW(exe.c_str(), GetFileExInfoStandard, &attr));
    FILETIME local;
    SYSTEMTIME t;
    ::FileTimeToLocalFileTime(&attr.ftLastWriteTime, &local);
    ::FileTimeToSystemTime(&local, &t);
    EXPECT_EQ(" Создан: " + ShortDate(t), form5->EditText(10));
    EXPECT_EQ(" Размер: " +
                  FormatNumber3(attr.nFileSizeLow / 1024.0, LocaleText(LOCALE_STHOUSAND), LocaleText(LOCALE_SDECIMAL)) +
                  " kb",
              form5->EditText(11));

    // The same identifier with a creation time one tick off is another
    // process: shown as the row's process that has ended (file facts only).
    const RowKey key = Table().Key(childRow_);
    ASSERT_NE(0u, key.created);
    Table().SetKey(childRow_, RowKey{key.id, key.created + 1});
    const std::string date = form5->EditText(10), size = form5->EditText(11);
    ShowFor(childRow_);
    ExpectEmpty(1, 9);
    EXPECT_EQ(date, form5->EditText(10));
    EXPECT_EQ(size, form5->EditText(11));
}

TEST_F(PropertiesWindow, SecondFillLeavesNothingOfTheFirst) {
    PreparedFile file(L"props_1234567.bin", 1234567);
    Table().SetCell(kColPath, childRow_, file.Path());
    ShowFor(childRow_);
    const SYSTEMTIME day{2021, 3, 4, 4, 0, 0, 0, 0};
    EXPECT_EQ(" Создан: " + ShortDate(day), form5->EditText(10));
    EXPECT_EQ(" Размер: 1" + LocaleText(LOCALE_STHOUSAND) + "205" + LocaleText(LOCALE_SDECIMAL) + "632 kb",
              form5->EditText(11));
    EXPECT_NE(kEmptyParam, form5->EditText(1));

    // No such process and no path: every box is empty again.
    Table().SetCell(kColPid, childRow_, "2000000000");
    Table().SetCell(kColPath, childRow_, "");
    ShowFor(childRow_);
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(form5->Visible());
    ExpectEmpty();

    // A process that cannot be opened still shows its file; a missing file
    // shows nothing and says nothing.
    Table().SetCell(kColPath, childRow_, file.Path());
    ShowFor(childRow_);
    ExpectEmpty(1, 9);
    EXPECT_NE(kEmptyParam, form5->EditText(10));
    EXPECT_NE(kEmptyParam, form5->EditText(11));
    Table().SetCell(kColPath, childRow_, Narrow(TestDirectory()) + "no_such_program.exe");
    ShowFor(childRow_);
    ExpectEmpty();
    EXPECT_TRUE(errors.empty());
}

TEST_F(PropertiesWindow, FilesOfFourGigabytesAndMoreShowTheirWholeSize) {
    PreparedFile file(L"props_5gib.bin", 5LL * 1024 * 1024 * 1024 + 1);
    Table().SetCell(kColPath, childRow_, file.Path());
    ShowFor(childRow_);
    const std::string th = LocaleText(LOCALE_STHOUSAND);
    EXPECT_EQ(" Размер: 5" + th + "242" + th + "880" + LocaleText(LOCALE_SDECIMAL) + "001 kb", form5->EditText(11));
}

TEST_F(PropertiesWindow, NonNumericIdentifierReportsAndKeepsTheWindowHidden) {
    Table().SetCell(kColPid, childRow_, "abc");
    ShowFor(childRow_);
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ("'abc' is not a valid integer value.", errors.front());
    EXPECT_FALSE(form5->Visible());
    ExpectEmpty();
}

TEST_F(PropertiesWindow, ShowsAtTheMainWindowsCornerAndReturnsThereAtEachPaint) {
    form1->SetPosition(100, 80);
    ShowFor(childRow_);
    Pump(20);
    auto expectHome = [&] {
        EXPECT_EQ(form1->Bounds().right, form5->Bounds().right);
        EXPECT_EQ(form1->Top() + 20, form5->Top());
    };
    expectHome();
    EXPECT_EQ(224, form5->Width());
    EXPECT_EQ(217, form5->Height());

    // Moving the main window leaves it until its next paint.
    form1->SetPosition(150, 120);
    Pump(20);
    EXPECT_EQ(80 + 20, form5->Top());
    ::RedrawWindow(form5->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    expectHome();

    // Boxes: flat, 208 x 19, 16 pixels apart, inside the client panel.
    for (int k = 1; k <= TForm5::kEditCount; ++k) {
        EXPECT_EQ((Xywh{8, 8 + 16 * (k - 1), 208, 19}), XywhOf(RectIn(form5->Edit(k), form5->Panel1().Handle())));
    }
}

}  // namespace
