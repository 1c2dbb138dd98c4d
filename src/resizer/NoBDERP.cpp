#include "resizer/NoBDERP.h"

#include "resizer/MRControlVCL.h"
#include "resizer/MRHandlers.h"
#include "resizer/MRValues.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QListView>
#include <QMetaClassInfo>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBox>
#include <QToolButton>
#include <QTreeView>

// How each kind of control the panel knows maps onto Qt, in the order the handlers are
// added. Sizes are scaled against the control's own client width (W) or height (H).
//
// | # | kind                          | Qt kind                          | handler, what it scales
// |---|-------------------------------|----------------------------------|-------------------------
// | 1 | control publishing Font       | widget whose `font` property is  | TMRFont: size in points,
// |   |                               | designable (text-less widgets    | min of W and H, >= 1;
// |   |                               | mark it not designable)          | pixel fonts stay pixel
// | 2 | TComboBox, list boxes,        | QComboBox, QListView, QTreeView  | TMRItemHeight:
// |   | TOutline                      | publishing `itemHeight`          | `itemHeight` (H)
// | 3 | TScrollBox                    | QScrollArea                      | TMRScrollBox: the range
// is |   |                               |                                  | the content widget,
// scaled |   |                               |                                  | as a control;
// scrolls home | 4 | TDrawGrid                     | QTableView                       |
// TMRDrawGrid: default |   |                               |                                  |
// section sizes, columns (W), |   |                               | | rows (H); grid width: advice
// | 5 | TTabSet                       | none (QTabBar is rule 10)        | -
// | 6 | TBitBtn, TSpeedButton         | QPushButton, QToolButton         | TMRMarginSpacing:
// `margin`, |   |                               |                                  | `spacing` (W)
// if published, |   |                               |                                  | else
// advice only | 7 | TTabbedNotebook (TabFont)     | none                             | - | 8 |
// TImage                        | QLabel with a pixmap, the JPEG   | TMRStretch: advice while |   |
// | picture control                  | `scaledContents` is false | 9 | TLabel | QLabel with text |
// TMRAutoSize: advice only |10 | TPageControl, TTabControl     | QTabWidget, QTabBar              |
// TMRTab: fixed tab width (W) |   |                               | | and height (H) of the tab |
// |                               |                                  | bar's style sheet; 0 stays
// |11 | TStatusBar                    | QStatusBar                       | TMRStatusBar:
// `minimumWidth` |   |                               |                                  | of each
// child widget (W) |12 | THeaderControl                | QHeaderView on its own           |
// TMRHeaderControl: section |   |                               | | sizes, min, max (W or H) |13 |
// TListView                     | QTreeView (columns)              | TMRListView: columns (W) |14 |
// TTreeView                     | QTreeView                        | TMRTreeView: `indentation` |15
// | TToolWindow                   | QToolBox                         | TMRBorderWidth: `lineWidth`
// |16 | TSplitter                     | QSplitter                        | TMRMinSize:
// `minimumWidth` |   |                               |                                  | or
// `minimumHeight` of its |   |                               |                                  |
// widgets, by orientation
//
// Pages: a TTabSheet is a page of a QTabWidget, a TNotebook a QStackedWidget of its own;
// TTabbedNotebook and TTabPage have no Qt counterpart. Qt's own combo boxes and item
// views have no row-height property, a QTabBar no margins, a QToolBar no border width:
// those sizes stay as the style makes them.

namespace sapidoro {

namespace {

std::unique_ptr<TMRControlHandler> CreateVclHandler(QWidget *control) {
    return std::make_unique<TMRControlHandlerVCL>(control);
}

template <class... Kinds>
bool IsA(const QWidget *control) {
    return ((qobject_cast<const Kinds *>(control) != nullptr) || ...);
}

bool ShowsPicture(const QWidget *control) {
    if (control->inherits("sapidoro::TCustomJPEGImage")) return true;
    const auto *label = qobject_cast<const QLabel *>(control);
    return label != nullptr && !label->pixmap().isNull();
}

// Plain containers whose children are placed freely, as Qt Designer treats them; a class
// of its own says so with Q_CLASSINFO("isContainer", "true").
bool IsContainer(const QWidget *control) {
    const QMetaObject *meta = control->metaObject();
    if (meta == &QWidget::staticMetaObject || meta == &QFrame::staticMetaObject ||
        meta == &QGroupBox::staticMetaObject || qobject_cast<const TCustomResizerPanel *>(control))
        return true;
    const int info = meta->indexOfClassInfo("isContainer");
    return info >= 0 && qstrcmp(meta->classInfo(info).value(), "true") == 0;
}

// Scroll bars draw no text: their holders keep the font they have, so that each new size of
// the area's font is not sent on to them and their layouts at every resize.
void KeepScrollBarFonts(QAbstractScrollArea *area) {
    for (QScrollBar *bar : {area->horizontalScrollBar(), area->verticalScrollBar()}) {
        QWidget *holder = bar->parentWidget();
        if (holder == nullptr || holder == area || holder == area->viewport()) holder = bar;
        if (!holder->testAttribute(Qt::WA_SetFont)) holder->setFont(holder->font());
    }
}

bool LaidOutBy(const QWidget *container, const QWidget *child) {
    const QLayout *layout = container->layout();
    return layout != nullptr && layout->indexOf(const_cast<QWidget *>(child)) >= 0;
}

}  // namespace

TNoBDEResizerPanel::TNoBDEResizerPanel(QWidget *parent) : TCustomResizerPanel(parent) {
    setHandlerClass(&CreateVclHandler);
}

void TNoBDEResizerPanel::AddPropertyHandlers(QWidget *control, TMRPropertyHandlers &handlers) {
    TCustomResizerPanel::AddPropertyHandlers(control, handlers);
    using resizer::HasProperty;
    using resizer::Publishes;
    const auto add = [&handlers](auto handler) { handlers.push_back(std::move(handler)); };
    if (Publishes(control, "font")) {
        add(std::make_unique<TMRFont>(control, "font"));
        if (auto *area = qobject_cast<QAbstractScrollArea *>(control)) KeepScrollBarFonts(area);
    }
    if (IsA<QComboBox, QListView, QTreeView>(control) && HasProperty(control, "itemHeight"))
        add(std::make_unique<TMRItemHeight>(control));
    if (IsA<QScrollArea>(control)) add(std::make_unique<TMRScrollBox>(control));
    if (IsA<QTableView>(control)) add(std::make_unique<TMRDrawGrid>(control));
    if (IsA<QPushButton, QToolButton>(control)) add(std::make_unique<TMRMarginSpacing>(control));
    if (ShowsPicture(control)) add(std::make_unique<TMRStretch>(control));
    if (IsA<QLabel>(control) && !ShowsPicture(control)) add(std::make_unique<TMRAutoSize>(control));
    if (IsA<QTabWidget, QTabBar>(control)) add(std::make_unique<TMRTab>(control));
    if (IsA<QStatusBar>(control)) add(std::make_unique<TMRStatusBar>(control));
    if (IsA<QHeaderView>(control)) add(std::make_unique<TMRHeaderControl>(control));
    if (IsA<QTreeView>(control)) add(std::make_unique<TMRListView>(control));
    if (IsA<QTreeView>(control)) add(std::make_unique<TMRTreeView>(control));
    if (IsA<QToolBox>(control)) add(std::make_unique<TMRBorderWidth>(control));
    if (IsA<QSplitter>(control)) add(std::make_unique<TMRMinSize>(control));
}

void TNoBDEResizerPanel::ChildControls(QWidget *container, QList<QWidget *> &controls) const {
    if (auto *pages = qobject_cast<QTabWidget *>(container)) {
        for (int i = 0; i < pages->count(); ++i) controls.append(pages->widget(i));
    } else if (auto *stack = qobject_cast<QStackedWidget *>(container)) {
        for (int i = 0; i < stack->count(); ++i) controls.append(stack->widget(i));
    } else if (auto *area = qobject_cast<QScrollArea *>(container)) {
        // A content widget that the area sizes itself is not placed, but what it holds is.
        if (QWidget *content = area->widget()) {
            if (area->widgetResizable())
                ChildControls(content, controls);
            else
                controls.append(content);
        }
    } else if (auto *splitter = qobject_cast<QSplitter *>(container)) {
        for (int i = 0; i < splitter->count(); ++i) ChildControls(splitter->widget(i), controls);
    } else if (IsContainer(container)) {
        for (QObject *child : container->children()) {
            auto *widget = qobject_cast<QWidget *>(child);
            if (widget == nullptr || widget->isWindow()) continue;
            // A layout places its widgets itself; only what they hold is placed here.
            if (LaidOutBy(container, widget))
                ChildControls(widget, controls);
            else
                controls.append(widget);
        }
    }
}

}  // namespace sapidoro
