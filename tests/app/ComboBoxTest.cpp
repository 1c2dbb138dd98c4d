#include "widgets/ComboBox.h"

#include "FormFixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using sapidoro::ComboBox;
using sapidoro::test::Items;

namespace {

QStringList List(std::initializer_list<const char16_t *> items) {
    QStringList list;
    for (const char16_t *item : items) list << QString::fromUtf16(item);
    return list;
}

}  // namespace

TEST(ComboBox, SortedListKeepsTheNameOrder) {
    ComboBox box(ComboBox::Style::DropDown);
    box.setSorted(true);
    box.setItems(List({u"zuppa", u"Bruschetta", u"Àcqua cotta", u"arrosto"}));
    EXPECT_EQ(Items(&box), List({u"Àcqua cotta", u"arrosto", u"Bruschetta", u"zuppa"}));
    box.appendItems({QStringLiteral("Crostata")});
    box.appendItems({QStringLiteral("ARROSTO")});
    box.appendItems({QStringLiteral("a")});
    box.appendItems({QStringLiteral("zz")});
    EXPECT_EQ(Items(&box), List({u"a", u"Àcqua cotta", u"arrosto", u"ARROSTO", u"Bruschetta",
                                 u"Crostata", u"zuppa", u"zz"}));
    box.appendItems(List({u"Minestra", u"Biscotti"}));
    EXPECT_EQ(box.itemText(4), QStringLiteral("Biscotti"));
    EXPECT_EQ(box.itemText(7), QStringLiteral("Minestra"));
}

TEST(ComboBox, UnsortedListKeepsTheGivenOrder) {
    ComboBox box(ComboBox::Style::DropDown);
    box.setItems(List({u"zuppa", u"Bruschetta", u"zuppa"}));
    box.appendItems({QStringLiteral("arrosto")});
    box.appendItems(List({u"b", u"a"}));
    EXPECT_EQ(Items(&box), List({u"zuppa", u"Bruschetta", u"zuppa", u"arrosto", u"b", u"a"}));
    EXPECT_EQ(box.itemCount(), 6);
}

TEST(ComboBox, CopyOfASortedListIntoAnUnsortedOneKeepsItsOrder) {
    ComboBox sorted(ComboBox::Style::Simple);
    sorted.setSorted(true);
    sorted.setItems(List({u"c", u"B", u"a"}));
    ComboBox plain(ComboBox::Style::DropDownList);
    plain.assignItems(sorted);
    ComboBox sortedCopy(ComboBox::Style::DropDown);
    sortedCopy.setSorted(true);
    sortedCopy.assignItems(plain);
    EXPECT_EQ(Items(&plain), List({u"a", u"B", u"c"}));
    EXPECT_EQ(Items(&sortedCopy), Items(&plain));
    // A sorted box takes an unsorted list in its own order.
    ComboBox unsorted(ComboBox::Style::DropDown);
    unsorted.setItems(List({u"c", u"a"}));
    sortedCopy.assignItems(unsorted);
    EXPECT_EQ(Items(&sortedCopy), List({u"a", u"c"}));
}

TEST(ComboBox, EditFieldKeepsItsTextThroughListChanges) {
    ComboBox box(ComboBox::Style::DropDown);
    QSignalSpy edits(&box, &QComboBox::editTextChanged);
    box.setText(QStringLiteral("Bimby"));
    box.clearItems();
    EXPECT_EQ(box.text(), QStringLiteral("Bimby"));
    box.setItems(List({u"Uno", u"Due"}));
    box.appendItems({QStringLiteral("Tre")});
    box.appendItems(List({u"Quattro"}));
    EXPECT_EQ(box.text(), QStringLiteral("Bimby"));
    EXPECT_EQ(edits.count(), 1);  // only the text change itself
    box.setText(QString());
    box.setItems(List({u"Uno"}));
    EXPECT_EQ(box.text(), QString());
}

TEST(ComboBox, DropDownListChoosesNothingWhenFilled) {
    ComboBox box(ComboBox::Style::DropDownList);
    box.setItems(List({u"Uno", u"Due"}));
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_EQ(box.text(), QString());
    box.setCurrentIndex(1);
    box.appendItems({QStringLiteral("Tre")});
    EXPECT_EQ(box.text(), QStringLiteral("Due"));
    box.setItems(List({u"Quattro"}));
    EXPECT_EQ(box.text(), QString());
    box.setText(QStringLiteral("Quattro"));
    EXPECT_EQ(box.currentIndex(), 0);
    box.clearItems();
    EXPECT_EQ(box.itemCount(), 0);
    EXPECT_EQ(box.text(), QString());
}

TEST(ComboBox, SimpleBoxNeverDropsDown) {
    QWidget window;
    auto *simple = new ComboBox(ComboBox::Style::Simple, &window);
    auto *dropDown = new ComboBox(ComboBox::Style::DropDown, &window);
    simple->setItems(List({u"Uno", u"Due"}));
    dropDown->setItems(List({u"Uno", u"Due"}));
    window.show();
    simple->showPopup();
    EXPECT_FALSE(simple->view()->isVisible());
    dropDown->showPopup();
    EXPECT_TRUE(dropDown->view()->isVisible());
    dropDown->hidePopup();
}

TEST(ComboBox, PopupRowsHaveTheDesignHeight) {
    QWidget window;
    auto *box = new ComboBox(ComboBox::Style::DropDownList, &window);
    box->setItemHeight(17);
    box->setMaxVisibleItems(15);
    QStringList many;
    for (int i = 0; i < 1000; ++i) many << QString::number(i);
    box->setItems(many);
    window.show();
    box->showPopup();
    QAbstractItemView *view = box->view();
    ASSERT_TRUE(view->isVisible());
    EXPECT_EQ(view->visualRect(box->model()->index(0, 0)).height(), 17);
    EXPECT_EQ(view->visualRect(box->model()->index(999, 0)).height(), 17);
    // Fifteen rows show, however long the list.
    EXPECT_LE(view->viewport()->height(), 15 * 17);
    EXPECT_GE(view->viewport()->height(), 14 * 17);
    box->hidePopup();
}

TEST(ComboBox, KeyReleaseIsAnnounced) {
    ComboBox box(ComboBox::Style::Simple);
    QSignalSpy releases(&box, &ComboBox::keyReleased);
    QTest::keyClick(&box, Qt::Key_X);
    ASSERT_EQ(releases.count(), 1);
    EXPECT_EQ(releases[0][0].toInt(), int(Qt::Key_X));
    EXPECT_EQ(box.text(), QStringLiteral("x"));
}

TEST(ComboBox, TypedTextStaysAsTypedWithoutCompletionOrInsertion) {
    ComboBox box(ComboBox::Style::DropDown);
    box.setItems(List({u"Pasta", u"Pastinaca"}));
    QTest::keyClicks(&box, QStringLiteral("past"));
    EXPECT_EQ(box.text(), QStringLiteral("past"));
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_EQ(box.itemCount(), 2);
}
