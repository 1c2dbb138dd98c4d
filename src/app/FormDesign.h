#pragma once

#include <QRect>

#include <span>

namespace sapidoro {

// The main window's design values: its bounds and font, and one row per control. Their
// texts are those of WindowTexts.h.
inline constexpr QRect kWindowDesignBounds{78, 39, 661, 440};  // position and client size
inline constexpr char kWindowFontFamily[] = "MS Sans Serif";
inline constexpr int kWindowFontPixels = 11;
inline constexpr char kControlFontFamily[] = "Courier New";

// The page printer's margins, in inches (its default unit).
inline constexpr struct {
    double top, bottom, left, right;
} kPagePrinterMargins{1.0 / 6, 1.0 / 6, 71.0 / 300, 71.0 / 300};

enum class ControlKind {
    ResizerPanel,
    PageControl,
    Page,
    Panel,
    ColourButton,  // a push button with a coloured face, or a picture button
    PushButton,
    PrintButton,  // the bitmap button with the printer picture
    DropDownCombo,
    SimpleCombo,
    DropDownList,
    ProgressBar,
    CheckBox,
    Spinner,
    Edit,
    Memo,
    RichText,
    Border,
    Label,
    ScrollBox,
    Picture,
    PagePrinter,
};

enum ControlOption : unsigned {
    kBold = 1u << 0,
    kHidden = 1u << 1,
    kSorted = 1u << 2,
    kReadOnly = 1u << 3,
    kFlat = 1u << 4,
    kWordWrap = 1u << 5,
    kHorizontalScroll = 1u << 6,
    kVerticalScroll = 1u << 7,
    kChecked = 1u << 8,
    kAlignClient = 1u << 9,  // fills its parent's client area
};

struct SpinnerDesign {
    int minimum = 0;
    int maximum = 0;
    int value = 0;
    int increment = 0;
    int pageSize = 0;
};

struct ControlDesign {
    const char *name;
    ControlKind kind;
    const char *parent;  // nullptr: the window itself
    QRect bounds;        // left, top, width, height inside the parent's client area
    const char *text = nullptr;
    const char *hint = nullptr;
    int colour = -1;       // 0xRRGGBB background or face; -1: the toolkit's own
    int fontPixels = 0;    // "Courier New" of this height; 0: the parent's font
    unsigned options = 0;  // ControlOption flags
    int tabOrder = -1;     // place among its siblings in the tab order; -1: none
    int rowHeight = 0;     // list rows
    int dropDownRows = 0;
    SpinnerDesign spin{};
    int barColour = -1;  // the filled part of a progress bar
};

// Parents come before their children.
std::span<const ControlDesign> MainWindowDesign();

}  // namespace sapidoro
