#include "widgets/Spinner.h"

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using sapidoro::Spinner;

namespace {

// The persons spinner's design: 1..100, value 4, steps of 1, pages of 10.
class SpinnerTest : public ::testing::Test {
protected:
    SpinnerTest() {
        m_spinner.setMinimum(1);
        m_spinner.setMaximum(100);
        m_spinner.setValue(4);
        m_spinner.setIncrement(1);
        m_spinner.setPageSize(10);
        m_spinner.resize(73, 22);
    }
    Spinner m_spinner;
};

}  // namespace

TEST_F(SpinnerTest, NewValuesAreClampedAndEqualValuesRaiseNothing) {
    QSignalSpy changes(&m_spinner, &Spinner::valueChanged);
    m_spinner.setValue(250);
    EXPECT_EQ(m_spinner.value(), 100);
    m_spinner.setValue(101);  // clamps to the current value: no event
    m_spinner.setValue(100);
    m_spinner.setValue(-5);
    EXPECT_EQ(m_spinner.value(), 1);
    m_spinner.setValue(0);
    m_spinner.setValue(1);
    ASSERT_EQ(changes.count(), 2);
    EXPECT_EQ(changes[0][0].toInt(), 100);
    EXPECT_EQ(changes[1][0].toInt(), 1);
    EXPECT_EQ(m_spinner.property("value").toInt(), 1);
}

TEST_F(SpinnerTest, ChangeEventRunsBeforeTheSetterReturns) {
    int seenInHandler = 0;
    bool setterReturned = false;
    QObject::connect(&m_spinner, &Spinner::valueChanged, [&](int value) {
        EXPECT_FALSE(setterReturned);
        seenInHandler = m_spinner.value();
        EXPECT_EQ(value, seenInHandler);
    });
    m_spinner.setProperty("value", 12);
    setterReturned = true;
    EXPECT_EQ(seenInHandler, 12);
}

TEST_F(SpinnerTest, HandlerSettingTheValueAgainSeesTheStoredValue) {
    // A change handler that sets the value itself (as a recipe load does) raises one more
    // event only when the value differs.
    int events = 0;
    QObject::connect(&m_spinner, &Spinner::valueChanged, [&](int) {
        ++events;
        m_spinner.setValue(7);
    });
    m_spinner.setValue(9);
    EXPECT_EQ(m_spinner.value(), 7);
    EXPECT_EQ(events, 2);
}

TEST_F(SpinnerTest, KeysStepByIncrementAndPage) {
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int expected;
    };
    const Case cases[] = {
        {Qt::Key_Up, Qt::NoModifier, 5},       {Qt::Key_Right, Qt::NoModifier, 6},
        {Qt::Key_Plus, Qt::KeypadModifier, 7}, {Qt::Key_Down, Qt::NoModifier, 6},
        {Qt::Key_Left, Qt::NoModifier, 5},     {Qt::Key_Minus, Qt::KeypadModifier, 4},
        {Qt::Key_PageUp, Qt::NoModifier, 14},  {Qt::Key_PageDown, Qt::NoModifier, 4},
        {Qt::Key_PageDown, Qt::NoModifier, 1}, {Qt::Key_Minus, Qt::KeypadModifier, 1},
        {Qt::Key_Plus, Qt::NoModifier, 1},  // only the numeric pad's plus steps
        {Qt::Key_A, Qt::NoModifier, 1},
    };
    for (const Case &c : cases) {
        QTest::keyClick(&m_spinner, c.key, c.modifiers);
        EXPECT_EQ(m_spinner.value(), c.expected) << "key " << c.key;
    }
}

TEST_F(SpinnerTest, ButtonsStepAndRepeatWhileHeld) {
    m_spinner.show();
    auto *minus = m_spinner.findChild<QToolButton *>(QStringLiteral("minus"));
    auto *plus = m_spinner.findChild<QToolButton *>(QStringLiteral("plus"));
    ASSERT_NE(minus, nullptr);
    ASSERT_NE(plus, nullptr);
    EXPECT_LT(minus->geometry().center().x(), plus->geometry().center().x());
    EXPECT_TRUE(minus->autoRepeat());
    EXPECT_TRUE(plus->autoRepeat());
    plus->click();
    plus->click();
    EXPECT_EQ(m_spinner.value(), 6);
    minus->click();
    EXPECT_EQ(m_spinner.value(), 5);
    m_spinner.setValue(100);
    QSignalSpy changes(&m_spinner, &Spinner::valueChanged);
    plus->click();
    EXPECT_EQ(m_spinner.value(), 100);
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(SpinnerTest, PrintSizeRangeCannotBeLeft) {
    Spinner print;
    print.setMinimum(4);
    print.setMaximum(8);
    print.setValue(7);
    print.setPageSize(10);
    QTest::keyClick(&print, Qt::Key_PageUp);
    EXPECT_EQ(print.value(), 8);
    QTest::keyClick(&print, Qt::Key_PageDown);
    EXPECT_EQ(print.value(), 4);
    print.setValue(std::numeric_limits<int>::min());
    EXPECT_EQ(print.value(), 4);
    print.setValue(std::numeric_limits<int>::max());
    print.stepBy(std::numeric_limits<int>::max());
    EXPECT_EQ(print.value(), 8);
}

TEST_F(SpinnerTest, NarrowingTheRangeClampsTheValue) {
    QSignalSpy changes(&m_spinner, &Spinner::valueChanged);
    m_spinner.setMaximum(3);
    EXPECT_EQ(m_spinner.value(), 3);
    EXPECT_EQ(changes.count(), 1);
}
