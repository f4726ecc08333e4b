// The setup dialog on real windows, over a settings file of the test's own: what it shows, the list's
// operations, Save and its bounds, the mode controls, and the dialogs and choosers it opens.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/SysUtils.h"
#include "core/Settings.h"
#include "dialogs/FormAdd.h"
#include "dialogs/FormSetup.h"
#include "dialogs/dmHTMLHelp.h"
#include "skin/SkinTesting.h"
#include "support/GdiBudget.h"
#include "support/Keys.h"
#include "support/ModalWatch.h"
#include "support/TempDir.h"
#include "ui/Dialogs.h"
#include "ui/Forms.h"

namespace {

using Strings = std::vector<std::string>;

// The add-entry dialog's user: what they type and choose, and how they leave it.
struct AddAnswer {
    std::string name;
    int style = 0;
    int result = ui::mrOk;
};

class TestSetup : public dialogs::TfrmSetup {
public:
    using dialogs::TfrmSetup::TfrmSetup;

    std::vector<AddAnswer> answers;
    int aboutBoxes = 0;
    bool topmostWhileAdding = true;

protected:
    int ShowModalDialog(ui::TForm& dialog) override {
        topmostWhileAdding = (GetWindowLongA(Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        auto* add = dynamic_cast<dialogs::TfrmAdd*>(&dialog);
        if (add == nullptr) {
            ++aboutBoxes;
            return ui::mrCancel;
        }
        const AddAnswer answer = answers.front();
        answers.erase(answers.begin());
        add->cedtbtnFilename->SetText(answer.name);
        add->cchkrdgrpbxStyle->SetItemIndex(answer.style);
        return answer.result;
    }
};

std::vector<std::string> errors;
void RecordError(const std::exception& error) {
    errors.push_back(error.what());
}

std::string chosenFolder;
bool ChooseFolder(const ui::TBrowseRequest& request, std::string& folder) {
    errors.push_back("browse: " + request.Title + (request.Flags == BIF_RETURNONLYFSDIRS ? " (folders)" : ""));
    folder = chosenFolder;
    return !chosenFolder.empty();
}

struct Setup : ::testing::Test {
    Setup() : ini(folder.File("Tamberlyn.ini")) {
        errors.clear();
        previousHandler = base::SetExceptionHandler(&RecordError);
        previousBrowse = ui::SetBrowseForFolderCall(&ChooseFolder);
    }
    ~Setup() override {
        dialog.reset();
        base::SetExceptionHandler(previousHandler);
        ui::SetBrowseForFolderCall(previousBrowse);
    }

    // Reads the settings file as the run does and opens the dialog over it.
    void Open(const std::string& settings) {
        folder.WriteFile("Tamberlyn.ini", settings);
        core::Settings.PictureList.Clear();
        core::ReadIniSettings();
        dialog.reset(ui::NewForm<TestSetup>(&application));
        dialog->Show();
        Pump();
    }

    void Pump() { application.ProcessMessages(); }
    // A click as the user makes it: through the button's window, errors ending in the error box.
    void Press(ui::TWinControl* button) {
        SendMessageA(button->Handle(), BM_CLICK, 0, 0);
        Pump();
    }
    // A press and release of the left button on a control, as the mouse makes them.
    void Click(ui::TWinControl* control) {
        SendMessageA(control->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        SendMessageA(control->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        Pump();
    }
    void Select(int row) { dialog->cstgrdList->SetRow(row); }

    Strings Names() const {
        Strings names;
        for (int row = 0; row < dialog->cstgrdList->RowCount(); ++row) {
            names.push_back(dialog->cstgrdList->Cells(0, row) + "|" + dialog->cstgrdList->Cells(1, row));
        }
        return names;
    }
    std::string File() const { return folder.ReadFile("Tamberlyn.ini"); }

    ui::TApplication application;
    testing_support::TempDir folder;
    core::IniFileOverride ini;
    base::Owned<TestSetup> dialog;
    base::TExceptionHandler previousHandler = nullptr;
    ui::TBrowseForFolderCall previousBrowse = nullptr;
};

const std::string kThree =
    "[Options]\r\nMode=1\r\nNextImage=2\r\n[0]\r\nFilename=C:\\A.BMP\r\nDisplayStyle=0\r\n[1]\r\nFilename=C:\\B.BMP\r\n"
    "DisplayStyle=1\r\n[2]\r\nFilename=C:\\C.BMP\r\nDisplayStyle=7\r\n";

TEST_F(Setup, ShowsTheSettingsAndTheListWithItsBlankRow) {
    Open(
        "[Options]\r\nChangeWhen=1\r\nMode=1\r\nForceAD=1\r\nPictureDir=c:\\pics\r\nBMPtype=0\r\nGIFtype="
        "1\r\nDisplayStyle=2\r\n"
        "[0]\r\nFilename=C:\\A.BMP\r\nDisplayStyle=2\r\n[1]\r\nFilename=C:\\B.HTM\r\nDisplayStyle=9\r\n");
    EXPECT_EQ(dialog->Caption(), "Tamberlyn Setup");
    EXPECT_EQ(dialog->ClientWidth(), 592);
    EXPECT_EQ(dialog->ClientHeight(), 573);
    EXPECT_EQ(dialog->cpnlSave->Top(), 532);
    EXPECT_EQ(dialog->cpnlHelp->Left(), 404);
    EXPECT_TRUE((GetWindowLongA(dialog->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    EXPECT_EQ(GetFocus(), dialog->cbtnRefresh->Handle());
    EXPECT_EQ(dialog->crdgrpChangeWhen->ItemIndex(), 1);
    EXPECT_EQ(dialog->cchkrdgrpForceAD->ItemIndex(), 0);
    EXPECT_EQ(dialog->cedtbtnDir->Text(), "C:\\PICS") << "the field's upper case";
    EXPECT_FALSE(dialog->cchkrdbxBMP->Checked());
    EXPECT_TRUE(dialog->cchkrdbxGIF->Checked());
    EXPECT_EQ(dialog->cchkrdgrpStyle->ItemIndex(), 2);
    EXPECT_EQ(Names(), (Strings{"C:\\A.BMP|Tile", "C:\\B.HTM|", "|"})) << "a style outside 0 to 2 shows empty";
    EXPECT_EQ(dialog->cstgrdList->ColWidths(0), 510);

    // As the screen shows it: the skin's tiles through the see-through titles, groups and buttons, and on
    // each button its glyph.
    RedrawWindow(dialog->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    ui::TBitmap screen;
    skintest::MakeFilled(screen, dialog->ClientWidth(), dialog->ClientHeight(), RGB(255, 0, 255));
    {
        HDC window = GetDC(dialog->Handle());
        BitBlt(screen.Canvas().Handle(), 0, 0, screen.Width(), screen.Height(), window, 0, 0, SRCCOPY);
        ReleaseDC(dialog->Handle(), window);
    }
    const skintest::DibPixels shown(screen);
    ui::TBitmap& tile = dialog->cimgsSetupWallpaper->Bitmaps().Items(0)->Bitmap();
    const auto onDialog = [this](ui::TControl* control) {
        RECT bounds = control->BoundsRect();
        MapWindowPoints(control->Parent()->Handle(), dialog->Handle(), reinterpret_cast<POINT*>(&bounds), 2);
        return bounds;
    };
    const auto skinShare = [&](ui::TControl* control) {
        const RECT area = onDialog(control);
        int skin = 0, all = 0;
        for (int y = area.top; y < area.bottom; y += 2)
            for (int x = area.left; x < area.right; x += 2, ++all)
                skin += shown.At(x, y) == GetPixel(tile.Canvas().Handle(), x % tile.Width(), y % tile.Height()) ? 1 : 0;
        return all > 0 ? static_cast<double>(skin) / all : 0.0;
    };
    for (ui::TControl* seeThrough : std::vector<ui::TControl*>{
             dialog->clblOptionsTitle, dialog->clblDirTitle, dialog->clblDir, dialog->clblListTitle,
             dialog->clblFilenameTitle, dialog->clblTiledTitle, dialog->crdgrpChangeWhen, dialog->crdgrpMode,
             dialog->cchkrdgrpForceAD, dialog->cchkrdgrpStyle, dialog->cgrpbxType})
        EXPECT_GT(skinShare(seeThrough), 0.5) << seeThrough->Name();
    for (skin::TCoolBtn* button :
         {dialog->cbtnAbout, dialog->cbtnHelp, dialog->cbtnAdd, dialog->cbtnRemove, dialog->cbtnUp, dialog->cbtnDown,
          dialog->cbtnRefresh, dialog->cbtnSave, dialog->cbtnCancel}) {
        EXPECT_GT(skinShare(button), 0.3) << button->Caption();
        // The glyph's image for the button's state, wherever the layout put it: every pixel but its
        // transparent ones.
        ASSERT_TRUE(button->Enabled() || button->NumGlyphs() > 1) << button->Caption();
        ui::TBitmap& glyph = button->Glyph();
        const int width = glyph.Width() / button->NumGlyphs(), first = button->Enabled() ? 0 : width;
        const COLORREF clear = GetPixel(glyph.Canvas().Handle(), 0, glyph.Height() - 1);
        std::vector<std::pair<POINT, COLORREF>> solid;
        for (int y = 0; y < glyph.Height(); ++y)
            for (int x = 0; x < width; ++x) {
                const COLORREF colour = GetPixel(glyph.Canvas().Handle(), first + x, y);
                if (colour != clear) solid.push_back({POINT{x, y}, colour});
            }
        ASSERT_FALSE(solid.empty()) << button->Caption();
        const RECT area = onDialog(button);
        bool found = false;
        for (int top = area.top; top + glyph.Height() <= area.bottom && !found; ++top)
            for (int left = area.left; left + width <= area.right && !found; ++left)
                found = std::all_of(solid.begin(), solid.end(), [&](const std::pair<POINT, COLORREF>& pixel) {
                    return shown.At(left + pixel.first.x, top + pixel.first.y) == pixel.second;
                });
        EXPECT_TRUE(found) << button->Caption() << "'s glyph";
    }

    // List mode: the list's controls are enabled, the directory's are not, and the field turned grey.
    EXPECT_TRUE(dialog->cstgrdList->Enabled());
    EXPECT_FALSE(dialog->cedtbtnDir->Enabled());
    EXPECT_FALSE(dialog->cchkrdbxGIF->Enabled());
    EXPECT_EQ(dialog->cedtbtnDir->Color(), ui::clBtnFace);
    EXPECT_EQ(dialog->cstgrdList->Color(), RGB(255, 251, 240)) << "cream until its first change";
    Click(dialog->crdgrpMode->Buttons()[0]);
    EXPECT_TRUE(dialog->cedtbtnDir->Enabled());
    EXPECT_TRUE(dialog->cchkrdbxGIF->Enabled());
    EXPECT_FALSE(dialog->cbtnAdd->Enabled());
    EXPECT_EQ(dialog->cedtbtnDir->Color(), ui::clWindow) << "the window colour, no longer cream";
    EXPECT_EQ(dialog->cstgrdList->Color(), ui::clBtnFace);
}

using Event = std::tuple<HWND, DWORD, LONG>;
std::vector<Event> heard;
void CALLBACK Hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT) heard.emplace_back(window, event, child);
}

TEST_F(Setup, TabVisitsEveryGroupBoxAndButtonInTheLayoutsOrderAndAReaderFollows) {
    Open("[Options]\r\nMode=0\r\nForceAD=0\r\n[0]\r\nFilename=C:\\A.BMP\r\n");
    // A reader's hook hears of the focus, checks and the current row as the queue is pumped.
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, Hear,
                                               GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    std::vector<HWND> visited;
    for (int i = 0; i < 15; ++i) {
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        Pump();
        visited.push_back(GetFocus());
    }
    const std::vector<HWND> wanted = {dialog->cbtnSave->Handle(),
                                      dialog->cbtnCancel->Handle(),
                                      dialog->crdgrpChangeWhen->Buttons()[0]->Handle(),
                                      dialog->crdgrpMode->Buttons()[0]->Handle(),
                                      dialog->cchkrdgrpForceAD->Buttons()[0]->Handle(),
                                      dialog->cbtnAbout->Handle(),
                                      dialog->cbtnHelp->Handle(),
                                      dialog->cedtbtnDir->Handle(),
                                      dialog->cchkrdgrpStyle->Buttons()[0]->Handle(),
                                      dialog->cchkrdbxBMP->Handle(),
                                      dialog->cchkrdbxGIF->Handle(),
                                      dialog->cchkrdbxJPG->Handle(),
                                      dialog->cchkrdbxPNG->Handle(),
                                      dialog->cbtnRefresh->Handle(),
                                      dialog->cbtnSave->Handle()};
    EXPECT_EQ(visited, wanted) << "the list's controls are disabled in directory mode and skipped";
    // The focused button is the one Enter presses: it reads as the default.
    VARIANT self{};
    self.vt = VT_I4;
    VARIANT state{};
    IAccessible* save = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(dialog->cbtnSave->Handle(), OBJID_CLIENT, IID_PPV_ARGS(&save)), S_OK);
    EXPECT_EQ(save->get_accState(self, &state), S_OK);
    EXPECT_NE(state.lVal & STATE_SYSTEM_DEFAULT, 0);
    save->Release();
    dialog->cedtbtnDir->SetText("C:\\ELSEWHERE");
    dialog->cbtnCancel->SetCaption("Close");

    // A reader's action: a box toggles and a button clicks once the reader's call has returned, each press once.
    for (HWND control : {dialog->cchkrdbxJPG->Handle(), dialog->cbtnAbout->Handle(), dialog->cbtnAbout->Handle()}) {
        IAccessible* object = nullptr;
        ASSERT_EQ(AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_PPV_ARGS(&object)), S_OK);
        EXPECT_EQ(object->accDoDefaultAction(self), S_OK);
        object->Release();
    }
    EXPECT_FALSE(dialog->cchkrdbxJPG->Checked());
    EXPECT_EQ(dialog->aboutBoxes, 0);
    Click(dialog->cchkrdbxGIF);
    EXPECT_TRUE(dialog->cchkrdbxJPG->Checked());
    EXPECT_EQ(dialog->aboutBoxes, 2);
    Click(dialog->crdgrpMode->Buttons()[1]);
    dialog->cstgrdList->SetFocus();
    PostMessageA(dialog->cstgrdList->Handle(), WM_KEYDOWN, VK_DOWN, 1);
    Pump();
    const HWND list = dialog->cstgrdList->Handle();
    // A reader chooses a row.
    IAccessible* rows = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(list, OBJID_CLIENT, IID_PPV_ARGS(&rows)), S_OK);
    VARIANT first{};
    first.vt = VT_I4;
    first.lVal = 1;
    EXPECT_EQ(rows->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, first), S_OK);
    rows->Release();
    EXPECT_EQ(dialog->cstgrdList->Row(), 0);
    Pump();
    UnhookWinEvent(hook);
    std::vector<Event> events{{dialog->cchkrdbxGIF->Handle(), EVENT_OBJECT_STATECHANGE, 0},
                              {dialog->crdgrpMode->Buttons()[1]->Handle(), EVENT_OBJECT_STATECHANGE, 0},
                              {list, EVENT_OBJECT_FOCUS, 1},
                              {list, EVENT_OBJECT_FOCUS, 0},
                              {list, EVENT_OBJECT_SELECTION, 0},
                              {list, EVENT_OBJECT_SELECTION, 1},
                              {dialog->cedtbtnDir->Handle(), EVENT_OBJECT_VALUECHANGE, 0},
                              {dialog->cbtnCancel->Handle(), EVENT_OBJECT_NAMECHANGE, 0}};
    for (HWND window : visited) events.emplace_back(window, EVENT_OBJECT_FOCUS, 0);
    for (const Event& event : events)
        EXPECT_NE(std::find(heard.begin(), heard.end(), event), heard.end())
            << std::get<1>(event) << " " << std::get<2>(event);

    // Two readers, each with its object of the dialog, walk its children a step each in turn; a copy of a
    // walk goes on from where the walk stands.
    const auto walk = [this] {
        IEnumVARIANT* children = nullptr;
        AccessibleObjectFromWindow(dialog->Handle(), OBJID_CLIENT, IID_PPV_ARGS(&children));
        return children;
    };
    const auto step = [](IEnumVARIANT* children) {
        VARIANT child{};
        IAccessible* object = nullptr;
        HWND window = nullptr;
        if (children->Next(1, &child, nullptr) == S_OK &&
            SUCCEEDED(child.pdispVal->QueryInterface(IID_PPV_ARGS(&object)))) {
            WindowFromAccessibleObject(object, &window);
            object->Release();
        }
        VariantClear(&child);
        return window;
    };
    std::vector<HWND> windows{nullptr}, byFirst, bySecond;
    for (HWND at = GetWindow(dialog->Handle(), GW_CHILD); at != nullptr; at = GetWindow(at, GW_HWNDNEXT))
        windows.insert(windows.end() - 1, at);
    IEnumVARIANT* readers[] = {walk(), walk()};
    for (size_t i = 0; i < windows.size(); ++i) {
        byFirst.push_back(step(readers[0]));
        bySecond.push_back(step(readers[1]));
    }
    EXPECT_EQ(byFirst, windows);
    EXPECT_EQ(bySecond, windows);
    IEnumVARIANT* copy = nullptr;
    readers[0]->Reset();
    step(readers[0]);
    step(readers[0]);
    ASSERT_EQ(readers[0]->Clone(&copy), S_OK);
    EXPECT_EQ(step(copy), windows[2]);
    for (IEnumVARIANT* children : {readers[0], readers[1], copy}) children->Release();
}

TEST_F(Setup, RemoveAndTheMovesKeepTheBlankRowLastAndIgnoreEmptyNames) {
    Open("[Options]\r\nMode=1\r\n");
    EXPECT_EQ(Names(), Strings{"|"}) << "an empty list shows one blank row";
    for (ui::TWinControl* button : {dialog->cbtnRemove, dialog->cbtnUp, dialog->cbtnDown}) Press(button);
    EXPECT_EQ(Names(), Strings{"|"});

    dialog->answers = {{"  C:\\ONE.BMP\t", 1}, {"", 2}, {"C:\\THREE.BMP", -1}, {"C:\\NOT.BMP", 0, ui::mrCancel}};
    for (int i = 0; i < 4; ++i) Press(dialog->cbtnAdd);
    EXPECT_FALSE(dialog->topmostWhileAdding) << "the dialog gives up its topmost state for the add-entry dialog";
    EXPECT_TRUE((GetWindowLongA(dialog->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) << "and takes it back";
    EXPECT_EQ(Names(), (Strings{"C:\\ONE.BMP|Stretch", "|Tile", "C:\\THREE.BMP|", "|"}));

    Select(1);
    Press(dialog->cbtnRemove);
    Press(dialog->cbtnUp);
    Press(dialog->cbtnDown);
    EXPECT_EQ(Names(), (Strings{"C:\\ONE.BMP|Stretch", "|Tile", "C:\\THREE.BMP|", "|"})) << "an empty name stays";
    Select(2);
    Press(dialog->cbtnUp);
    EXPECT_EQ(dialog->cstgrdList->Row(), 1) << "the selection follows the moved entry";
    Press(dialog->cbtnUp);
    EXPECT_EQ(Names(), (Strings{"C:\\THREE.BMP|", "C:\\ONE.BMP|Stretch", "|Tile", "|"}));
    Press(dialog->cbtnUp);
    EXPECT_EQ(dialog->cstgrdList->Row(), 0) << "the first entry goes no higher";
    Press(dialog->cbtnDown);
    EXPECT_EQ(Names(), (Strings{"C:\\ONE.BMP|Stretch", "C:\\THREE.BMP|", "|Tile", "|"}));
    Select(1);
    Press(dialog->cbtnDown);
    EXPECT_EQ(Names(), (Strings{"C:\\ONE.BMP|Stretch", "|Tile", "C:\\THREE.BMP|", "|"}));
    Select(2);
    Press(dialog->cbtnDown);
    EXPECT_EQ(dialog->cstgrdList->Row(), 2) << "the last entry goes no lower";
    dialog->cstgrdList->SetColWidths(0, 700);
    Select(0);
    Press(dialog->cbtnRemove);
    EXPECT_EQ(Names(), (Strings{"|Tile", "C:\\THREE.BMP|", "|"}));
    EXPECT_EQ(dialog->cstgrdList->ColWidths(0), 510) << "Remove sets the name column back";

    // The unsaved entries go with Refresh: the empty list is one blank row again.
    Press(dialog->cbtnRefresh);
    EXPECT_EQ(Names(), Strings{"|"});
    EXPECT_EQ(dialog->cbtnCancel->Caption(), "Cancel");
}

TEST_F(Setup, SaveWritesWhatTheControlsShowAndOnlyAModeChangeResetsThePosition) {
    Open(kThree);
    Press(dialog->cbtnSave);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(dialog->cbtnCancel->Caption(), "Close");
    EXPECT_EQ(core::Settings.NextImage, 2) << "no mode change, the position stays";
    EXPECT_EQ(core::Settings.PictureList.Items[2].DisplayStyle, 0) << "an empty style cell saves as Center";
    EXPECT_EQ(core::Settings.PictureList.Count(), 3);

    // An entry with an empty name ends the list for every reader.
    dialog->answers = {{"", 1}, {"C:\\D.BMP", 2}};
    Press(dialog->cbtnAdd);
    Press(dialog->cbtnAdd);
    dialog->cchkrdgrpForceAD->SetItemIndex(0);
    dialog->cedtbtnDir->SetText(" C:\\PICS\\ ");
    Press(dialog->cbtnSave);
    EXPECT_EQ(core::Settings.PictureList.Count(), 3);
    EXPECT_TRUE(core::Settings.ForceAD);
    EXPECT_EQ(core::Settings.PictureDir, "C:\\PICS\\") << "blanks at either end are no part of a folder";
    EXPECT_EQ(File().find("D.BMP"), std::string::npos);
    EXPECT_EQ(dialog->cbtnCancel->Caption(), "Close") << "Close stays Close";

    // The folder's field keeps no more than the settings file keeps; Unicode keys come whole, and a name
    // ending in another script is written as it is.
    Click(dialog->crdgrpMode->Buttons()[0]);
    ui::TWinControl& dir = *dialog->cedtbtnDir;
    dialog->cedtbtnDir->SetText("");
    dir.SetFocus();
    testing_support::Paste(dir.Handle(), std::wstring(2100, L'p'));
    EXPECT_EQ(dialog->cedtbtnDir->Text(), std::string(2047, 'P'));
    dialog->cedtbtnDir->SetText("C:\\Фото\\");
    SendMessageW(dir.Handle(), EM_SETSEL, 8, 8);
    testing_support::TypeUnicode(dialog->Handle(), L"отпуск",
                                 [&] { return dialog->cedtbtnDir->Text() == "C:\\ФОТО\\ОТПУСК"; });
    Press(dialog->cbtnSave);
    EXPECT_NE(File().find("PictureDir=C:\\ФОТО\\ОТПУСК\r\n"), std::string::npos) << File();

    struct Case {
        int stored;
        int shown;
        bool change;
    };
    for (const Case& c : {Case{5, 1, true}, Case{-7, -1, true}, Case{-1, -1, false}, Case{1, 1, false}}) {
        dialog.reset();
        Open("[Options]\r\nMode=" + std::to_string(c.stored) +
             "\r\nChangeWhen=9\r\nDisplayStyle=-3\r\nNextImage=4\r\n");
        EXPECT_EQ(dialog->crdgrpMode->ItemIndex(), c.shown) << c.stored;
        EXPECT_TRUE(dialog->cstgrdList->Enabled()) << "any mode but 0 is list mode: " << c.stored;
        Press(dialog->cbtnSave);
        EXPECT_EQ(core::Settings.Mode, c.shown) << c.stored;
        EXPECT_EQ(core::Settings.NextImage, c.change ? 0 : 4) << c.stored;
        EXPECT_EQ(core::Settings.ChangeWhen, 1) << "the last item";
        EXPECT_EQ(core::Settings.DisplayStyle, -1) << "no item";
    }
}

TEST_F(Setup, SaveStopsAtTheListsBoundsAndAFailedWriteKeepsCancel) {
    std::string full = "[Options]\r\nMode=1\r\n";
    for (int i = 0; i < 200; ++i)
        full += "[" + std::to_string(i) + "]\r\nFilename=C:\\P" + std::to_string(i) + ".BMP\r\nDisplayStyle=0\r\n";
    Open(full);
    Press(dialog->cbtnSave);
    EXPECT_TRUE(errors.empty()) << "200 entries are saved";
    const std::string saved = File();
    dialog->answers = {{"C:\\ONE-TOO-MANY.BMP", 0}};
    Press(dialog->cbtnAdd);
    Press(dialog->cbtnSave);
    EXPECT_EQ(errors, Strings{"Range check error"});
    EXPECT_EQ(File(), saved) << "nothing written";
    EXPECT_TRUE(IsWindowVisible(dialog->Handle()));

    errors.clear();
    Open("[Options]\r\nMode=1\r\n");
    dialog->answers = {{"C:\\" + std::string(258, 'N'), 0}};
    Press(dialog->cbtnAdd);
    Press(dialog->cbtnSave);
    EXPECT_EQ(errors, Strings{"Range check error"}) << "a name of 261 characters";
    EXPECT_EQ(dialog->cbtnCancel->Caption(), "Cancel");

    // A settings file whose folder is gone cannot be written: the error shows and Cancel stays.
    errors.clear();
    Open("[Options]\r\nMode=0\r\n");
    core::IniFileOverride gone(folder.File("missing\\Tamberlyn.ini"));
    Press(dialog->cbtnSave);
    EXPECT_EQ(errors, Strings{"ERROR: There was a problem writing settings to the inifile"});
    EXPECT_EQ(dialog->cbtnCancel->Caption(), "Cancel");
    EXPECT_TRUE(IsWindowVisible(dialog->Handle()));
}

TEST_F(Setup, TheBrowserAboutHelpAndClosing) {
    Open("[Options]\r\nPictureDir=C:\\WINDOWS\r\n");
    chosenFolder = "C:\\Pics";
    Click(dialog->cedtbtnDir->Button());
    EXPECT_EQ(dialog->cedtbtnDir->Text(), "C:\\PICS\\");
    chosenFolder.clear();
    Click(dialog->cedtbtnDir->Button());
    EXPECT_EQ(dialog->cedtbtnDir->Text(), "C:\\PICS\\") << "a cancelled browser changes nothing";
    EXPECT_EQ(errors, (Strings{"browse: Select picture directory... (folders)",
                               "browse: Select picture directory... (folders)"}));

    Press(dialog->cbtnAbout);
    EXPECT_EQ(dialog->aboutBoxes, 1);
    std::vector<std::pair<uint16_t, intptr_t>> help;
    application.OnHelp = [&](uint16_t command, intptr_t data, bool&) {
        help.emplace_back(command, data);
        return true;
    };
    Press(dialog->cbtnHelp);
    dialog->cchkrdbxPNG->SetFocus();
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_F1, 1);
    Pump();
    EXPECT_EQ(help, (std::vector<std::pair<uint16_t, intptr_t>>{{15, 1003}, {HELP_CONTEXT, 2}}));

    // Closing asks for the dialog to be freed; the caller frees it first, and it is freed once.
    const base::TWatch watch = dialog->Watch();
    PostMessageA(dialog->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(dialog->ShowModal(), ui::mrCancel);
    dialog.reset();
    Pump();
    EXPECT_FALSE(watch.Alive());
}

TEST_F(Setup, OpeningClosingAndRepaintingLeaveNoGdiObjectBehind) {
    Open(kThree);
    const auto openAndClose = [&] {
        base::Owned<dialogs::TfrmSetup> another(ui::NewForm<dialogs::TfrmSetup>(&application));
        another->Show();
        RedrawWindow(another->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    };
    const auto repaint = [&] {
        RedrawWindow(dialog->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    };
    // What is made once and kept (the glyph lists, the system's caches) is made by the first round.
    openAndClose();
    repaint();
    const int before = skintest::GdiHeadroom();
    for (int round = 0; round < 100; ++round) openAndClose();
    const int afterOpenings = skintest::GdiHeadroom();
    EXPECT_GE(afterOpenings, before - 16) << "one object kept per opening would show 100 times over";
    // 400 repaints of every control with only 150 handles left: a paint that kept one object runs out.
    {
        testing_support::GdiBudget budget(150);
        for (int round = 0; round < 400 && testing_support::GdiBudget::CanCreateObjects(); ++round) repaint();
        EXPECT_TRUE(testing_support::GdiBudget::CanCreateObjects());
    }
    EXPECT_TRUE(errors.empty());
}

// What a timer sees while the real folder browser is open, before it cancels the browser.
struct BrowserSight {
    HWND dialog = nullptr;
    bool seen = false;
    bool inFront = false;
    bool dialogDisabled = false;
} browserSight;

int ZOrderOf(HWND window) {
    int place = 0;
    for (HWND at = GetTopWindow(nullptr); at != nullptr; at = GetWindow(at, GW_HWNDNEXT), ++place) {
        if (at == window) return place;
    }
    return -1;
}

bool LookAtTheBrowser() {
    for (HWND at = GetTopWindow(nullptr); at != nullptr; at = GetWindow(at, GW_HWNDNEXT)) {
        char name[16] = {};
        GetClassNameA(at, name, sizeof name);
        if (std::string(name) != "#32770" || GetWindow(at, GW_OWNER) != browserSight.dialog) continue;
        // Made, but not shown yet: the next tick looks again.
        if (!IsWindowVisible(at)) return false;
        browserSight.seen = true;
        browserSight.inFront = ZOrderOf(at) < ZOrderOf(browserSight.dialog);
        browserSight.dialogDisabled = !IsWindowEnabled(browserSight.dialog);
        PostMessageA(at, WM_COMMAND, IDCANCEL, 0);
        return true;
    }
    return false;
}

TEST_F(Setup, TheRealFolderBrowserOpensInFrontOfTheDialogWhichWaitsForIt) {
    Open("[Options]\r\nPictureDir=C:\\WINDOWS\\\r\n");
    ui::SetBrowseForFolderCall(previousBrowse);
    browserSight = BrowserSight{dialog->Handle()};
    const testing_support::ModalWatch watch("the folder browser", &LookAtTheBrowser);
    Click(dialog->cedtbtnDir->Button());
    EXPECT_TRUE(browserSight.seen);
    EXPECT_TRUE(browserSight.inFront);
    EXPECT_TRUE(browserSight.dialogDisabled) << "no second browser can be opened meanwhile";
    EXPECT_TRUE(IsWindowEnabled(dialog->Handle()));
    EXPECT_EQ(dialog->cedtbtnDir->Text(), "C:\\WINDOWS\\");
}

}  // namespace
