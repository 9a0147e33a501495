#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "base/Dpi.h"
#include "gui/Dpi.h"
#include "gui/Handles.h"
#include "gui/Surface.h"
#include "tests/win32/dpi_support.h"

namespace zelvane {
namespace {

using testing::PrefixDpi;

TEST(Dpi, TheProgramRunsPerMonitorAwareAtTheDisplaysDpi) {
    // Under Wine an unaware window looks like an aware one, and Wine 8 calls
    // every program per-monitor aware: ask the system, and read what the
    // program's manifest declares to Windows.
    EXPECT_EQ(ThreadDpiAwareness(), dpi::kPerMonitorAware);
    const HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(::LockResource(::LoadResource(nullptr, found))),
                               ::SizeofResource(nullptr, found));
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_EQ(SystemDpi(), PrefixDpi());
    const HWND probe = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(WindowDpi(probe), PrefixDpi());
    ::DestroyWindow(probe);
    EXPECT_EQ(SmallIconSize(), PrefixDpi() * 16 / 96);
}

struct Realized {
    TEXTMETRICW tm{};
    std::wstring face;
    bool raster = false;
    bool cyrillic = false;  // has the letters of "Ж"
};

Realized Realize(HFONT font) {
    WindowDc screen(nullptr);
    SelectObjectScope selected(screen.Get(), font);
    Realized r;
    wchar_t face[LF_FACESIZE] = {};
    ::GetTextMetricsW(screen.Get(), &r.tm);
    ::GetTextFaceW(screen.Get(), LF_FACESIZE, face);
    r.face = face;
    r.raster = !(r.tm.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE));
    WORD glyph = 0;
    r.cyrillic = ::GetGlyphIndicesW(screen.Get(), L"\u0416", 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) == 1 &&
                 glyph != 0xFFFF;
    return r;
}

// Every face the screen has in any character set, and the cell heights of
// the raster sizes of "MS Sans Serif" in the Cyrillic set.
void Enumerate(std::set<std::wstring>& faces, std::vector<int>& sansSizes) {
    struct Out {
        std::set<std::wstring>* faces;
        std::vector<int>* sizes;
    } out{&faces, &sansSizes};
    WindowDc screen(nullptr);
    LOGFONTW any{};
    any.lfCharSet = DEFAULT_CHARSET;
    ::EnumFontFamiliesExW(
        screen.Get(), &any,
        [](const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM o) -> int CALLBACK {
            reinterpret_cast<Out*>(o)->faces->insert(lf->lfFaceName);
            return 1;
        },
        reinterpret_cast<LPARAM>(&out), 0);
    LOGFONTW sans{};
    sans.lfCharSet = RUSSIAN_CHARSET;
    lstrcpynW(sans.lfFaceName, L"MS Sans Serif", LF_FACESIZE);
    ::EnumFontFamiliesExW(
        screen.Get(), &sans,
        [](const LOGFONTW*, const TEXTMETRICW* tm, DWORD type, LPARAM o) -> int CALLBACK {
            if (type & RASTER_FONTTYPE) reinterpret_cast<Out*>(o)->sizes->push_back(tm->tmHeight);
            return 1;
        },
        reinterpret_cast<LPARAM>(&out), 0);
}

TEST(Dpi, TextIsTheRussianRasterMsSansSerifInItsTallestSizeThatFits) {
    // The code page of a Russian Windows (or the one a run asks for in
    // ZELVANE_TEST_CODEPAGE), and Windows' own faces: Tahoma, and Marlett,
    // which draws the caption buttons' glyphs.
    const char* codePage = std::getenv("ZELVANE_TEST_CODEPAGE");
    const UINT ansi = codePage ? static_cast<UINT>(std::atoi(codePage)) : 1251u;
    EXPECT_EQ(::GetACP(), ansi);
    std::set<std::wstring> faces;
    std::vector<int> sizes;
    Enumerate(faces, sizes);
    EXPECT_TRUE(faces.count(L"Tahoma"));
    EXPECT_TRUE(faces.count(L"Marlett"));

    // The program's text font has Cyrillic letters on every code page. On
    // the Russian one it is the raster face, in the tallest of its sizes
    // whose cell is no taller than the 96-DPI cell scaled (it fits every box
    // that the 96-DPI text fits), never a size stretched.
    const int dpi = PrefixDpi();
    const Font font = MakeFont("MS Sans Serif", ScaleFontHeight(11, dpi));
    const Realized text = Realize(font.Get());
    std::printf("font at %d DPI: %ls, %s, character set %d, cell %ld px\n", dpi, text.face.c_str(),
                text.raster ? "raster" : "outline", text.tm.tmCharSet, text.tm.tmHeight);
    EXPECT_EQ(text.tm.tmCharSet, RUSSIAN_CHARSET);
    EXPECT_TRUE(text.cyrillic);
    if (ansi != 1251) {
        // No raster MS Sans Serif with Cyrillic letters there: an outline
        // face close to it, not the much wider one the mapper would take.
        EXPECT_TRUE(text.face == L"Tahoma" || text.face == L"Microsoft Sans Serif") << text.face;
        return;
    }
    ASSERT_FALSE(sizes.empty()) << "no raster MS Sans Serif with Cyrillic letters";
    EXPECT_EQ(text.face, L"MS Sans Serif");
    EXPECT_TRUE(text.raster);
    if (dpi == kBaseDpi) {
        EXPECT_EQ(text.tm.tmHeight, 13);
    }
    int tallest = 0;
    for (int s : sizes) {
        if (s <= ScaleEdge(13, dpi)) tallest = std::max(tallest, s);
    }
    EXPECT_EQ(text.tm.tmHeight, tallest) << "sizes " << ::testing::PrintToString(sizes);

    // A height far above every size (the mapper would double the tallest)
    // gives the tallest size as drawn. Letters below every size (a window on
    // a screen of a lower DPI than the system's) come in an outline face with
    // Cyrillic letters, no taller than asked.
    const Realized huge = Realize(MakeFont("MS Sans Serif", 44).Get());
    EXPECT_EQ(huge.tm.tmHeight, *std::max_element(sizes.begin(), sizes.end()));
    const Realized tiny = Realize(MakeFont("MS Sans Serif", 8).Get());
    EXPECT_FALSE(tiny.raster) << tiny.face;
    EXPECT_TRUE(tiny.cyrillic);
    EXPECT_LE(tiny.tm.tmHeight - tiny.tm.tmInternalLeading, 9);
}

}  // namespace
}  // namespace zelvane
