#include "app/FormDesign.h"

#include "app/WindowTexts.h"

#include <array>

namespace sapidoro {

namespace {

using K = ControlKind;

constexpr int kPanelGreen = 0xC0DCC0;
constexpr int kButtonBlue = 0x00C8FF;
constexpr int kListBlue = 0x90C8FF;
constexpr int kFieldTan = 0xF0CAA6;

// Rows follow the stacking order: a later sibling lies over an earlier one.
// The table keeps one control per row; the formatter leaves it as laid out.
// clang-format off
constexpr std::array kDesign{
    ControlDesign{.name = "NoBDEResizerPanel1", .kind = K::ResizerPanel, .parent = nullptr,
                  .bounds = {0, 0, 661, 440}, .colour = 0x309860, .fontPixels = 13,
                  .tabOrder = 0},
    ControlDesign{.name = "PageControl1", .kind = K::PageControl, .parent = "NoBDEResizerPanel1",
                  .bounds = {1, 1, 659, 438}, .options = kAlignClient, .tabOrder = 0},
    ControlDesign{.name = "Vedi", .kind = K::Page, .parent = "PageControl1", .bounds = {},
                  .text = kPageCaption, .tabOrder = 0},
    ControlDesign{.name = "Controlli1", .kind = K::Panel, .parent = "Vedi",
                  .bounds = {6, 2, 643, 81}, .colour = kPanelGreen, .tabOrder = 0},
    ControlDesign{.name = "Schermo1", .kind = K::Panel, .parent = "Vedi",
                  .bounds = {5, 88, 644, 344}, .colour = kPanelGreen, .tabOrder = 1},

    // The search and command strip.
    ControlDesign{.name = "Ricerche", .kind = K::ColourButton, .parent = "Controlli1",
                  .bounds = {4, 3, 185, 26}, .text = kRicercheDesignCaption,
                  .hint = kRicercheDesignHint, .colour = kButtonBlue, .fontPixels = 12,
                  .tabOrder = 0},
    ControlDesign{.name = "StringaDaCercare", .kind = K::DropDownCombo, .parent = "Controlli1",
                  .bounds = {197, 5, 268, 23}, .text = kStringaDaCercareDesignText,
                  .hint = kStringaDaCercareDesignHint, .fontPixels = 12, .tabOrder = 1,
                  .rowHeight = 15, .dropDownRows = 20},
    ControlDesign{.name = "SelezioneAmbitoRicerca", .kind = K::DropDownCombo,
                  .parent = "Controlli1", .bounds = {472, 5, 167, 23}, .text = kInitialScope,
                  .fontPixels = 12, .tabOrder = 2, .rowHeight = 15, .dropDownRows = 8},
    ControlDesign{.name = "Inizializzazione", .kind = K::ColourButton, .parent = "Controlli1",
                  .bounds = {473, 36, 54, 42}, .text = kResetCaption, .hint = kResetHint,
                  .colour = kButtonBlue, .fontPixels = 12, .tabOrder = 3},
    ControlDesign{.name = "StampaLaRicetta", .kind = K::PrintButton, .parent = "Controlli1",
                  .bounds = {531, 36, 52, 42}, .tabOrder = 4},
    ControlDesign{.name = "Esci", .kind = K::PushButton, .parent = "Controlli1",
                  .bounds = {586, 36, 53, 21}, .text = kExitCaption, .fontPixels = 12,
                  .tabOrder = 5},
    ControlDesign{.name = "RicetteTrovateScambio", .kind = K::DropDownCombo,
                  .parent = "Controlli1", .bounds = {-508, 33, 493, 24},
                  .text = kWorkingListDesignText, .colour = 0xC098FF, .fontPixels = 13,
                  .options = kBold | kHidden | kSorted, .tabOrder = 6, .rowHeight = 16,
                  .dropDownRows = 18},
    ControlDesign{.name = "RicetteTrovate", .kind = K::DropDownList, .parent = "Controlli1",
                  .bounds = {4, 51, 461, 23}, .colour = kListBlue, .fontPixels = 12,
                  .tabOrder = 7, .rowHeight = 17, .dropDownRows = 15},
    ControlDesign{.name = "Barra", .kind = K::ProgressBar, .parent = "Controlli1",
                  .bounds = {4, 31, 184, 16}, .colour = kPanelGreen, .tabOrder = 8,
                  .spin = {.minimum = 0, .maximum = 100, .value = 0}, .barColour = 0x008000},
    ControlDesign{.name = "CheckBox1", .kind = K::CheckBox, .parent = "Controlli1",
                  .bounds = {197, 31, 250, 17}, .text = kLimitCaption, .options = kChecked,
                  .tabOrder = 9},
    ControlDesign{.name = "CarattereStampa", .kind = K::Spinner, .parent = "Controlli1",
                  .bounds = {586, 60, 53, 18}, .hint = kPrintSizeHint, .colour = 0xC0C0C0,
                  .tabOrder = 10,
                  .spin = {.minimum = 4, .maximum = 8, .value = 7, .increment = 1,
                           .pageSize = 10}},

    // The recipe display.
    ControlDesign{.name = "BordoCalorie", .kind = K::Border, .parent = "Schermo1",
                  .bounds = {400, 7, 241, 110}},
    ControlDesign{.name = "RicettaCompleta", .kind = K::Memo, .parent = "Schermo1",
                  .bounds = {4, 4, 392, 336}, .fontPixels = 12,
                  .options = kReadOnly | kVerticalScroll | kWordWrap, .tabOrder = 10},
    ControlDesign{.name = "RzLabel1", .kind = K::Label, .parent = "Schermo1",
                  .bounds = {573, 2, 63, 15}, .text = kCaloriesLabel, .fontPixels = 12},
    ControlDesign{.name = "Persone", .kind = K::Spinner, .parent = "Schermo1",
                  .bounds = {408, 13, 73, 22}, .colour = kListBlue, .fontPixels = 16,
                  .options = kBold, .tabOrder = 12,
                  .spin = {.minimum = 1, .maximum = 100, .value = 4, .increment = 1,
                           .pageSize = 10}},
    ControlDesign{.name = "Calorie", .kind = K::Edit, .parent = "Schermo1",
                  .bounds = {488, 13, 65, 27}, .colour = kFieldTan, .fontPixels = 19,
                  .options = kReadOnly | kFlat, .tabOrder = 4},
    ControlDesign{.name = "RzLabel2", .kind = K::Label, .parent = "Schermo1",
                  .bounds = {405, 42, 168, 15}, .text = kNotFoundDesignLabel,
                  .fontPixels = 12},
    ControlDesign{.name = "ListaIngredientiNonTrovati", .kind = K::Memo, .parent = "Schermo1",
                  .bounds = {406, 56, 229, 55}, .fontPixels = 11,
                  .options = kReadOnly | kHorizontalScroll | kVerticalScroll, .tabOrder = 11},
    ControlDesign{.name = "ScrollBox1", .kind = K::ScrollBox, .parent = "Schermo1",
                  .bounds = {400, 120, 240, 220}, .tabOrder = 9},
    ControlDesign{.name = "JPEGImage1", .kind = K::Picture, .parent = "ScrollBox1",
                  .bounds = {0, 0, 393, 593}},

    // State holders beyond the right edge of the display, or hidden.
    ControlDesign{.name = "Nome", .kind = K::SimpleCombo, .parent = "Schermo1",
                  .bounds = {646, 11, 631, 24}, .colour = kFieldTan, .fontPixels = 13,
                  .options = kBold | kSorted, .tabOrder = 0, .rowHeight = 16},
    ControlDesign{.name = "Note", .kind = K::Edit, .parent = "Schermo1",
                  .bounds = {649, 53, 457, 24}, .colour = kFieldTan, .fontPixels = 13,
                  .options = kBold | kReadOnly, .tabOrder = 1},
    ControlDesign{.name = "Piatto", .kind = K::Edit, .parent = "Schermo1",
                  .bounds = {664, 92, 121, 24}, .colour = kFieldTan, .fontPixels = 13,
                  .options = kBold | kReadOnly, .tabOrder = 2},
    ControlDesign{.name = "Ingrediente_Principale", .kind = K::Edit, .parent = "Schermo1",
                  .bounds = {660, 84, 169, 24}, .colour = kFieldTan, .fontPixels = 13,
                  .options = kBold | kReadOnly, .tabOrder = 3},
    ControlDesign{.name = "Ingredienti", .kind = K::Memo, .parent = "Schermo1",
                  .bounds = {664, 112, 281, 209}, .colour = kFieldTan, .fontPixels = 12,
                  .options = kBold | kReadOnly | kHorizontalScroll | kVerticalScroll,
                  .tabOrder = 5},
    ControlDesign{.name = "Preparazione", .kind = K::Memo, .parent = "Schermo1",
                  .bounds = {664, 112, 201, 209}, .colour = kFieldTan, .fontPixels = 12,
                  .options = kBold | kReadOnly | kVerticalScroll | kWordWrap, .tabOrder = 6},
    ControlDesign{.name = "Stampa", .kind = K::RichText, .parent = "Schermo1",
                  .bounds = {646, 128, 617, 161}, .text = kPrintBufferDesignText,
                  .fontPixels = 19, .options = kHidden},
    ControlDesign{.name = "CaricaLaRicetta", .kind = K::ColourButton, .parent = "Schermo1",
                  .bounds = {653, 34, 83, 25}, .text = kLoadButtonCaption,
                  .hint = kProgressiveHint, .colour = 0xFFFF90, .options = kHidden},
    ControlDesign{.name = "PagePrinter1", .kind = K::PagePrinter, .parent = "Schermo1",
                  .bounds = {536, 128, 89, 115}, .fontPixels = 13, .options = kHidden},
};
// clang-format on

}  // namespace

std::span<const ControlDesign> MainWindowDesign() {
    return kDesign;
}

}  // namespace sapidoro
