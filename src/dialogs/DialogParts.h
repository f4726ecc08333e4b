// The pieces every dialog of the program is laid out with: fonts, the skin and its form hook, labels and
// buttons as the layouts give them.
#pragma once

#include <string>

#include "skin/CoolBtn.h"
#include "skin/CoolCtrls.h"
#include "skin/CoolLabel.h"
#include "skin/CoolStringGrid.h"
#include "ui/Forms.h"
#include "ui/Graphics.h"

namespace dialogs {

constexpr char kComicSans[] = "Comic Sans MS";
constexpr char kMsSansSerif[] = "MS Sans Serif";
// The fields' and the list's colour.
constexpr ui::TColor kCream = RGB(255, 251, 240);

// Negative heights are character heights in pixels, as the layouts state them.
void SetFont(ui::TFont& font, const char* name, int height, ui::TFontStyles style, ui::TColor color = ui::clWindowText);

// A dialog's window as the layouts describe it: a single fixed border with only the system menu,
// centred on the screen, the client size, the button-face colour, its help context and caption.
void SetDialogFrame(ui::TForm& form, const std::string& caption, int clientWidth, int clientHeight, int helpContext);

// The skin of a window: a set holding the program's one skin picture, and the form hook that tiles it
// over the window with the options given.
struct TDialogSkin {
    skin::TCoolImages* images;
    skin::TCoolFormHook* hook;
};
TDialogSkin AddSkin(ui::TForm& form, const std::string& imagesName, const std::string& hookName,
                    skin::TCoolOptions options);

// A transparent label without a shadow, kept at its laid-out rectangle.
skin::TCoolLabel* AddLabel(ui::TForm& form, ui::TWinControl* parent, int left, int top, int width, int height,
                           const std::string& caption);

// A button of the dialogs: 109 x 33, painting transparently, no caption shadow, a 24 x 24 glyph from
// the program's resources.
skin::TCoolBtn* AddButton(ui::TForm& form, ui::TWinControl* parent, int left, int top, const std::string& caption,
                          const char* glyphResource);

// Gives up a window's topmost state for a scope, so that a window it opens comes to the front, and takes it
// back on every way out.
class NotTopmostWhile {
public:
    explicit NotTopmostWhile(HWND window);
    ~NotTopmostWhile();
    NotTopmostWhile(const NotTopmostWhile&) = delete;
    NotTopmostWhile& operator=(const NotTopmostWhile&) = delete;

private:
    HWND window_;
};

// The setup dialog's list of files, as the dialog lays it out in its panel and as the benchmark of the list
// measures it: a borderless cream grid of 569 x 248 at (12, 37), two columns (the name of kNameColumnWidth
// pixels, the style of 45), rows of 16, no fixed cells, one row, Comic Sans MS of 11 pixels, every grid line,
// row selection, a vertical scroll bar and lowered cell bevels.
constexpr int kNameColumnWidth = 510;
void SetUpFileList(skin::TCoolStringGrid& grid);

// A bitmap resource of the program.
void LoadResourceBitmap(ui::TBitmap& bitmap, const char* name);

}  // namespace dialogs
