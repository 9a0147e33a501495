#include "app/MainToolBar.h"

#include <vector>

#include "base/Text.h"
#include "gui/Application.h"
#include "gui/Draw.h"
#include "gui/Surface.h"

namespace zelvane {

namespace {

// In 96-DPI pixels.
constexpr int kSeparatorWidth = 8;
constexpr int kButtonWidth = 23;
constexpr int kButtonHeight = 22;
constexpr int kAutoReLoad = 1002;  // the toggle button

}  // namespace

// The buttons, left to right: command id, image (a separator's: its width),
// hint, kind, the command it calls.
struct MainToolBar::Button {
    int command;
    int image;
    const char* hint;
    ToolBar::Kind kind;
    std::function<void()> Commands::*action;
};

std::span<const MainToolBar::Button> MainToolBar::Buttons() {
    static constexpr Button kButtons[] = {
        {1001, 0, "[Обновить]", ToolBar::Kind::Button, &Commands::refresh},
        {kAutoReLoad, 1, "[Автообновление]", ToolBar::Kind::Toggle, &Commands::autoReLoad},
        {1003, 2, "[\"Убрать\" процесс]", ToolBar::Kind::Button, &Commands::kill},
        {1004, 5, "", ToolBar::Kind::Button, &Commands::search},
        {1005, 6, "Расширенная информация процессе", ToolBar::Kind::Button, &Commands::details},
        {0, kSeparatorWidth, "", ToolBar::Kind::Separator, nullptr},
        {1006, 3, "[Настройки]", ToolBar::Kind::Button, &Commands::settings},
        {0, kSeparatorWidth, "", ToolBar::Kind::Separator, nullptr},
        {1007, 4, "[About]", ToolBar::Kind::Button, &Commands::about},
    };
    return kButtons;
}

const MainToolBar::Button* MainToolBar::Find(int command) {
    for (const Button& b : Buttons()) {
        if (b.command == command && b.kind != ToolBar::Kind::Separator) return &b;
    }
    return nullptr;
}

MainToolBar::MainToolBar(Surface& main, int width, Commands commands)
    : commands_(std::move(commands)), bar_(main, 0, kTop, width, kHeight) {
    bar_.SetBounds({0, kTop, width, kTop + kHeight}, Surface::kRightFollows);
    std::vector<ToolBar::Button> buttons;
    for (const Button& b : Buttons()) buttons.push_back({b.command, b.image, b.kind});
    bar_.SetButtons(PictureKind::Toolbar, kButtonWidth, kButtonHeight, std::move(buttons));
    // Readers say each button's hint; the search button, which has none, is
    // "Поиск".
    bar_.SetAccessibleNames([] { return std::string("Панель инструментов"); }, [](int command) {
        const std::string hint = Hint(command);
        return hint.empty() ? std::string("Поиск") : hint;
    });
    bar_.TakeKeyboardFocus();
    // The strip behind the buttons in the panel colour; the keyboard focus
    // over the buttons.
    main.OnNotify(bar_.Handle(), [this](NMHDR* hdr) -> LRESULT {
        if (hdr->code != NM_CUSTOMDRAW) return CDRF_DODEFAULT;
        auto* cd = reinterpret_cast<NMTBCUSTOMDRAW*>(hdr);
        if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) {
            FillSolid(cd->nmcd.hdc, cd->nmcd.rc, kPanelColor);
            return CDRF_NOTIFYPOSTPAINT;
        }
        if (cd->nmcd.dwDrawStage == CDDS_POSTPAINT) bar_.DrawFocus(cd->nmcd.hdc);
        return CDRF_DODEFAULT;
    });
    // The automatic status text takes the hint of the button under the pointer.
    Application::Get().SetHint(bar_.Handle(), [this](POINT client) {
        const int index = bar_.HitTest(client);
        return index < 0 ? std::string() : Hint(bar_.CommandOf(index));
    });
}

std::string MainToolBar::Hint(int command) {
    const Button* b = Find(command);
    return b ? b->hint : "";
}

bool MainToolBar::AutoReLoadDown() const { return bar_.IsChecked(kAutoReLoad); }

std::optional<LRESULT> MainToolBar::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NOTIFY) {
        // The tool bar's tooltip window asks for a button's text through the
        // tool bar. It is not asked for at creation: a tool bar may make it
        // only when the mouse first comes (Wine does), which saves a window
        // at start-up.
        auto* hdr = reinterpret_cast<NMHDR*>(lp);
        if (hdr->code != TTN_GETDISPINFOW || hdr->hwndFrom != bar_.ToolTips()) return std::nullopt;
        tipText_ = Widen(Hint(static_cast<int>(hdr->idFrom)));
        reinterpret_cast<NMTTDISPINFOW*>(hdr)->lpszText = tipText_.data();
        return 0;
    }
    if (msg == WM_COMMAND && lp != 0 && reinterpret_cast<HWND>(lp) == bar_.Handle()) {
        const Button* b = Find(LOWORD(wp));
        if (!b) return std::nullopt;
        if (const auto& command = commands_.*(b->action)) command();
        return 0;
    }
    return std::nullopt;
}

}  // namespace zelvane
