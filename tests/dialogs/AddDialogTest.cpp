// The add-entry dialog on real windows: the file-name field, the chooser it opens, and how it ends.
#include <gtest/gtest.h>

#include <windows.h>

#include <commdlg.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/SysUtils.h"
#include "dialogs/FormAdd.h"
#include "dialogs/dmHTMLHelp.h"
#include "support/Keys.h"
#include "support/ModalWatch.h"
#include "ui/Dialogs.h"
#include "ui/Forms.h"

namespace {

// What the chooser was asked, and what it answers.
struct ChooserCall {
    std::string title;
    std::vector<std::string> filter;  // the parts between the terminators
    DWORD filterIndex = 0;
    DWORD flags = 0;
    bool noInitialFolderOrName = false;
    bool topmostOwner = true;
};
std::vector<ChooserCall> chooserCalls;
std::string chooserAnswer;

bool RecordChooser(OPENFILENAMEA& request) {
    ChooserCall call;
    call.title = request.lpstrTitle != nullptr ? request.lpstrTitle : "";
    for (const char* part = request.lpstrFilter; part != nullptr && *part != '\0'; part += std::strlen(part) + 1)
        call.filter.emplace_back(part);
    call.filterIndex = request.nFilterIndex;
    call.flags = request.Flags;
    call.noInitialFolderOrName = request.lpstrInitialDir == nullptr && request.lpstrFile[0] == '\0';
    call.topmostOwner = (GetWindowLongA(request.hwndOwner, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    chooserCalls.push_back(call);
    if (chooserAnswer.empty()) return false;
    chooserAnswer.copy(request.lpstrFile, chooserAnswer.size());
    request.lpstrFile[chooserAnswer.size()] = '\0';
    return true;
}

struct AddDialog : ::testing::Test {
    AddDialog() : add(ui::NewForm<dialogs::TfrmAdd>(&application)) {
        chooserCalls.clear();
        previous = ui::SetOpenFileNameCall(&RecordChooser);
        add->Show();
        Pump();
    }
    ~AddDialog() override { ui::SetOpenFileNameCall(previous); }

    void Pump() { application.ProcessMessages(); }
    // A Unicode window's characters: UTF-16 units.
    void Type(const std::string& text) {
        for (const wchar_t unit : base::WideText(text)) PostMessageW(add->cedtbtnFilename->Handle(), WM_CHAR, unit, 1);
        Pump();
    }
    void ClickBrowse() {
        HWND button = add->cedtbtnFilename->Button()->Handle();
        SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        Pump();
    }

    ui::TApplication application;
    base::Owned<dialogs::TfrmAdd> add;
    ui::TOpenFileNameCall previous = nullptr;
};

TEST_F(AddDialog, TheFieldTakesUpperCaseAndStopsAt260TypedCharacters) {
    EXPECT_EQ(add->Caption(), "Add picture or web page to list...");
    EXPECT_EQ(GetFocus(), add->cedtbtnFilename->Handle()) << "the field has the focus when the dialog opens";
    EXPECT_EQ(add->cchkrdgrpbxStyle->ItemIndex(), 0) << "Center";
    EXPECT_TRUE((GetWindowLongA(add->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    Type("c:\\pics\\sea.htm");
    EXPECT_EQ(add->cedtbtnFilename->Text(), "C:\\PICS\\SEA.HTM");
    add->cedtbtnFilename->SetText("");
    // Characters, not bytes: Greek letters take two each.
    std::string typed, expected;
    for (int i = 0; i < 270; ++i) typed += "ω";
    for (int i = 0; i < 260; ++i) expected += "Ω";
    Type(typed);
    EXPECT_EQ(add->cedtbtnFilename->Text(), expected);

    // Keys as input methods and on-screen keyboards send them, a character beyond the basic plane as two units.
    add->cedtbtnFilename->SetText("");
    const auto text = [&] { return add->cedtbtnFilename->Text(); };
    testing_support::TypeUnicode(add->Handle(), L"Café€€ ωψ🌄", [&] { return base::WideLength(text()) == 11; });
    EXPECT_EQ(text(), "CAFÉ€€ ΩΨ🌄");
    // A character that no longer fits whole is not typed in part, nor pasted in part.
    add->cedtbtnFilename->SetText(std::string(259, 'X'));
    SendMessageW(add->cedtbtnFilename->Handle(), EM_SETSEL, 259, 259);
    Type("🌄y");
    EXPECT_EQ(text(), std::string(259, 'X') + "Y");
    add->cedtbtnFilename->SetText("");
    testing_support::Paste(add->cedtbtnFilename->Handle(), L"C:\\" + std::wstring(256, L'a') + L"🌄🌄zz");
    EXPECT_EQ(text(), "C:\\" + std::string(256, 'A'));
}

TEST_F(AddDialog, TheChooserIsAskedExactlyAndAChosenPathReplacesTheTextWhole) {
    add->cedtbtnFilename->SetText("KEPT");
    chooserAnswer.clear();
    ClickBrowse();
    EXPECT_EQ(add->cedtbtnFilename->Text(), "KEPT") << "a cancelled chooser keeps the text";
    ASSERT_EQ(chooserCalls.size(), 1u);
    const ChooserCall& call = chooserCalls[0];
    EXPECT_EQ(call.title, "Select a picture or web page...");
    EXPECT_EQ(call.filter,
              (std::vector<std::string>{"Pictures (*.bmp, *.gif, *.jpg, *.png)", "*.bmp;*.gif;*.jpg;*.png",
                                        "Web Pages (*.html, *.htm)", "*.html;*.htm", "All files (*.*)", "*.*"}));
    EXPECT_EQ(call.filterIndex, 1u);
    const DWORD wanted =
        OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING | OFN_DONTADDTORECENT;
    EXPECT_EQ(call.flags & wanted, wanted);
    EXPECT_EQ(call.flags & ~(wanted | OFN_EXPLORER), 0u);
    EXPECT_TRUE(call.noInitialFolderOrName);
    EXPECT_FALSE(call.topmostOwner) << "the dialog is not topmost while the chooser is open";
    EXPECT_TRUE((GetWindowLongA(add->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) << "and is again afterwards";

    chooserAnswer = "C:\\" + std::string(300, 'p') + "\\page.html";
    ClickBrowse();
    EXPECT_EQ(add->cedtbtnFilename->Text(), "C:\\" + std::string(300, 'P') + "\\PAGE.HTML") << "not cut at 260";
    ClickBrowse();
    EXPECT_TRUE(chooserCalls.back().noInitialFolderOrName) << "not even at the file chosen before";
}

TEST_F(AddDialog, CancelAndTheCloseBoxReturnCancelWhateverWasTypedAndF1AsksForContextTwo) {
    std::vector<std::pair<uint16_t, intptr_t>> help;
    application.OnHelp = [&](uint16_t command, intptr_t data, bool&) {
        help.emplace_back(command, data);
        return true;
    };
    for (HWND focus : {add->cbtnOK->Handle(), add->cedtbtnFilename->Handle()}) {
        SetFocus(focus);
        PostMessageA(focus, WM_KEYDOWN, VK_F1, 1);
        Pump();
    }
    EXPECT_EQ(help, (std::vector<std::pair<uint16_t, intptr_t>>{{HELP_CONTEXT, 2}, {HELP_CONTEXT, 2}}));

    Type("c:\\typed.bmp");
    PostMessageA(add->cbtnCancel->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(add->ShowModal(), ui::mrCancel);
    PostMessageA(add->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(add->ShowModal(), ui::mrCancel);
    PostMessageA(add->cedtbtnFilename->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(add->ShowModal(), ui::mrCancel) << "Escape leaves the dialog as the close box does";
    PostMessageA(add->cbtnOK->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(add->ShowModal(), ui::mrOk);
    EXPECT_EQ(add->cedtbtnFilename->Text(), "C:\\TYPED.BMP");
}

TEST_F(AddDialog, TheSystemsOpenFileDialogReallyOpensWithItsTitle) {
    ui::SetOpenFileNameCall(previous);
    add->cedtbtnFilename->SetText("KEPT");
    bool chooserSeen = false;
    const testing_support::ModalWatch watch("the open-file dialog", [&chooserSeen] {
        HWND chooser = FindWindowA("#32770", "Select a picture or web page...");
        if (chooser == nullptr) return false;
        chooserSeen = true;
        PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    ClickBrowse();
    EXPECT_TRUE(chooserSeen);
    EXPECT_EQ(add->cedtbtnFilename->Text(), "KEPT");
}

}  // namespace
