#include "widgets/ComboBox.h"

#include "common/Collation.h"
#include "common/QtText.h"
#include "widgets/LongText.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListView>
#include <QProxyStyle>
#include <QSignalBlocker>
#include <QStringListModel>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <limits>

namespace sapidoro {

namespace {

// Far more characters than a row of this width shows at any font size, so that the style
// still elides where the whole text would be elided; a cut text ends with an ellipsis of its
// own for the rare prefix that fits (characters of no width).
QString PaintedPrefix(const QString &text, int width) {
    const qsizetype limit = 4 * static_cast<qsizetype>(std::max(width, 0)) + 256;
    if (text.size() <= limit) return text;
    const qsizetype cut = text.at(limit - 1).isHighSurrogate() ? limit - 1 : limit;
    return text.left(cut) + QChar(0x2026);
}

// Drops the list below the box instead of over it: styles that pop the list up over the
// box measure every item first, which takes seconds for a hundred thousand names.
class PlainDropDownStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override {
        if (hint == SH_ComboBox_Popup) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

QStyle *DropDownStyle() {
    static QStyle *style = [] {
        auto *s = new PlainDropDownStyle;
        s->setParent(QCoreApplication::instance());  // freed with the application
        return s;
    }();
    return style;
}

// Rows of one fixed height, so that the list measures no item. A row hands the style only
// as much of its text as the row can show, since the style lays out the whole text it gets.
class FixedRowDelegate : public QStyledItemDelegate {
public:
    FixedRowDelegate(int height, QObject *parent) : QStyledItemDelegate(parent), m_height(height) {}
    void setHeight(int height) { m_height = height; }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override {
        return QSize(option.rect.width(), m_height);
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text = PaintedPrefix(option->text, option->rect.width());
    }

private:
    int m_height;
};

// Items as the list paints them (whole, cut by the row delegate) and as an edit field takes
// them on a pick (`FieldShownText`), so that a pick never lays out megabytes in the field.
class ItemModel : public QStringListModel {
public:
    using QStringListModel::QStringListModel;
    QVariant data(const QModelIndex &index, int role) const override {
        if (role != Qt::EditRole) return QStringListModel::data(index, role);
        if (m_quiet) return QString();
        return FieldShownText(QStringListModel::data(index, Qt::DisplayRole).toString());
    }
    // While a new list is set, the box puts its first item into the edit field, which the
    // box then gives back its own text: the item is not laid out for that while.
    void setQuiet(bool quiet) { m_quiet = quiet; }

private:
    bool m_quiet = false;
};

// Sorts data texts in the program's name order.
QStringList SortedItems(const QStringList &items) {
    std::vector<std::string> bytes;
    bytes.reserve(static_cast<std::size_t>(items.size()));
    for (const QString &item : items) bytes.push_back(ToCp1252(item));
    SortNames(bytes);
    return FromCp1252List(bytes);
}

}  // namespace

ComboBox::ComboBox(Style style, QWidget *parent)
    : QComboBox(parent), m_style(style), m_model(new ItemModel(this)) {
    setStyle(DropDownStyle());
    setEditable(style != Style::DropDownList);
    if (lineEdit() != nullptr) {
        setCompleter(nullptr);  // partial texts stay as typed
        // Data lines have no length limit: the field takes as long a text as it can hold.
        lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    }
    setInsertPolicy(QComboBox::NoInsert);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setModel(m_model);
    auto *list = qobject_cast<QListView *>(view());
    if (list != nullptr) list->setUniformItemSizes(true);
    setItemDelegate(new FixedRowDelegate(m_itemHeight, this));
    setCurrentIndex(-1);
}

void ComboBox::setSorted(bool sorted) {
    if (sorted == m_sorted) return;
    m_sorted = sorted;
    if (sorted) setItemsInOrder(SortedItems(items()));
}

void ComboBox::setItemHeight(int height) {
    if (height == m_itemHeight) return;
    m_itemHeight = height;
    static_cast<FixedRowDelegate *>(itemDelegate())->setHeight(height);
    // A list of a million names takes a while to lay out: a hidden one is laid out as it drops.
    m_listLayoutStale = true;
    if (view()->isVisible()) UpdateList();
}

QString ComboBox::text() const {
    if (lineEdit() == nullptr) return currentText();
    const QString shown = lineEdit()->text();
    if (!MayBeCut(shown)) return shown;
    // The field shows a text cut: the whole text is the one set, or the item picked.
    if (IsCutOf(shown, m_wholeText)) return m_wholeText;
    if (const SharedText *bytes = wholeBytesShown()) return FromCp1252(*bytes);
    if (currentIndex() >= 0) {
        const QString item = m_model->stringList().value(currentIndex());
        if (IsCutOf(shown, item)) return item;
    }
    return shown;
}

void ComboBox::setText(const QString &text) {
    if (lineEdit() != nullptr) {
        m_wholeText = text.size() > kLongTextLimit ? text : QString();
        m_wholeBytes.clear();
        setEditText(FieldShownText(text));
        return;
    }
    setCurrentIndex(findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

const SharedText *ComboBox::wholeBytesShown() const {
    if (lineEdit() == nullptr || (m_wholeBytes.empty() && m_longItems.empty())) return nullptr;
    const QString shown = lineEdit()->text();
    if (!m_wholeBytes.empty() && IsCutOf(shown, m_wholeBytes.str())) return &m_wholeBytes;
    const auto row = std::lower_bound(
        m_longItems.begin(), m_longItems.end(), currentIndex(),
        [](const std::pair<int, SharedText> &item, int index) { return item.first < index; });
    if (row != m_longItems.end() && row->first == currentIndex() && IsCutOf(shown, row->second))
        return &row->second;
    return nullptr;
}

SharedText ComboBox::dataText() const {
    if (const SharedText *bytes = wholeBytesShown()) return *bytes;
    return ToCp1252(text());
}

void ComboBox::setDataText(SharedText cp1252) {
    // A list's items show long texts cut as well.
    if (lineEdit() == nullptr || cp1252.size() <= static_cast<std::size_t>(kLongTextLimit))
        return setText(ShownText(cp1252));
    m_wholeText.clear();
    m_wholeBytes = std::move(cp1252);
    setEditText(FieldShownText(m_wholeBytes));
}

bool ComboBox::hasDataText(std::string_view cp1252) const {
    if (const SharedText *bytes = wholeBytesShown()) return bytes->str() == cp1252;
    const QString shown = text();
    // Each character gives one byte, or two (a surrogate pair) give one: a text whose length
    // is out of that range differs unconverted.
    const auto bytes = static_cast<qsizetype>(cp1252.size());
    if (shown.size() < bytes || (shown.size() + 1) / 2 > bytes) return false;
    return ToCp1252(shown) == cp1252;
}

QStringList ComboBox::items() const {
    return m_model->stringList();
}

template <class Change>
void ComboBox::changeList(Change &&change, bool keepChoice) {
    const QSignalBlocker blocker(this);
    const QString text = currentText();
    const SharedText *shownBytes = wholeBytesShown();
    SharedText wholeBytes = shownBytes != nullptr ? *shownBytes : SharedText();
    const QString whole = lineEdit() != nullptr && !shownBytes ? this->text() : QString();
    const int index = currentIndex();
    m_longItems.clear();
    auto *model = static_cast<ItemModel *>(m_model);
    model->setQuiet(lineEdit() != nullptr);
    change();
    model->setQuiet(false);
    if (lineEdit() != nullptr) {
        if (lineEdit()->text() != text) lineEdit()->setText(text);
        m_wholeText = whole.size() > kLongTextLimit ? whole : QString();
        m_wholeBytes = std::move(wholeBytes);
    } else if (!keepChoice || index < 0) {
        setCurrentIndex(-1);  // a new list has no entry chosen
    } else {
        // Appending leaves the chosen entry chosen; in a sorted list it may have moved.
        setCurrentIndex(m_sorted ? findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive)
                                 : index);
    }
}

void ComboBox::clearItems() {
    changeList([this] { m_model->setStringList({}); }, false);
}

void ComboBox::appendItems(const QStringList &added) {
    if (added.isEmpty()) return;
    const QStringList all = items() + added;
    changeList([&] { m_model->setStringList(m_sorted ? SortedItems(all) : all); }, true);
}

void ComboBox::setItems(const QStringList &items) {
    setItemsInOrder(m_sorted ? SortedItems(items) : items);
}

void ComboBox::setItemsInOrder(const QStringList &items) {
    changeList([&] { m_model->setStringList(items); }, false);
}

void ComboBox::setItemsInOrder(const QStringList &items, LongItems longItems) {
    setItemsInOrder(items);
    m_longItems = std::move(longItems);
}

void ComboBox::assignItems(const ComboBox &source) {
    // Two sorted boxes share the one name order, so a copy needs no sorting.
    if (source.isSorted() || !m_sorted)
        setItemsInOrder(source.items());
    else
        setItems(source.items());
}

void ComboBox::UpdateList() {
    if (m_listFontStale) {
        m_listFontStale = false;
        m_listLayoutStale = false;  // a new font lays the list out again
        view()->window()->setFont(font());
        view()->setFont(font());
    }
    if (m_listLayoutStale) {
        m_listLayoutStale = false;
        view()->doItemsLayout();
    }
}

void ComboBox::showPopup() {
    if (m_style == Style::Simple) return;
    UpdateList();
    QComboBox::showPopup();
}

void ComboBox::keyReleaseEvent(QKeyEvent *event) {
    QComboBox::keyReleaseEvent(event);
    emit keyReleased(event->key(), event->modifiers());
}

void ComboBox::focusOutEvent(QFocusEvent *event) {
    QComboBox::focusOutEvent(event);
    // Only a move to another control of the same window leaves the box: its own dropped-down
    // list and a switch to another window keep it the window's current control.
    const QWidget *next = QApplication::focusWidget();
    if (next != nullptr && next != this && !isAncestorOf(next) && next->window() == window())
        emit exited();
}

void ComboBox::paintEvent(QPaintEvent *event) {
    if (m_style != Style::DropDownList) return QComboBox::paintEvent(event);
    // A drop-down list looks like an edit field in the box's colour with the arrow button.
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.editable = true;
    option.currentText.clear();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    const bool focused = hasFocus() && !view()->isVisible();
    painter.fillRect(field, palette().brush(focused ? QPalette::Highlight : QPalette::Base));
    if (currentIndex() < 0) return;
    // The chosen entry is painted as a row of the list, elided to the field.
    QStyleOptionViewItem row;
    row.initFrom(this);
    // initFrom leaves the row's font at the application's default, not the box's own.
    row.font = font();
    row.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    if (focused) row.state |= QStyle::State_Selected;
    row.widget = this;
    row.rect = field;
    row.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    row.textElideMode = Qt::ElideRight;
    itemDelegate()->paint(&painter, row, model()->index(currentIndex(), modelColumn()));
}

void ComboBox::changeEvent(QEvent *event) {
    // The dropped-down list is a window of its own and takes no colours or font by itself. It
    // gets a new font when it next drops down: QComboBox would lay out every item of the list
    // again at each change of the font, which a resize of the window makes for every box.
    if (event->type() == QEvent::FontChange) {
        QWidget::changeEvent(event);
        m_listFontStale = true;
        if (view()->isVisible()) UpdateList();
        // The size hint, which QComboBox keeps, is measured again with the new font.
        const SizeAdjustPolicy policy = sizeAdjustPolicy();
        setSizeAdjustPolicy(policy == AdjustToContentsOnFirstShow
                                ? AdjustToMinimumContentsLengthWithIcon
                                : AdjustToContentsOnFirstShow);
        setSizeAdjustPolicy(policy);
        return;
    }
    QComboBox::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) view()->setPalette(palette());
}

}  // namespace sapidoro
