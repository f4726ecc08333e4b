// Shows a page of the gallery: the first without arguments, the second (edit fields and string grids)
// with the argument 2. A window shows only one focused control, so each page has one of its own.
// Headless runs read the line it prints once the window is painted: "shown LEFT TOP WIDTH HEIGHT", the
// window's place on the screen, for the screenshot.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "Gallery.h"
#include "skin/CoolLabel.h"
#include "skin/CoolPanel.h"

namespace {

struct TSectionEntry {
    const char* Title;
    void (*Fill)(gallery::TSection& section);
    // The section's place on the form, title included.
    int Left, Top, Width, Height;
};

const TSectionEntry kControls[] = {
    {"Buttons", &gallery::ButtonsSection, 8, 4, 784, 70},
    {"Labels", &gallery::LabelsSection, 8, 80, 380, 150},
    {"Panels", &gallery::PanelsSection, 400, 80, 392, 150},
    {"Check and radio boxes", &gallery::CheckRadioBoxesSection, 8, 236, 380, 196},
    {"Check/radio groups and group boxes", &gallery::GroupsSection, 400, 236, 392, 318},
};

const TSectionEntry kFieldsAndGrids[] = {
    {"Edit fields", &gallery::EditFieldsSection, 8, 4, 984, 206},
    {"String grids as the setup dialog has them: a selected row, disabled", &gallery::SetupGridsSection, 8, 216, 578,
     340},
    {"Fixed cells, caption bar, picture", &gallery::SkinnedGridSection, 594, 216, 398, 340},
};

struct TPage {
    const char* Caption;
    const TSectionEntry* First;
    const TSectionEntry* Last;
};

constexpr int kTitleHeight = 22;

void AddSection(ui::TForm* form, skin::TCoolImages* images, const TSectionEntry& entry) {
    auto* title = new skin::TCoolLabel(form);
    title->SetParent(form);
    title->SetTransparent(true);
    title->SetShadowSize(0);
    title->SetBounds(entry.Left, entry.Top, entry.Width, kTitleHeight);
    title->Font().Assign(form->Font());
    title->Font().SetStyle(ui::fsBold | ui::fsUnderline);
    title->SetCaption(entry.Title);
    auto* area = new skin::TCoolPanel(form);
    area->SetParent(form);
    area->SetTransparent(true);
    area->SetBevelOuter(ui::bvNone);
    area->SetBounds(entry.Left, entry.Top + kTitleHeight, entry.Width, entry.Height - kTitleHeight);
    gallery::TSection section{form, area, images};
    entry.Fill(section);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const TPage page =
        std::strcmp(commandLine, "2") == 0
            ? TPage{"Tamberlyn gallery: edit fields and string grids", std::begin(kFieldsAndGrids),
                    std::end(kFieldsAndGrids)}
            : TPage{"Tamberlyn gallery: the skinned controls", std::begin(kControls), std::end(kControls)};
    ui::TApplication application;
    application.Initialize();
    application.SetTitle("Tamberlyn gallery");
    auto* form = application.CreateForm<ui::TForm>();
    // Built as the program's windows are: the layout loads with the skin hooked, then each control gets
    // its after-loading step.
    form->BeginLoading();
    form->SetCaption(page.Caption);
    form->SetBorderIcons(ui::biSystemMenu);
    form->SetPosition(ui::poScreenCenter);
    form->Font().SetName("Comic Sans MS");
    form->Font().SetHeight(-13);
    form->Font().SetStyle(ui::fsBold);
    int width = 0, height = 0;
    for (const TSectionEntry* entry = page.First; entry != page.Last; ++entry) {
        width = std::max(width, entry->Left + entry->Width + 8);
        height = std::max(height, entry->Top + entry->Height + 8);
    }
    form->SetClientSize(width, height);
    auto* images = new skin::TCoolImages(form);
    images->Bitmaps().Add()->Bitmap().LoadFromResourceName(GetModuleHandleA(nullptr), "SKIN");
    auto* hook = new skin::TCoolFormHook(form);
    hook->SetOptions(skin::TCoolOptions{skin::ocPaintWallpaper});
    hook->SetCoolImages(images);
    hook->SetIdWallpaper(0);
    form->HandleNeeded();
    for (const TSectionEntry* entry = page.First; entry != page.Last; ++entry) AddSection(form, images, *entry);
    form->EndLoading();

    form->Show();
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    application.ProcessMessages();
    RECT placed{};
    GetWindowRect(form->Handle(), &placed);
    std::printf("shown %ld %ld %ld %ld\n", static_cast<long>(placed.left), static_cast<long>(placed.top),
                static_cast<long>(placed.right - placed.left), static_cast<long>(placed.bottom - placed.top));
    std::fflush(stdout);
    application.Run();
    return 0;
}
