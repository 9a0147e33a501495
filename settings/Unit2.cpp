#include "settings/Unit2.h"

#include <set>

#include "base/AccessibleModel.h"
#include "base/IntParse.h"
#include "base/Text.h"
#include "settings/Settings.h"
#include "settings/WinRegistry.h"
#include "sys/Locale.h"
#include "windows/MainWindow.h"

namespace zelvane {

namespace {

// In 96-DPI pixels, as every position and size below.
constexpr int kClientWidth = 377;
constexpr int kClientHeight = 294;
constexpr COLORREF kSilver = 0xC0C0C0;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kBlue = 0xFF0000;
constexpr COLORREF kFieldColor = 0xA8A8A8;
constexpr const char* kColorLabels[] = {"Fon", "txt", "Hed", "Def"};
constexpr int kFontFieldHeight = 16;

// The two separator lines, lowered lines along the bottoms of these boxes.
constexpr Box kBevels[] = {BoxAt(16, 68, 345, 9), BoxAt(16, 112, 345, 9)};

int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM faces) {
    // Vertical variants ("@MS Mincho") are not faces of their own.
    if (font->lfFaceName[0] != L'@') reinterpret_cast<std::set<std::wstring>*>(faces)->insert(font->lfFaceName);
    return 1;
}

}  // namespace

TForm2::TForm2(MainWindow& main) : main_(main) {
    CreateForm("Options ...", Frame::ToolWindow, false, 231, 123, kClientWidth, kClientHeight, kPanelColor);
    HideOnClose();
    Panel1 = std::make_unique<Panel>(hwnd_, 0, 0, kClientWidth, kClientHeight, kSilver, Panel::Bevel::Lowered,
                                     Panel::Bevel::Raised);
    for (const Box& b : kBevels) Panel1->AddBevelLine(b);
    Panel1->onMouseMove = [this](POINT) { Panel1MouseMove(); };
    CreateLabels();
    CreateControls();

    std::vector<PopupMenu::Item> presets;
    for (const ColorPreset& p : kColorPresets) {
        presets.push_back({p.name, p.caption, [this, &p] { SetPreviewColors(p.colors); }, false, {}});
    }
    // Below the presets, the four colour labels' commands: the keyboard's
    // way to them (Tab to the preview, then its menu key).
    presets.push_back({"", "-", nullptr, false, {}});
    for (const char* name : kColorLabels) {
        Label* label = Panel1->FindLabel(name);
        presets.push_back({name, label->text, label->onClick, false, {}});
    }
    PopupMenu1 = std::make_unique<PopupMenu>(std::move(presets));
    testtabl->onContextMenu = [this](POINT p) { PopupMenu1->Popup(hwnd_, p); };

    Timer1 = std::make_unique<Timer>(*this, 1000, false, [this] { Timer1Timer(); });
}

TForm2::~TForm2() = default;

void TForm2::CreateLabels() {
    Panel& p = *Panel1;
    p.AddLabel("Label1", 24, 8, "Цвета программы");
    p.AddLabel("Fon", 48, 32, "Цвет фона", kBlack, 54, 13);
    p.AddLabel("txt", 48, 48, "Цвет текста", kBlack, 62, 13);
    p.AddLabel("Hed", 136, 32, "Цвет заголовка", kBlack, 81, 13);
    p.AddLabel("Def", 136, 48, "Стандарт", kBlack, 47, 13);
    p.AddLabel("Label6", 24, 90, "Шрифт программы");
    p.AddLabel("Label7", 16, 163, "Частота автообновления индикатора");
    p.AddLabel("Label8", 264, 163, "сек.");
    p.AddLabel("Label2", 16, 195, "Частота автообновления списка");
    p.AddLabel("Label3", 264, 195, "сек.");
    p.AddLabel("Label4", 16, 217, "Задержка перед обновлением\r\n    после удаления процесса");
    p.AddLabel("Label5", 264, 227, "мсек.");
    p.AddLabel("ok", 296, 200, " Изменения \r\nустановлены", kBlue).visible = false;

    for (const char* name : kColorLabels) p.FindLabel(name)->onMouseMove = [this, name] { HoverLabel(name); };
    p.FindLabel("Fon")->onClick = [this] { FonClick(); };
    p.FindLabel("txt")->onClick = [this] { txtClick(); };
    p.FindLabel("Hed")->onClick = [this] { HedClick(); };
    p.FindLabel("Def")->onClick = [this] { DefClick(); };
}

void TForm2::CreateControls() {
    Panel& p = *Panel1;
    // Created in the focus order: Edit1, Edit2, testtabl, FontComboBox1,
    // Edit3, CheckBox1.
    Edit1 = Edit(p, 192, 192, 65, 17);
    Edit2 = Edit(p, 176, 224, 81, 17);
    testtabl = std::make_unique<StringGrid>(
        p.Handle(), 248, 8, 121, 57, 2, 5, 16,
        StringGrid::kNoScrollBars | StringGrid::kFlat | StringGrid::kFixedColumnWidths);
    testtabl->SetColor(0xC6DFC6);
    testtabl->SetFixedColor(kSilver);
    testtabl->SetFontColor(kBlack);
    // The list drops down below the 22-pixel field.
    FontComboBox1 = ComboBox(p, 136, 88, 225, 22 + 200, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_SORT);
    FontComboBox1.SetFieldHeight(kFontFieldHeight);
    Edit3 = Edit(p, 216, 160, 41, 17);
    CheckBox1 = CheckBox(p, 16, 136, 201, 17, "Автозапуск вместе с Windows");
    for (const Edit* edit : {&Edit1, &Edit2, &Edit3}) p.SetControlColors(edit->Handle(), kFieldColor, kBlack);
    p.SetControlColors(CheckBox1.Handle(), kSilver, kBlack);
    KeepFocusIn(Edit1.Handle());
    // Each field is called by the text painted beside it.
    auto labelText = [this](const char* label) {
        return [this, label] { return SpokenText(Panel1->FindLabel(label)->text); };
    };
    Edit1.SetAccessibleName(labelText("Label2"));
    Edit2.SetAccessibleName(labelText("Label4"));
    Edit3.SetAccessibleName(labelText("Label7"));
    FontComboBox1.SetAccessibleName(labelText("Label6"));
    CheckBox1.SetAccessibleName([box = CheckBox1] { return box.Text(); });
    testtabl->accessibleName = [] { return std::string("Образец"); };
    FillFontList();
    p.OnCommand(FontComboBox1.Handle(), CBN_SELCHANGE, [this] { FontComboBox1Change(); });

    CreateButton(Panel2, 24, 256, 97, 25, "Применить", &TForm2::Panel2Click);
    CreateButton(Panel4, 144, 256, 209, 25, "Сохранить установки по умолчанию", &TForm2::Panel4Click);
}

void TForm2::CreateButton(std::unique_ptr<Panel>& panel, int x, int y, int w, int h, const std::string& caption,
                          void (TForm2::*action)()) {
    panel = std::make_unique<Panel>(Panel1->Handle(), x, y, w, h, kSilver, Panel::Bevel::Raised, Panel::Bevel::None,
                                    caption);
    Panel* self = panel.get();
    // Any button pressed shows the panel pressed; the left button's click acts.
    panel->onMouseDown = [self](int) { self->SetInnerBevel(Panel::Bevel::Lowered); };
    panel->onMouseUp = [self](int) { self->SetInnerBevel(Panel::Bevel::None); };
    panel->onClick = [this, action] { (this->*action)(); };
    panel->SetTabStop();
}

void TForm2::FillFontList() {
    std::set<std::wstring> faces;
    {
        WindowDc dc(nullptr);
        LOGFONTW all{};
        all.lfCharSet = DEFAULT_CHARSET;
        ::EnumFontFamiliesExW(dc.Get(), &all, CollectFace, reinterpret_cast<LPARAM>(&faces), 0);
    }
    faces.insert(L"System");  // the face the list shows at first
    for (const auto& face : faces) FontComboBox1.Add(Narrow(face));
    FontComboBox1.SetSelectedIndex(FontComboBox1.FindExact("System"));
}

bool TForm2::ConfirmationVisible() const { return Panel1->FindLabel("ok")->visible; }

void TForm2::FormShow() {
    const std::string separator = UserLocaleText(LOCALE_SDECIMAL, ".");
    const SettingsInForce current = main_.CurrentSettings();
    Edit1.SetText(SecondsText(current.updateInterval, separator));
    Edit2.SetText(MillisecondsText(current.repaintInterval, separator));
    testtabl->SetColor(current.tableColor);
    testtabl->SetFixedColor(current.headerColor);
    testtabl->SetFontColor(current.fontColor);
    testtabl->SetFontName(current.fontName);
    Edit3.SetText(SecondsText(current.cpuInterval, separator));
    CheckBox1.SetChecked(current.autorunRegistered);
    GridModel& cells = testtabl->Model();
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 2; ++col) cells.SetCell(col, row, kPreviewCells[row][col]);
    }
    testtabl->Refresh();
}

void TForm2::HoverLabel(const char* name) {
    Label* label = Panel1->FindLabel(name);
    if (label->color == kBlue) return;
    label->color = kBlue;
    Panel1->Refresh();
}

void TForm2::Panel1MouseMove() {
    bool changed = false;
    for (const char* name : kColorLabels) {
        Label* label = Panel1->FindLabel(name);
        changed |= label->color != kBlack;
        label->color = kBlack;
    }
    if (changed) Panel1->Refresh();
}

void TForm2::PickColor(void (StringGrid::*set)(COLORREF)) {
    // A cancelled choice leaves the preview as it was.
    if (Colore_.Execute(hwnd_)) ((*testtabl).*set)(Colore_.Color());
}

void TForm2::FonClick() { PickColor(&StringGrid::SetColor); }
void TForm2::txtClick() { PickColor(&StringGrid::SetFontColor); }
void TForm2::HedClick() { PickColor(&StringGrid::SetFixedColor); }

void TForm2::SetPreviewColors(const PreviewColors& colors) {
    testtabl->SetColor(colors.background);
    testtabl->SetFixedColor(colors.header);
    testtabl->SetFontColor(colors.text);
}

void TForm2::FontComboBox1Change() {
    const int index = FontComboBox1.SelectedIndex();
    if (index < 0) return;
    testtabl->SetFontName(FontComboBox1.ItemText(index));
}

void TForm2::Panel2Click() {
    // Each field is converted just before its own assignment.
    main_.SetUpdateInterval(SecondsToMs(Edit1.Text()));
    main_.SetCpuInterval(SecondsToMs(Edit3.Text()));
    main_.SetRepaintInterval(static_cast<uint32_t>(StrToInt(Edit2.Text())));
    main_.SetTableColor(testtabl->Color());
    main_.SetHeaderColor(testtabl->FixedColor());
    main_.SetFontColor(testtabl->FontColor());
    main_.SetFontName(testtabl->FontName());
    Close();
}

void TForm2::Panel4Click() {
    SaveInput input{Edit3.Text(),
                    Edit1.Text(),
                    Edit2.Text(),
                    testtabl->Color(),
                    testtabl->FixedColor(),
                    testtabl->FontColor(),
                    testtabl->FontName(),
                    CheckBox1.Checked(),
                    RunningExecutablePath()};
    WinRegistry registry;
    // The flag follows what the registry now holds, so the next fill shows
    // it: a value that could not be removed is still there.
    main_.SetAutorunRegistered(SaveSettings(registry, input));
    Panel1->FindLabel("ok")->visible = true;
    Panel1->Refresh();
    // A second save within the second keeps the confirmation a full second.
    Timer1->SetEnabled(false);
    Timer1->SetEnabled(true);
    Panel2Click();
}

void TForm2::Timer1Timer() {
    Panel1->FindLabel("ok")->visible = false;
    Panel1->Refresh();
    Timer1->SetEnabled(false);
}

void TForm2::OnVisibilityChanged(bool visible) {
    if (visible) FormShow();
}

}  // namespace zelvane
