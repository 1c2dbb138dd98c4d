#pragma once

#include "common/SharedText.h"

#include <QComboBox>
#include <QStringList>

#include <string_view>
#include <utility>
#include <vector>

class QStringListModel;

namespace sapidoro {

// A combo box over a list of texts held in one model, so that whole lists are replaced in
// one step. Its popup is a plain list below the box with rows of one fixed height, which
// opens at once however long the list is. List operations raise no change signal, and an
// editable box keeps its text through them, as the edit field and the list are separate.
class ComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(int itemHeight READ itemHeight WRITE setItemHeight)

public:
    enum class Style {
        DropDown,     // edit field with a list that drops down
        Simple,       // edit field with a list that never drops down
        DropDownList  // the user picks from the list and cannot type
    };

    explicit ComboBox(Style style, QWidget *parent = nullptr);

    Style comboStyle() const { return m_style; }

    // A sorted box keeps its items in the one name order of the program (Collation.h).
    // Items are data texts, so they are Windows-1252 texts.
    bool isSorted() const { return m_sorted; }
    void setSorted(bool sorted);

    // Height in pixels of each row of the dropped-down list.
    int itemHeight() const { return m_itemHeight; }
    void setItemHeight(int height);

    // The edit field's text; for a drop-down list the chosen entry (empty when none). A text
    // longer than `kLongTextLimit` is shown cut (LongText.h) and given back whole.
    QString text() const;
    void setText(const QString &text);
    // The edit field's text as a data text (Windows-1252). A long text set by `setDataText`
    // is kept in its bytes and given back shared while the field shows it cut, so that a
    // name of megabytes is neither converted nor copied on its way through the box.
    SharedText dataText() const;
    void setDataText(SharedText cp1252);
    // Whether the edit field's text is `cp1252`; a long text is compared unconverted.
    bool hasDataText(std::string_view cp1252) const;

    QStringList items() const;
    int itemCount() const { return count(); }
    void clearItems();
    void appendItems(const QStringList &items);
    // Replaces the whole list; a sorted box sorts it.
    void setItems(const QStringList &items);
    // Replaces the whole list with items already in the name order (e.g. from SortNames).
    void setItemsInOrder(const QStringList &items);
    // Replaces the whole list with a copy of another box's list.
    void assignItems(const ComboBox &source);
    // Rows whose item is a text too long to be shown whole, by row, with the whole text's
    // bytes; such an item is listed cut and a pick of it gives back the whole text.
    using LongItems = std::vector<std::pair<int, SharedText>>;
    // Replaces the whole list, in the order given (unsorted), with `items` shown as they are.
    void setItemsInOrder(const QStringList &items, LongItems longItems);

signals:
    void keyReleased(int key, Qt::KeyboardModifiers modifiers);
    // The keyboard focus moved from the box to another control of the same window.
    void exited();

public:
    void showPopup() override;

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Runs a change of the list without change signals; an editable box keeps its text,
    // a drop-down list keeps its chosen entry only when `keepChoice`.
    template <class Change>
    void changeList(Change &&change, bool keepChoice);
    // Gives the dropped-down list the font and row height it missed while hidden.
    void UpdateList();

    // The whole bytes set or picked, when the edit field shows them cut; null otherwise.
    const SharedText *wholeBytesShown() const;

    Style m_style;
    bool m_sorted = false;
    int m_itemHeight = 16;
    bool m_listFontStale = false;    // the dropped-down list has yet to take the box's font
    bool m_listLayoutStale = false;  // its rows have yet to take their new height
    QStringListModel *m_model;
    QString m_wholeText;      // the text set, while the edit field shows it cut
    SharedText m_wholeBytes;  // the same, set as a data text
    LongItems m_longItems;    // of the list as it stands; in row order
};

}  // namespace sapidoro
