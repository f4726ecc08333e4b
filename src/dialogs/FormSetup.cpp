#include "dialogs/FormSetup.h"

#include "base/IniFiles.h"
#include "base/SysUtils.h"
#include "core/PictureFiles.h"
#include "core/Settings.h"
#include "core/WindowRoutines.h"
#include "dialogs/DialogParts.h"
#include "dialogs/FormAbout.h"
#include "dialogs/FormAdd.h"
#include "ui/Dialogs.h"

namespace dialogs {

TfrmSetup* frmSetup = nullptr;

namespace {

// The list grid's columns.
constexpr int kName = 0;
constexpr int kStyle = 1;

const char* const kStyleTexts[] = {"Center", "Stretch", "Tile"};

// The style as the list shows it: empty for a value outside 0 to 2.
std::string StyleText(int style) {
    return style >= 0 && style <= 2 ? kStyleTexts[style] : "";
}

// The stored style for the text the list shows, compared exactly; 0 when no text matches.
int32_t StyleOfText(const std::string& text) {
    for (int32_t style = 0; style <= 2; ++style) {
        if (text == kStyleTexts[style]) return style;
    }
    return 0;
}

// Without leading and trailing blanks and control characters.
std::string Trim(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
    return text.substr(first, last - first);
}

skin::TCoolPanel* AddPanel(ui::TForm& form, int left, int top, int width, int height, ui::TAlign align) {
    auto* panel = new skin::TCoolPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(left, top, width, height);
    panel->SetAlign(align);
    panel->SetColor(ui::clBtnFace);
    panel->SetTransparent(true);
    return panel;
}

skin::TCoolLabel* AddTitle(ui::TForm& form, ui::TWinControl* parent, int left, int top, int width,
                           const std::string& caption) {
    skin::TCoolLabel* title = AddLabel(form, parent, left, top, width, 19, caption);
    title->Font().SetStyle(ui::fsBold | ui::fsUnderline);
    return title;
}

skin::TCoolCheckRadioGroup* AddGroup(ui::TForm& form, ui::TWinControl* parent, int left, int top, int width,
                                     const std::string& caption, std::initializer_list<const char*> items) {
    auto* group = new skin::TCoolCheckRadioGroup(&form);
    group->SetParent(parent);
    group->SetBounds(left, top, width, 93);
    group->SetCaption(caption);
    for (const char* item : items) group->Items().Add(item);
    group->SetFlat(true);
    group->SetShadowSize(0);
    group->SetTransparent(true);
    return group;
}

skin::TCoolCheckRadioBox* AddTypeBox(ui::TForm& form, ui::TWinControl* parent, int top, const std::string& caption) {
    auto* box = new skin::TCoolCheckRadioBox(&form);
    box->SetParent(parent);
    box->SetBounds(12, top, 60, 17);
    box->SetCaption(caption);
    box->SetFlat(true);
    box->SetShadowSize(0);
    box->SetTransparent(true);
    return box;
}

}  // namespace

TfrmSetup::TfrmSetup(base::TComponent* owner) : ui::TForm(owner) {
    BeginLoading();
    SetName("frmSetup");
    SetDialogFrame(*this, "Tamberlyn Setup", 592, 573, 2);
    SetFont(Font(), kComicSans, -13, ui::fsBold);

    // Bottom panels first, the lowest first: each aligned panel takes its place from what is left.
    cpnlSave = AddPanel(*this, 0, 532, 592, 41, ui::alBottom);
    cpnlList = AddPanel(*this, 0, 204, 592, 328, ui::alBottom);
    cpnlDir = AddPanel(*this, 0, 104, 592, 100, ui::alBottom);
    cpnlOptions = AddPanel(*this, 0, 0, 404, 104, ui::alLeft);
    cpnlHelp = AddPanel(*this, 404, 0, 188, 104, ui::alRight);
    cpnlOptions->SetTabOrder(0);
    cpnlHelp->SetTabOrder(1);
    cpnlDir->SetTabOrder(2);
    cpnlList->SetTabOrder(3);
    cpnlSave->SetTabOrder(4);

    clblOptionsTitle = AddTitle(*this, cpnlOptions, 4, 0, 47, "Options");
    crdgrpChangeWhen = AddGroup(*this, cpnlOptions, 61, 3, 104, "Change when:", {"&Every Time", "&Daily"});
    crdgrpChangeWhen->SetItemIndex(0);
    crdgrpMode = AddGroup(*this, cpnlOptions, 176, 3, 93, "Mode:", {"Di&rectory", "&List"});
    crdgrpMode->SetItemIndex(0);
    crdgrpMode->OnClick = [this] { crdgrpModeClick(); };
    cchkrdgrpForceAD = AddGroup(*this, cpnlOptions, 280, 3, 113, "Active Desktop:", {"Force E&nable"});
    cchkrdgrpForceAD->SetCheckRadioType(skin::crCheckBox);
    cchkrdgrpForceAD->OnClick = [this] { crdgrpModeClick(); };
    crdgrpChangeWhen->SetTabOrder(0);
    crdgrpMode->SetTabOrder(1);
    cchkrdgrpForceAD->SetTabOrder(2);

    cbtnAbout = AddButton(*this, cpnlHelp, 39, 14, "About", "GLYPH_ABOUT");
    cbtnAbout->OnClick = [this] { cbtnAboutClick(); };
    cbtnHelp = AddButton(*this, cpnlHelp, 39, 58, "Help", "GLYPH_HELP");
    cbtnHelp->OnClick = [this] { cbtnHelpClick(); };

    clblDirTitle = AddTitle(*this, cpnlDir, 4, 0, 156, "All Pictures in Directory");
    clblDir = AddLabel(*this, cpnlDir, 8, 39, 25, 19, "D&ir:");
    cedtbtnDir = new skin::TCoolEditBtn(this);
    cedtbtnDir->SetParent(cpnlDir);
    cedtbtnDir->SetBounds(36, 35, 357, 29);
    cedtbtnDir->SetBorderStyle(ui::bsNone);
    cedtbtnDir->SetCharCase(ui::ecUpperCase);
    // No longer than the settings file keeps it.
    cedtbtnDir->SetMaxLength(static_cast<int>(base::kLongestIniValue));
    cedtbtnDir->SetColor(kCream);
    SetFont(cedtbtnDir->Font(), kComicSans, -13, ui::fsBold);
    ui::TBitmap browse;
    LoadResourceBitmap(browse, "GLYPH_BROWSE");
    cedtbtnDir->SetGlyph(browse);
    cedtbtnDir->OnBtnClick = [this] { cedtbtnDirBtnClick(); };
    // The button shows only a glyph: a reader hears its purpose.
    cedtbtnDir->Button()->SetAccessibleName("Browse");
    clblDir->SetFocusControl(cedtbtnDir);
    cchkrdgrpStyle = AddGroup(*this, cpnlDir, 492, 1, 92, "Style:", {"&Center", "&Stretch", "&Tile"});
    cchkrdgrpStyle->SetItemIndex(0);
    cchkrdgrpStyle->OnClick = [this] { crdgrpModeClick(); };
    cgrpbxType = new skin::TCoolGroupBox(this);
    cgrpbxType->SetParent(cpnlDir);
    cgrpbxType->SetBounds(400, 1, 85, 93);
    cgrpbxType->SetCaption("Type:");
    cgrpbxType->SetShadowSize(0);
    cgrpbxType->SetTransparent(true);
    cchkrdbxBMP = AddTypeBox(*this, cgrpbxType, 20, "*.bmp");
    cchkrdbxGIF = AddTypeBox(*this, cgrpbxType, 37, "*.gif");
    cchkrdbxJPG = AddTypeBox(*this, cgrpbxType, 54, "*.jpg");
    cchkrdbxPNG = AddTypeBox(*this, cgrpbxType, 71, "*.png");
    cedtbtnDir->SetTabOrder(0);
    cchkrdgrpStyle->SetTabOrder(1);
    cgrpbxType->SetTabOrder(2);

    clblListTitle = AddTitle(*this, cpnlList, 4, 0, 78, "List of Files");
    clblFilenameTitle = AddLabel(*this, cpnlList, 12, 18, 60, 19, "Filename:");
    clblTiledTitle = AddLabel(*this, cpnlList, 542, 18, 39, 19, "Style:");
    cstgrdList = new skin::TCoolStringGrid(this);
    cstgrdList->SetParent(cpnlList);
    SetUpFileList(*cstgrdList);
    // The last row stands empty for the next entry, and is no entry to a reader, who hears the list by its title.
    cstgrdList->SetBlankLastRow(true);
    clblListTitle->SetFocusControl(cstgrdList);
    cbtnAdd = AddButton(*this, cpnlList, 12, 290, "Add", "GLYPH_ADD");
    cbtnAdd->OnClick = [this] { cbtnAddClick(); };
    cbtnRemove = AddButton(*this, cpnlList, 165, 290, "Remove", "GLYPH_REMOVE");
    cbtnRemove->OnClick = [this] { cbtnRemoveClick(); };
    cbtnUp = AddButton(*this, cpnlList, 318, 290, "Move Up", "GLYPH_MOVEUP");
    cbtnUp->OnClick = [this] { cbtnUpClick(); };
    cbtnDown = AddButton(*this, cpnlList, 472, 290, "Move Down", "GLYPH_MOVEDOWN");
    cbtnDown->OnClick = [this] { cbtnDownClick(); };
    cstgrdList->SetTabOrder(0);
    cbtnAdd->SetTabOrder(1);
    cbtnDown->SetTabOrder(2);
    cbtnRemove->SetTabOrder(3);
    cbtnUp->SetTabOrder(4);

    cbtnRefresh = AddButton(*this, cpnlSave, 99, 4, "Refresh", "GLYPH_REFRESH");
    cbtnRefresh->OnClick = [this] { cbtnRefreshClick(); };
    cbtnSave = AddButton(*this, cpnlSave, 241, 4, "Save", "GLYPH_SAVE");
    cbtnSave->OnClick = [this] { cbtnSaveClick(); };
    cbtnCancel = AddButton(*this, cpnlSave, 383, 4, "Cancel", "GLYPH_CANCEL");
    // Escape leaves the dialog as Cancel (later Close) does.
    cbtnCancel->SetCancel(true);
    cbtnCancel->OnClick = [this] { cbtnCancelClick(); };
    SetActiveControl(cbtnRefresh);

    const TDialogSkin skin =
        AddSkin(*this, "cimgsSetupWallpaper", "cfhSetup", skin::TCoolOptions{skin::ocPaintWallpaper});
    cimgsSetupWallpaper = skin.images;
    cfhSetup = skin.hook;
    EndLoading();

    OnCreate = [this] { FormCreate(); };
    OnClose = [this](ui::TCloseAction& action) { FormClose(action); };
}

void TfrmSetup::FormCreate() {
    core::SetFormOnTop(Handle(), true);
    LoadControls();
    UpdateModeControls();
}

// Steps 1 to 6 of loading, shared by the creation and Refresh: every control from Settings.
void TfrmSetup::LoadControls() {
    const core::TSettings& settings = core::Settings;
    crdgrpChangeWhen->SetItemIndex(settings.ChangeWhen);
    crdgrpMode->SetItemIndex(settings.Mode);
    cchkrdgrpForceAD->SetItemIndex(settings.ForceAD ? 0 : -1);
    cedtbtnDir->SetText(settings.PictureDir);
    cchkrdbxBMP->SetChecked(settings.BMPtype);
    cchkrdbxGIF->SetChecked(settings.GIFtype);
    cchkrdbxJPG->SetChecked(settings.JPGtype);
    cchkrdbxPNG->SetChecked(settings.PNGtype);
    cchkrdgrpStyle->SetItemIndex(settings.DisplayStyle);
    for (int i = 0; i < core::kPictureListSize; ++i) {
        const core::PictureEntry& entry = settings.PictureList.Items[i];
        const std::string name = entry.Name();
        if (name.empty()) break;
        cstgrdList->SetRowCount(i + 2);
        cstgrdList->SetCells(kName, i, name);
        cstgrdList->SetCells(kStyle, i, StyleText(entry.DisplayStyle));
    }
}

void TfrmSetup::crdgrpModeClick() {
    UpdateModeControls();
}

void TfrmSetup::SetEnabledIfChanged(ui::TControl* control, bool enabled) {
    if (control->Enabled() != enabled) control->SetEnabled(enabled);
}

// The field and the list take the button-face colour when they are disabled and the window colour when
// they are enabled again: the layout's cream shows only until the first change.
void TfrmSetup::SetEnabledAndRecolour(ui::TWinControl* control, bool enabled) {
    if (control->Enabled() == enabled) return;
    control->SetEnabled(enabled);
    control->SetColor(enabled ? ui::clWindow : ui::clBtnFace);
}

void TfrmSetup::UpdateModeControls() {
    const bool directory = crdgrpMode->ItemIndex() == 0;
    SetEnabledIfChanged(clblDirTitle, directory);
    SetEnabledIfChanged(clblDir, directory);
    SetEnabledAndRecolour(cedtbtnDir, directory);
    SetEnabledIfChanged(cchkrdgrpStyle, directory);
    if (cgrpbxType->Enabled() != directory) {
        cgrpbxType->SetEnabled(directory);
        for (skin::TCoolCheckRadioBox* box : {cchkrdbxBMP, cchkrdbxGIF, cchkrdbxJPG, cchkrdbxPNG})
            box->SetEnabled(directory);
    }
    SetEnabledIfChanged(clblListTitle, !directory);
    SetEnabledIfChanged(clblFilenameTitle, !directory);
    SetEnabledIfChanged(clblTiledTitle, !directory);
    SetEnabledAndRecolour(cstgrdList, !directory);
    for (skin::TCoolBtn* button : {cbtnAdd, cbtnRemove, cbtnUp, cbtnDown}) SetEnabledIfChanged(button, !directory);
}

int TfrmSetup::ShowModalDialog(ui::TForm& dialog) {
    return dialog.ShowModal();
}

void TfrmSetup::cbtnAddClick() {
    base::Owned<TfrmAdd> add(ui::NewForm<TfrmAdd>(ui::Application));
    // The add-entry dialog must be able to come to the front; this dialog is topmost again afterwards,
    // whatever happened.
    const NotTopmostWhile addInFront(Handle());
    if (ShowModalDialog(*add) != ui::mrOk) return;
    const std::string name = Trim(add->cedtbtnFilename->Text());
    const int style = add->cchkrdgrpbxStyle->ItemIndex();
    const int blank = cstgrdList->RowCount() - 1;
    cstgrdList->SetRowCount(blank + 2);
    cstgrdList->SetCells(kName, blank, name);
    cstgrdList->SetCells(kStyle, blank, StyleText(style));
}

int TfrmSetup::SelectedRow() const {
    return cstgrdList->Selection().Top;
}

void TfrmSetup::SwapRows(int a, int b) {
    for (int col : {kName, kStyle}) {
        const std::string held = cstgrdList->Cells(col, a);
        cstgrdList->SetCells(col, a, cstgrdList->Cells(col, b));
        cstgrdList->SetCells(col, b, held);
    }
}

void TfrmSetup::cbtnRemoveClick() {
    const int selected = SelectedRow();
    if (cstgrdList->Cells(kName, selected).empty()) return;
    const int rows = cstgrdList->RowCount();
    for (int row = selected; row < rows - 1; ++row) {
        cstgrdList->SetCells(kName, row, cstgrdList->Cells(kName, row + 1));
        cstgrdList->SetCells(kStyle, row, cstgrdList->Cells(kStyle, row + 1));
    }
    cstgrdList->SetRowCount(rows - 1);
    if (cstgrdList->ColWidths(kName) != kNameColumnWidth) cstgrdList->SetColWidths(kName, kNameColumnWidth);
}

void TfrmSetup::cbtnUpClick() {
    const int selected = SelectedRow();
    if (selected == 0 || cstgrdList->Cells(kName, selected).empty()) return;
    SwapRows(selected, selected - 1);
    const ui::TGridRect selection = cstgrdList->Selection();
    cstgrdList->SetSelection(ui::TGridRect{selection.Left, selected - 1, selection.Right, selected - 1});
}

void TfrmSetup::cbtnDownClick() {
    const int selected = SelectedRow();
    if (selected == cstgrdList->RowCount() - 2 || cstgrdList->Cells(kName, selected).empty()) return;
    SwapRows(selected, selected + 1);
    const ui::TGridRect selection = cstgrdList->Selection();
    cstgrdList->SetSelection(ui::TGridRect{selection.Left, selected + 1, selection.Right, selected + 1});
}

void TfrmSetup::cbtnRefreshClick() {
    for (int row = 0; row <= cstgrdList->RowCount() - 2; ++row) {
        cstgrdList->SetCells(kName, row, "");
        cstgrdList->SetCells(kStyle, row, "");
    }
    LoadControls();
    cstgrdList->SetRowCount(core::Settings.PictureList.Count() + 1);
    UpdateModeControls();
}

void TfrmSetup::cbtnSaveClick() {
    core::TSettings& settings = core::Settings;
    settings.ChangeWhen = crdgrpChangeWhen->ItemIndex();
    if (crdgrpMode->ItemIndex() != settings.Mode) {
        settings.NextImage = 0;
        settings.Mode = crdgrpMode->ItemIndex();
    }
    settings.ForceAD = cchkrdgrpForceAD->ItemIndex() == 0;
    // A blank or a control character at either end is no part of a folder's name (a mend: the field kept
    // them, and only the next run failed on the folder).
    settings.PictureDir = Trim(cedtbtnDir->Text());
    settings.BMPtype = cchkrdbxBMP->Checked();
    settings.GIFtype = cchkrdbxGIF->Checked();
    settings.JPGtype = cchkrdbxJPG->Checked();
    settings.PNGtype = cchkrdbxPNG->Checked();
    settings.DisplayStyle = cchkrdgrpStyle->ItemIndex();
    settings.PictureList.Clear();
    // The list holds at most 200 entries of at most 260 characters: anything beyond stops the save before
    // the file is touched. The blank last row writes nothing, so it may lie beyond the last slot.
    for (int row = 0; row < cstgrdList->RowCount(); ++row) {
        const std::string& name = cstgrdList->Cells(kName, row);
        const std::string& style = cstgrdList->Cells(kStyle, row);
        if (name.empty() && style.empty()) continue;
        if (row >= core::kPictureListSize) throw base::ERangeError();
        core::PictureEntry& entry = settings.PictureList.Items[row];
        entry.SetName(name);
        entry.DisplayStyle = StyleOfText(style);
    }
    if (core::WriteIniSettings()) {
        cbtnCancel->SetCaption("Close");
        cbtnCancel->OnClick = [this] { cbtnCloseClick(); };
    }
}

void TfrmSetup::cbtnCancelClick() {
    Close();
}

void TfrmSetup::cbtnCloseClick() {
    Close();
}

void TfrmSetup::cedtbtnDirBtnClick() {
    std::string folder;
    // Owned by this dialog: the browser comes up in front of it, and the dialog waits for it.
    if (ui::BrowseForFolder(Handle(), "Select picture directory...", folder))
        cedtbtnDir->SetText(core::AddTrailingBackslash(folder));
}

void TfrmSetup::cbtnAboutClick() {
    base::Owned<TfrmAbout> about(ui::NewForm<TfrmAbout>(ui::Application));
    ShowModalDialog(*about);
}

void TfrmSetup::cbtnHelpClick() {
    ui::Application->HelpCommand(15, 1003);
}

void TfrmSetup::FormClose(ui::TCloseAction& action) {
    action = ui::caFree;
}

}  // namespace dialogs
