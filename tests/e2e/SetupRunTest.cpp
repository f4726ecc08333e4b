// The real exe's setup dialog, driven from a second program as a user would drive it.
#include <gtest/gtest.h>

#include <windows.h>

#include <oleacc.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/DateUtils.h"
#include "base/IniFileUpdate.h"
#include "base/IniFiles.h"
#include "base/SysUtils.h"
#include "core/Settings.h"
#include "fakes/RecordingDesktop.h"
#include "support/ExeScenario.h"
#include "support/SetupDriver.h"

namespace testing_support {
namespace {

class SetupRun : public ::testing::Test {
protected:
    void Write(const std::string& settings) { scenario.WriteFile("Tamberlyn.ini", settings); }
    std::string File() const { return scenario.ReadFile("Tamberlyn.ini"); }
    std::string Value(const std::string& section, const std::string& key) const {
        char value[512] = {};
        GetPrivateProfileStringA(section.c_str(), key.c_str(), "(missing)", value, sizeof value,
                                 scenario.File("Tamberlyn.ini").c_str());
        return value;
    }
    std::string FullList(const std::string& when) const {
        std::string settings = "[Options]\r\n" + when + "Mode=1\r\n";
        for (int i = 0; i < 200; ++i) {
            settings +=
                "[" + std::to_string(i) + "]\r\nFilename=C:\\P" + std::to_string(i) + ".BMP\r\nDisplayStyle=0\r\n";
        }
        return settings;
    }
    SetupDriver Open(const std::string& arguments = "/setup") {
        return SetupDriver(scenario.Exe(), arguments, scenario.Path());
    }
    // What a dialog's Save writes over FullList(when) once its list shows the file's entries in that order.
    std::string SavedInOrder(const std::string& when, const std::vector<int>& order) const {
        const TempDir elsewhere;
        elsewhere.WriteFile("Tamberlyn.ini", FullList(when));
        const core::IniFileOverride there(elsewhere.File("Tamberlyn.ini"));
        core::ReadIniSettings();
        const core::PictureList read = core::Settings.PictureList;
        for (size_t i = 0; i < order.size(); ++i) core::Settings.PictureList.Items[i] = read.Items[order[i]];
        core::WriteIniSettings();
        return elsewhere.ReadFile("Tamberlyn.ini");
    }
    // Holds the settings file's lock while both programs come to wait for it in their saves (or reads): they
    // then take it one after the other. A program is taken to wait once it answers no message.
    void AllWaitingFor(const std::vector<HWND>& windows) const {
        for (HWND window : windows) {
            DWORD_PTR answer = 0;
            for (int tries = 0; tries < 50 && SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 100, &answer);
                 ++tries)
                continue;
        }
    }

    ExeScenario scenario;
    // Not due today, so that a run after the dialog changes nothing by itself.
    const std::string notDue = "ChangeWhen=1\r\nLastChanged=" + base::DateToStr(base::Today()) + "\r\n";
};

// While it lives, Wine refuses to load HTML Help's library into the program, as a system without it would.
// Wine keeps its WINEDLLOVERRIDES variable from the programs a Windows process starts, so this takes the
// per-program overrides of Wine's registry; Windows has no such key and ignores it.
class HelpLibraryMissing {
public:
    HelpLibraryMissing() {
        RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key_, nullptr);
        const char none[] = "";
        if (key_ != nullptr) RegSetValueExA(key_, "hhctrl.ocx", 0, REG_SZ, reinterpret_cast<const BYTE*>(none), 1);
    }
    ~HelpLibraryMissing() {
        if (key_ != nullptr) RegCloseKey(key_);
        RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Tamberlyn.exe");
    }
    HelpLibraryMissing(const HelpLibraryMissing&) = delete;
    HelpLibraryMissing& operator=(const HelpLibraryMissing&) = delete;
    bool Set() const { return key_ != nullptr; }

private:
    static constexpr const char* kKey = "Software\\Wine\\AppDefaults\\Tamberlyn.exe\\DllOverrides";
    HKEY key_ = nullptr;
};

TEST_F(SetupRun, CancelLeavesTheFileAsItWasAndTheRunGoesOnAndHelpWithoutItsLibraryShowsNothing) {
    const std::string settings = "[Options]\r\n" + notDue + "Mode=0\r\nPictureDir=c:\\odd case\r\n";
    Write(settings);
    const HelpLibraryMissing noHelp;
    ASSERT_TRUE(noHelp.Set());
    SetupDriver setup = Open("/sEtUp");
    ASSERT_TRUE(setup.DialogOpen());
    setup.PressButton("Help");
    setup.PressButton("Cancel");
    const RunOutcome outcome = setup.Finish();
    EXPECT_TRUE(outcome.ended);
    EXPECT_TRUE(outcome.boxes.empty());
    EXPECT_EQ(File(), settings);
}

TEST_F(SetupRun, SaveKeepsWhatTheDialogShowsAndOnlyAModeChangeResetsThePosition) {
    std::string greek;
    for (int i = 0; i < 120; ++i) greek += "λ";
    // Saved by Notepad as "Unicode": UTF-16, which it stays.
    Write(base::EncodeIniText(base::WideText(IniLines({"[Options]",
                                                       "ChangeWhen=1",
                                                       "Mode=1",
                                                       "ForceAD=1",
                                                       "PictureDir=C:\\ΦΩΤΟ\\",
                                                       "BMPtype=1",
                                                       "GIFtype=0",
                                                       "JPGtype=1",
                                                       "PNGtype=0",
                                                       "DisplayStyle=2",
                                                       "LastChanged=" + base::DateToStr(base::Today()),
                                                       "NextImage=3",
                                                       "[0]",
                                                       "Filename=C:\\A.BMP",
                                                       "DisplayStyle=1",
                                                       "[1]",
                                                       "Filename=C:\\日本\\Ελλάδα Россия.bmp",
                                                       "DisplayStyle=0",
                                                       "[2]",
                                                       "Filename=C:\\Photos\\Thessaloniki\\" + greek + ".bmp",
                                                       "DisplayStyle=2"})),
                              base::TIniEncoding::Utf16));
    const std::string before = File();
    SetupDriver setup = Open();
    ASSERT_TRUE(setup.DialogOpen());
    setup.PressButton("Save");
    EXPECT_EQ(File(), before) << "a file already in the dialog's terms is written back as it was";
    ASSERT_NE(setup.Find("TCoolBtn", "Close"), nullptr) << "Cancel became Close";

    setup.ClickItem("Di&rectory");
    setup.TypeInto("C:\\ΦΩΤΟ\\", "d:\\new pics\\");
    setup.PressButton("Save");
    EXPECT_EQ(Value("Options", "Mode"), "0");
    EXPECT_EQ(Value("Options", "NextImage"), "0");
    EXPECT_EQ(Value("Options", "PictureDir"), "D:\\NEW PICS\\");
    setup.PressButton("Close");
    EXPECT_TRUE(setup.Finish().ended);
}

TEST_F(SetupRun, TheListIsReorderedAndShortenedAsTheButtonsSay) {
    Write(IniLines({"[Options]", "ChangeWhen=1", "Mode=1", "LastChanged=" + base::DateToStr(base::Today()), "[0]",
                    "Filename=C:\\A.BMP", "DisplayStyle=0", "[1]", "Filename=C:\\B.BMP", "DisplayStyle=1", "[2]",
                    "Filename=C:\\C.BMP", "DisplayStyle=2"}));
    SetupDriver setup = Open();
    ASSERT_TRUE(setup.DialogOpen());
    setup.SelectRow(1);
    setup.PressButton("Move Up");  // B A C
    setup.SelectRow(1);
    setup.PressButton("Move Down");  // B C A
    setup.SelectRow(2);
    setup.PressButton("Remove");  // B C
    setup.PressButton("Save");
    EXPECT_EQ(Value("0", "Filename"), "C:\\B.BMP");
    EXPECT_EQ(Value("0", "DisplayStyle"), "1");
    EXPECT_EQ(Value("1", "Filename"), "C:\\C.BMP");
    EXPECT_EQ(Value("1", "DisplayStyle"), "2");
    EXPECT_EQ(Value("2", "Filename"), "(missing)") << "the removed last entry's section is gone";
    setup.PressButton("Close");
    EXPECT_TRUE(setup.Finish().ended);
}

using Strings = std::vector<std::string>;

VARIANT ChildId(long child) {
    VARIANT id{};
    id.vt = VT_I4;
    id.lVal = child;
    return id;
}

// A control (or its element) as a screen reader says it, read from here: role number (Wine's role words
// differ from Windows'), name, checked state, value and default action.
std::string Transcript(HWND window, long child = CHILDID_SELF) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_PPV_ARGS(&object)))) return "-1";
    const VARIANT id = ChildId(child);
    VARIANT role{}, state{};
    const auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, BSTR*), const char* before) {
        BSTR wide = nullptr;
        char narrow[1024] = {};
        if (SUCCEEDED((object->*property)(id, &wide)) && wide != nullptr)
            WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow - 1, nullptr, nullptr);
        SysFreeString(wide);
        return narrow[0] != 0 ? before + std::string(narrow) : std::string();
    };
    object->get_accRole(id, &role);
    object->get_accState(id, &state);
    const std::string read = std::to_string(role.lVal) + text(&IAccessible::get_accName, " ") +
                             ((state.lVal & STATE_SYSTEM_CHECKED) != 0 ? " checked" : "") +
                             text(&IAccessible::get_accValue, " = ") + text(&IAccessible::get_accDefaultAction, " / ");
    object->Release();
    return read;
}

// A reader's object of a window, which the caller releases.
IAccessible* ReaderObject(HWND window) {
    IAccessible* object = nullptr;
    AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_PPV_ARGS(&object));
    return object;
}

// Where a reader finds a list's first row: its width is the list's columns'.
std::vector<long> FirstRowPlace(IAccessible* list) {
    long left = 0, top = 0, width = 0, height = 0;
    list->accLocation(&left, &top, &width, &height, ChildId(1));
    return {left, top, width, height};
}

// Whether the program has handled a message sent with MarkHandled as its callback.
bool handled = false;
VOID CALLBACK MarkHandled(HWND, UINT, ULONG_PTR, LRESULT) {
    handled = true;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// The skinned windows of a top window but its panes, read from here and sorted; one read as a plain
// client area is a failure.
Strings ReadControls(HWND top) {
    std::vector<HWND> windows;
    EnumChildWindows(top, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    Strings read;
    for (HWND window : windows) {
        char type[64] = {};
        GetClassNameA(window, type, sizeof type);
        const std::string control = Transcript(window);
        if (std::string(type).rfind("TCool", 0) != 0 && std::string(type) != "TSpeedButton") continue;
        EXPECT_NE(std::stol(control), ROLE_SYSTEM_CLIENT) << type;
        if (std::stol(control) != ROLE_SYSTEM_PANE) read.push_back(control);
    }
    std::sort(read.begin(), read.end());
    return read;
}

TEST_F(SetupRun, AScreenReaderReadsEveryControlAsTheStandardControlItStandsFor) {
    Write(IniLines({"[Options]", "ChangeWhen=1", "Mode=1", "PictureDir=C:\\PICS\\",
                    "LastChanged=" + base::DateToStr(base::Today()), "[0]", "Filename=C:\\A.BMP", "DisplayStyle=0",
                    "[1]", "Filename=C:\\B.BMP", "DisplayStyle=1", "[2]", "Filename=C:\\C.BMP", "DisplayStyle=2"}));
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    SetupDriver setup = Open();
    ASSERT_TRUE(setup.DialogOpen());
    EXPECT_EQ(ReadControls(setup.Dialog()), (Strings{"20 Active Desktop:",
                                                     "20 Change when:",
                                                     "20 Mode:",
                                                     "20 Style:",
                                                     "20 Type:",
                                                     "33 List of Files",
                                                     "42 Dir: = C:\\PICS\\",
                                                     "43 About / Press",
                                                     "43 Add / Press",
                                                     "43 Browse / Press",
                                                     "43 Cancel / Press",
                                                     "43 Help / Press",
                                                     "43 Move Down / Press",
                                                     "43 Move Up / Press",
                                                     "43 Refresh / Press",
                                                     "43 Remove / Press",
                                                     "43 Save / Press",
                                                     "44 *.bmp checked / Uncheck",
                                                     "44 *.gif / Check",
                                                     "44 *.jpg / Check",
                                                     "44 *.png / Check",
                                                     "44 Force Enable / Check",
                                                     "45 Center checked / Select",
                                                     "45 Daily checked / Select",
                                                     "45 Directory / Select",
                                                     "45 Every Time / Select",
                                                     "45 List checked / Select",
                                                     "45 Stretch / Select",
                                                     "45 Tile / Select"}));
    Strings rows;
    for (long row = 1; row <= 3; ++row) rows.push_back(Transcript(setup.Find("TCoolStringGrid", ""), row));
    EXPECT_EQ(rows, (Strings{"34 C:\\A.BMP = Center", "34 C:\\B.BMP = Stretch", "34 C:\\C.BMP = Tile"}));
    const HWND grid = setup.Find("TCoolStringGrid", "");
    IAccessible* list = ReaderObject(grid);
    long items = 0;
    EXPECT_EQ(list->get_accChildCount(&items), S_OK);
    EXPECT_EQ(items, 3) << "the blank last row is no item";
    const std::vector<long> layout = FirstRowPlace(list);

    // The grid's edited-cell notice from here, with cells out of range and in it, while no edit is pending;
    // the About button's click posted after them comes once they have been handled.
    for (const auto& cell : std::vector<std::pair<WPARAM, LPARAM>>{{WPARAM(-1), -1}, {0x7FFFFFFF, 0x7FFFFFFF}, {0, 0}})
        PostMessageA(grid, WM_USER + 0x194, cell.first, cell.second);
    PostMessageA(setup.Find("TCoolBtn", "About"), BM_CLICK, 0, 0);
    const HWND about = setup.WaitForWindow("About");
    DWORD program = 0;
    GetWindowThreadProcessId(grid, &program);
    EXPECT_TRUE(FindMessageBoxes(program).empty());
    EXPECT_EQ(FirstRowPlace(list), layout);
    list->Release();
    EXPECT_FALSE(ReadControls(about).empty());
    PostMessageA(about, WM_CLOSE, 0, 0);
    for (int wait = 0; wait < 100 && IsWindowVisible(about); ++wait) Sleep(50);
    setup.PressButton("Add");
    ASSERT_TRUE(setup.AddDialogOpen());
    EXPECT_EQ(ReadControls(setup.WaitForWindow("Add picture or web page to list...")),
              (Strings{"20 Style:", "42 Filename:", "43 Browse / Press", "43 Cancel / Press", "43 OK / Press",
                       "45 Center checked / Select", "45 Stretch / Select", "45 Tile / Select"}));
    // Under the add-entry dialog the setup dialog's Add takes neither a reader's press nor its command sent
    // from here while the real click's command is being handled; once it is enabled again, a press presses.
    const HWND addButton = setup.Find("TCoolBtn", "Add");
    IAccessible* add = ReaderObject(addButton);
    const VARIANT self = ChildId(CHILDID_SELF);
    VARIANT state{};
    EXPECT_EQ(add->accDoDefaultAction(self), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(add->get_accState(self, &state), S_OK);
    EXPECT_NE(state.lVal & STATE_SYSTEM_UNAVAILABLE, 0);
    // Sent as the driver sent the click, so that the program tells the two apart only by which send it made.
    handled = false;
    SendMessageCallbackA(addButton, 0xBC00 + WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(addButton),
                         MarkHandled, 0);
    for (const ULONGLONG start = GetTickCount64(); !handled && GetTickCount64() - start < 10000;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10000, QS_ALLINPUT);
        MSG queued;
        while (PeekMessageA(&queued, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&queued);
    }
    EXPECT_TRUE(handled) << "handled at once, without a dialog opened under it";
    setup.PressAddDialogButton("&Cancel");
    EXPECT_EQ(add->accDoDefaultAction(self), S_OK);
    add->Release();
    ASSERT_TRUE(setup.AddDialogOpen());
    setup.PressAddDialogButton("&Cancel");
    setup.PressButton("Cancel");
    EXPECT_TRUE(setup.Finish().ended);
    CoUninitialize();
}

TEST_F(SetupRun, AListBeyondTwoHundredEntriesIsNotSavedYetADueRunTakesWhatTheDialogShowed) {
    const std::string journal = scenario.File("desktop.txt");
    ASSERT_TRUE(SetEnvironmentVariableA("TAMBERLYN_TEST_DESKTOP", journal.c_str()));
    fakes::SaveJournal(journal, fakes::DesktopJournal());
    const std::string yesterday = base::DateToStr(base::TDate::FromSerial(base::Today().Serial() - 1));
    const std::string settings = FullList("ChangeWhen=1\r\nLastChanged=" + yesterday + "\r\nNextImage=5\r\n");
    Write(settings);
    SetupDriver setup = Open();
    ASSERT_TRUE(setup.DialogOpen());
    setup.SelectRow(5);
    setup.PressButton("Move Down");
    setup.PressButton("Add");
    ASSERT_TRUE(setup.AddDialogOpen());
    setup.TypeIntoAddDialog("c:\\one too many.bmp");
    setup.PressAddDialogButton("&OK");
    setup.PressButton("Save");
    const SeenBox range = setup.AnswerBox();
    EXPECT_EQ(range.caption, "Tamberlyn");
    EXPECT_EQ(range.text, "Range check error.");
    EXPECT_EQ(File(), settings) << "nothing written";
    EXPECT_TRUE(setup.DialogOpen());
    setup.PressButton("Cancel");
    EXPECT_TRUE(setup.Finish().ended);
    SetEnvironmentVariableA("TAMBERLYN_TEST_DESKTOP", nullptr);
    // The refused Save had already taken the list as the dialog showed it: the run swaps the moved entry
    // and records only its date and the next position.
    const std::vector<fakes::DesktopCall> set = fakes::LoadJournal(journal).CallsOf("SetWallpaper");
    ASSERT_EQ(set.size(), 1u);
    EXPECT_EQ(set.front().Text, L"C:\\P6.BMP");
    EXPECT_EQ(Value("Options", "LastChanged"), base::DateToStr(base::Today()));
    EXPECT_EQ(Value("Options", "NextImage"), "6");
    EXPECT_EQ(Value("5", "Filename"), "C:\\P5.BMP") << "the file keeps its own order";
}

// Two dialogs saving different lists of 200 entries at the same moment, ten times over: the file is one list
// or the other, whole, every time.
TEST_F(SetupRun, TwoDialogsSavingAtOnceLeaveOneWholeListOrTheOther) {
    Write(FullList(notDue));
    SetupDriver first = Open();
    SetupDriver second = Open();
    ASSERT_TRUE(first.DialogOpen() && second.DialogOpen());
    std::vector<int> down(200), up(200);
    for (int i = 0; i < 200; ++i) down[i] = up[i] = i;
    for (int round = 1; round <= 10; ++round) {
        first.SelectRow(round);
        first.PressButton("Move Down");
        std::swap(down[round], down[round + 1]);
        second.SelectRow(round);
        second.PressButton("Move Up");
        std::swap(up[round - 1], up[round]);
        std::vector<ULONG_PTR> saves;
        {
            const base::TIniFileLock held(scenario.File("Tamberlyn.ini"));
            saves = {first.PressButtonNow("Save"), second.PressButtonNow("Save")};
            AllWaitingFor({first.Dialog(), second.Dialog()});
        }
        SetupDriver::WaitUntilHandled(saves);
        const std::string file = File();
        EXPECT_TRUE(file == SavedInOrder(notDue, down) || file == SavedInOrder(notDue, up)) << "round " << round;
    }
    first.PressButton("Close");
    second.PressButton("Close");
    EXPECT_TRUE(first.Finish().ended && second.Finish().ended);
}

// A logon run whose read and record of the change meet a dialog's Save: the dialog's list stays, with the
// run's record on it or the dialog's own options, as the two took the file one after the other.
TEST_F(SetupRun, ARunRecordingWhileADialogSavesKeepsTheDialogsList) {
    const std::string journal = scenario.File("desktop.txt");
    ASSERT_TRUE(SetEnvironmentVariableA("TAMBERLYN_TEST_DESKTOP", journal.c_str()));
    fakes::SaveJournal(journal, fakes::DesktopJournal());
    const std::string everyRun = "ChangeWhen=0\r\n";
    Write(FullList(everyRun));
    SetupDriver setup = Open();
    ASSERT_TRUE(setup.DialogOpen());
    setup.SelectRow(0);
    setup.PressButton("Move Down");
    std::vector<int> order(200);
    for (int i = 0; i < 200; ++i) order[i] = i;
    std::swap(order[0], order[1]);
    std::optional<Program> logon;
    ULONG_PTR save = 0;
    {
        const base::TIniFileLock held(scenario.File("Tamberlyn.ini"));
        logon.emplace("\"" + scenario.Exe() + "\"", scenario.Path());
        save = setup.PressButtonNow("Save");
        AllWaitingFor({setup.Dialog()});
    }
    SetupDriver::WaitUntilHandled({save});
    const RunOutcome run = logon->AnswerBoxesUntilExit(30000);
    SetEnvironmentVariableA("TAMBERLYN_TEST_DESKTOP", nullptr);
    EXPECT_TRUE(run.ended);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(fakes::LoadJournal(journal).CallsOf("SetWallpaper").size(), 1u);
    const std::string saved = SavedInOrder(everyRun, order);
    const std::string file = File();
    std::string recorded = saved;
    const std::string never = "LastChanged=" + base::DateToStr(base::TDate());
    recorded.replace(recorded.find(never), never.size(), "LastChanged=" + base::DateToStr(base::Today()));
    recorded.replace(recorded.find("NextImage=0"), 11, "NextImage=1");
    EXPECT_TRUE(file == saved || file == recorded) << "the dialog's Save whole, and the run's record on it or under it";
    setup.PressButton("Close");
    EXPECT_TRUE(setup.Finish().ended);
}

TEST_F(SetupRun, AFileThatCannotBeWrittenIsReportedAndCancelStays) {
    const std::string settings = "[Options]\r\n" + notDue + "Mode=0\r\nPictureDir=C:\\PICS\\\r\n";
    Write(settings);
    SetupDriver setup = Open();
    ASSERT_TRUE(setup.DialogOpen());
    // Held open by a program that lets others read it but not write.
    HANDLE held = CreateFileA(scenario.File("Tamberlyn.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    setup.PressButton("Save");
    const SeenBox refused = setup.AnswerBox();
    CloseHandle(held);
    EXPECT_EQ(refused.text, "ERROR: There was a problem writing settings to the inifile.");
    EXPECT_TRUE(setup.DialogOpen());
    EXPECT_NE(setup.Find("TCoolBtn", "Cancel"), nullptr) << "the button is still Cancel";
    EXPECT_EQ(File(), settings);
    setup.PressButton("Cancel");
    EXPECT_TRUE(setup.Finish().ended);
}

}  // namespace
}  // namespace testing_support
