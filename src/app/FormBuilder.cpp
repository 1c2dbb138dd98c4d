#include "app/FormBuilder.h"

#include "app/ErrorReport.h"

#include "pageprinter/PagePrnt.h"
#include "picture/JpgImg.h"
#include "resizer/NoBDERP.h"
#include "widgets/ColourButton.h"
#include "widgets/ComboBox.h"
#include "widgets/FrameBorder.h"
#include "widgets/PrinterGlyph.h"
#include "widgets/ProgressBar.h"
#include "widgets/ScrollBars.h"
#include "widgets/Spinner.h"

#include <QCheckBox>
#include <QFont>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace sapidoro {

namespace {

using K = ControlKind;

QString Utf8(const char *text) {
    return QString::fromUtf8(text);
}

// The "Courier New" font of the controls, `pixels` high.
QFont ControlFont(int pixels, bool bold) {
    QFont font(QString::fromLatin1(kControlFontFamily));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

bool IsContainer(ControlKind kind) {
    return kind == K::ResizerPanel || kind == K::PageControl || kind == K::Page || kind == K::Panel;
}

QWidget *CreateControl(const ControlDesign &design, QWidget *parent) {
    switch (design.kind) {
        case K::ResizerPanel: {
            auto *panel = new TNoBDEResizerPanel(parent);
            panel->setAllowChanges(false);
            panel->setActive(true);
            // Its errors reach the user as every event handler's do.
            panel->setErrorHandler([](std::exception_ptr error) {
                EventGuard::Run([&] { std::rethrow_exception(error); });
            });
            return panel;
        }
        case K::PageControl: {
            // Its pages show no tab, so the tab row stays empty and the first page stays up.
            auto *pages = new QTabWidget(parent);
            pages->setTabPosition(QTabWidget::South);
            pages->tabBar()->hide();
            pages->setFocusPolicy(Qt::NoFocus);
            return pages;
        }
        case K::Page: {
            auto *page = new QWidget;
            static_cast<QTabWidget *>(parent)->addTab(page, Utf8(design.text));
            return page;
        }
        case K::Panel: {
            auto *panel = new QFrame(parent);
            panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
            return panel;
        }
        case K::ColourButton:
            return new ColourButton(parent);
        case K::PrintButton: {
            auto *button = new ColourButton(parent);
            button->setGlyph(PrinterGlyph());
            return button;
        }
        case K::PushButton:
            return new QPushButton(parent);
        case K::DropDownCombo:
            return new ComboBox(ComboBox::Style::DropDown, parent);
        case K::SimpleCombo:
            return new ComboBox(ComboBox::Style::Simple, parent);
        case K::DropDownList:
            return new ComboBox(ComboBox::Style::DropDownList, parent);
        case K::ProgressBar:
            return new ProgressBar(parent);
        case K::CheckBox:
            return new QCheckBox(parent);
        case K::Spinner:
            return new Spinner(parent);
        case K::Edit: {
            auto *edit = new QLineEdit(parent);
            // Data lines have no length limit: the field takes as long a text as it can hold.
            edit->setMaxLength(std::numeric_limits<int>::max());
            return edit;
        }
        case K::Memo: {
            auto *memo = new QPlainTextEdit(parent);
            memo->setTabChangesFocus(true);
            memo->setFocusPolicy(Qt::StrongFocus);
            return memo;
        }
        case K::RichText: {
            // No scroll bars, as designed: the text wraps at the whole client width.
            auto *rich = new QTextEdit(parent);
            rich->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            rich->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            return rich;
        }
        case K::Border:
            return new FrameBorder(parent);
        case K::Label: {
            // Opaque, so that the caption interrupts the frame line it stands on.
            auto *label = new QLabel(parent);
            label->setAutoFillBackground(true);
            return label;
        }
        case K::ScrollBox: {
            auto *box = new QScrollArea(parent);
            box->setFocusPolicy(Qt::NoFocus);
            return box;
        }
        case K::Picture: {
            auto *picture = new TJPEGImage;
            static_cast<QScrollArea *>(parent)->setWidget(picture);
            return picture;
        }
        case K::PagePrinter: {
            auto *printer = new TPagePrinter(parent);
            printer->setMargins(kPagePrinterMargins.top, kPagePrinterMargins.bottom,
                                kPagePrinterMargins.left, kPagePrinterMargins.right);
            return printer;
        }
    }
    return new QWidget(parent);
}

void ApplyColour(QWidget *control, ControlKind kind, const QColor &colour) {
    switch (kind) {
        case K::ColourButton:
        case K::PrintButton:
            static_cast<ColourButton *>(control)->setFaceColour(colour);
            return;
        case K::ProgressBar:
            static_cast<ProgressBar *>(control)->setBackgroundColour(colour);
            return;
        case K::ResizerPanel:
        case K::Panel:
        case K::Page:
        case K::Label: {
            QPalette palette = control->palette();
            palette.setColor(QPalette::Window, colour);
            control->setPalette(palette);
            control->setAutoFillBackground(true);
            return;
        }
        default: {
            // Edit fields, lists, text boxes and spinners show their colour where text stands.
            QPalette palette = control->palette();
            palette.setColor(QPalette::Base, colour);
            control->setPalette(palette);
            return;
        }
    }
}

void ApplyText(QWidget *control, const ControlDesign &design) {
    const QString text = Utf8(design.text);
    if (auto *combo = qobject_cast<ComboBox *>(control)) {
        combo->setText(text);
    } else if (auto *button = qobject_cast<QAbstractButton *>(control)) {
        button->setText(text);
    } else if (auto *label = qobject_cast<QLabel *>(control)) {
        label->setText(text);
    } else if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        edit->setText(text);
    } else if (auto *memo = qobject_cast<QPlainTextEdit *>(control)) {
        memo->setPlainText(text);
    } else if (auto *rich = qobject_cast<QTextEdit *>(control)) {
        rich->setPlainText(text);
    }
}

void ApplyOptions(QWidget *control, const ControlDesign &design) {
    const unsigned options = design.options;
    if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        edit->setReadOnly(options & kReadOnly);
        edit->setFrame(!(options & kFlat));
    }
    if (auto *memo = qobject_cast<QPlainTextEdit *>(control)) {
        memo->setReadOnly(options & kReadOnly);
        memo->setLineWrapMode((options & kWordWrap) ? QPlainTextEdit::WidgetWidth
                                                    : QPlainTextEdit::NoWrap);
        const bool horizontal = options & kHorizontalScroll;
        const bool vertical = options & kVerticalScroll;
        SetScrollBars(memo, horizontal && vertical ? ScrollStyle::Both
                            : horizontal           ? ScrollStyle::Horizontal
                            : vertical             ? ScrollStyle::Vertical
                                                   : ScrollStyle::None);
    }
    if (auto *check = qobject_cast<QCheckBox *>(control)) check->setChecked(options & kChecked);
    if (auto *combo = qobject_cast<ComboBox *>(control)) {
        combo->setSorted(options & kSorted);
        if (design.rowHeight > 0) combo->setItemHeight(design.rowHeight);
        if (design.dropDownRows > 0) combo->setMaxVisibleItems(design.dropDownRows);
    }
    if (auto *spinner = qobject_cast<Spinner *>(control)) {
        spinner->setMinimum(design.spin.minimum);
        spinner->setMaximum(design.spin.maximum);
        spinner->setValue(design.spin.value);
        spinner->setIncrement(design.spin.increment);
        spinner->setPageSize(design.spin.pageSize);
    }
    if (auto *bar = qobject_cast<ProgressBar *>(control)) {
        bar->setRange(design.spin.minimum, design.spin.maximum);
        bar->setValue(design.spin.value);
        if (design.barColour >= 0) bar->setBarColour(QColor::fromRgb(QRgb(design.barColour)));
    }
}

void ApplyDesign(QWidget *control, const ControlDesign &design) {
    control->setObjectName(Utf8(design.name));
    if (design.kind != K::Page) control->setGeometry(design.bounds);
    if (design.fontPixels > 0)
        control->setFont(ControlFont(design.fontPixels, design.options & kBold));
    if (design.colour >= 0) ApplyColour(control, design.kind, QColor::fromRgb(QRgb(design.colour)));
    ApplyOptions(control, design);
    if (design.text != nullptr) ApplyText(control, design);
    if (design.hint != nullptr) control->setToolTip(Utf8(design.hint));
    // A right click anywhere goes on to the window, which shows its popup menu.
    control->setContextMenuPolicy(Qt::NoContextMenu);
    if (design.options & kHidden) control->hide();
    if (design.options & kAlignClient) SetAlign(control, alClient);
}

bool SameParent(const char *a, const char *b) {
    return (a == nullptr || b == nullptr) ? a == b : std::strcmp(a, b) == 0;
}

// Containers in their tab order, each followed by its own controls in their tab order.
void CollectTabChain(const char *parent, const QHash<QString, QWidget *> &controls,
                     std::vector<QWidget *> &chain) {
    std::vector<const ControlDesign *> siblings;
    for (const ControlDesign &design : MainWindowDesign())
        if (design.tabOrder >= 0 && SameParent(design.parent, parent)) siblings.push_back(&design);
    std::stable_sort(siblings.begin(), siblings.end(),
                     [](auto *a, auto *b) { return a->tabOrder < b->tabOrder; });
    for (const ControlDesign *design : siblings) {
        if (IsContainer(design->kind))
            CollectTabChain(design->name, controls, chain);
        else
            chain.push_back(controls.value(Utf8(design->name)));
    }
}

}  // namespace

void BuildControls(QWidget *window) {
    QHash<QString, QWidget *> controls;
    for (const ControlDesign &design : MainWindowDesign()) {
        QWidget *parent = design.parent == nullptr ? window : controls.value(Utf8(design.parent));
        QWidget *control = CreateControl(design, parent);
        ApplyDesign(control, design);
        controls.insert(Utf8(design.name), control);
    }
    // Built: the resizer panel's design size is the one its proportions refer to.
    for (const ControlDesign &design : MainWindowDesign())
        if (design.kind == K::ResizerPanel)
            static_cast<TNoBDEResizerPanel *>(controls.value(Utf8(design.name)))->Loaded();
    std::vector<QWidget *> chain;
    CollectTabChain(nullptr, controls, chain);
    for (std::size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

}  // namespace sapidoro
