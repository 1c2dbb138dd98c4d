#include "PanelFixture.h"
#include "resizer/MRHandlers.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>

#include <array>
#include <vector>

using namespace sapidoro;
using namespace sapidoro::test;

namespace {

struct Placed {
    QWidget *control;
    QRect design;
};

class GeometryTest : public PanelTest {
protected:
    // Controls at awkward fractions, beyond the edges, and nested in a frame.
    std::vector<Placed> BuildLayout() {
        std::vector<Placed> placed;
        const auto add = [&](QRect bounds, QWidget *parent = nullptr) {
            QWidget *control = Add<QFrame>(bounds, parent);
            placed.push_back({control, bounds});
            return control;
        };
        add({7, 3, 113, 29});
        add({131, 17, 97, 23});
        add({-57, 41, 51, 19});   // left of the panel
        add({403, 50, 211, 27});  // beyond the right edge
        add({1, 299, 33, 11});    // beyond the bottom
        QWidget *frame = add({11, 80, 377, 211});
        add({3, 5, 173, 61}, frame);
        add({181, 7, 191, 199}, frame);
        add({372, 206, 5, 5}, frame);
        return placed;
    }
};

}  // namespace

TEST_F(GeometryTest, ReturningToASizeRestoresEveryControlExactly) {
    const std::vector<Placed> placed = BuildLayout();
    Show();
    for (const Placed &p : placed) EXPECT_EQ(p.control->geometry(), p.design) << "at design size";
    const std::array sizes{QSize(1600, 1000), QSize(523, 377), QSize(120, 90), QSize(999, 311),
                           QSize(401, 301)};
    for (int trip = 0; trip < 100; ++trip) {
        ResizeWindow(sizes[static_cast<std::size_t>(trip) % sizes.size()]);
        ResizeWindow(kDesign);
    }
    for (const Placed &p : placed) EXPECT_EQ(p.control->geometry(), p.design);
}

TEST_F(GeometryTest, DoublingTheWindowDoublesEveryBound) {
    const std::vector<Placed> placed = BuildLayout();
    Show();
    ResizeWindow(kDesign * 2);
    for (const Placed &p : placed)
        EXPECT_EQ(p.control->geometry(), Scaled(p.design, {1, 1}, {2, 2}));
}

TEST_F(GeometryTest, ControlsBeyondTheEdgesStayBeyond) {
    QWidget *left = Add({-57, 41, 51, 19});
    QWidget *right = Add({403, 50, 211, 27});
    Show();
    for (QSize size : {QSize(1600, 1000), QSize(90, 70), QSize(777, 555)}) {
        ResizeWindow(size);
        EXPECT_LT(left->geometry().right(), 0) << size.width();
        EXPECT_GE(right->x(), m_panel->width()) << size.width();
    }
}

TEST_F(GeometryTest, BoundsRoundHalvesToTheEvenNeighbour) {
    // 1/4 and 1/2 are exact floats, so 10 x 1/4 = 2.5 and 6 x 1/4 = 1.5 stand exactly.
    m_window->resize(4, 4);
    m_panel->resize(4, 4);
    QWidget *control = Add({1, 1, 2, 1});
    Show();
    ResizeWindow({10, 6});
    EXPECT_EQ(control->geometry(), QRect(2, 2, 5, 2));  // 2.5 -> 2, 1.5 -> 2, 5, 1.5 -> 2
    ResizeWindow({14, 14});
    EXPECT_EQ(control->geometry(), QRect(4, 4, 7, 4));  // 3.5 -> 4
}

TEST_F(GeometryTest, AlignedControlKeepsFillingItsParent) {
    auto *frame = Add<QFrame>({1, 1, 398, 298});
    frame->setFrameStyle(QFrame::Box);
    auto *inner = Add({0, 0, 10, 10}, frame);
    sapidoro::SetAlign(inner, alClient);
    Show();
    for (QSize size : {QSize(1333, 877), QSize(211, 97)}) {
        ResizeWindow(size);
        EXPECT_EQ(inner->geometry(), frame->contentsRect()) << size.width();
    }
}

TEST_F(GeometryTest, ResizingBeforeTheFirstShowLearnsTheDesignLayout) {
    auto *frame = Add<QFrame>({20, 30, 200, 100});
    QWidget *inner = Add({10, 10, 50, 40}, frame);
    m_window->resize(800, 600);  // still hidden: Qt delivers the resize at the show
    Show();
    EXPECT_EQ(frame->geometry(), QRect(40, 60, 400, 200));
    EXPECT_EQ(inner->geometry(), QRect(20, 20, 100, 80));
}

TEST_F(GeometryTest, HiddenPagesScaleLikeThePageOnShow) {
    auto *pages = Add<QTabWidget>({0, 0, 400, 300});
    auto *shown = new QWidget;
    auto *hidden = new QWidget;
    pages->addTab(shown, QStringLiteral("A"));
    pages->addTab(hidden, QStringLiteral("B"));
    QWidget *a = Add({10, 20, 100, 50}, shown);
    QWidget *b = Add({10, 20, 100, 50}, hidden);
    Show();
    ResizeWindow({800, 600});
    EXPECT_EQ(hidden->geometry(), shown->geometry());
    EXPECT_EQ(b->geometry(), a->geometry());
    EXPECT_GT(a->width(), 150);
    pages->setCurrentIndex(1);
    EXPECT_EQ(b->geometry(), a->geometry());
}

TEST_F(GeometryTest, MovedControlReturnsUnlessChangesAreAllowed) {
    for (bool allow : {false, true}) {
        SCOPED_TRACE(allow ? "AllowChanges True" : "AllowChanges False");
        TearDown();
        SetUp();
        m_panel->setAllowChanges(allow);
        QWidget *control = Add({40, 30, 80, 60});
        Show();
        control->setGeometry(100, 150, 40, 20);  // moved by program code
        ResizeWindow({800, 600});
        EXPECT_EQ(control->geometry(), allow ? QRect(200, 300, 80, 40) : QRect(80, 60, 160, 120));
        ResizeWindow(kDesign);
        EXPECT_EQ(control->geometry(), allow ? QRect(100, 150, 40, 20) : QRect(40, 30, 80, 60));
    }
}

TEST_F(GeometryTest, ActiveOffAndOnLearnsTheLayoutOfThatMoment) {
    QWidget *control = Add({40, 30, 80, 60});
    Show();
    ResizeWindow({800, 600});
    EXPECT_EQ(control->geometry(), QRect(80, 60, 160, 120));
    m_panel->setActive(false);
    EXPECT_EQ(m_panel->ControlHandlerCount(), 0);
    ResizeWindow(kDesign);  // inactive: nothing moves, the size is simply followed
    EXPECT_EQ(control->geometry(), QRect(80, 60, 160, 120));
    m_panel->setActive(true);
    ResizeWindow({800, 600});
    EXPECT_EQ(control->geometry(), QRect(160, 120, 320, 240));
    ResizeWindow(kDesign);
    EXPECT_EQ(control->geometry(), QRect(80, 60, 160, 120));
}

TEST_F(GeometryTest, NestedPanelManagesItsOwnControls) {
    auto *nested = Add<TNoBDEResizerPanel>({100, 100, 200, 100});
    QWidget *inner = Add({20, 10, 40, 30}, nested);
    Show();
    EXPECT_NE(m_panel->ControlHandlerOf(nested), nullptr);
    EXPECT_EQ(m_panel->ControlHandlerOf(inner), nullptr);
    EXPECT_NE(nested->ControlHandlerOf(inner), nullptr);
    ResizeWindow({800, 600});
    EXPECT_EQ(nested->geometry(), QRect(200, 200, 400, 200));
    EXPECT_EQ(inner->geometry(), QRect(40, 20, 80, 60));
}

TEST_F(GeometryTest, ControlsAddedLaterAreRegisteredAtTheNextResize) {
    Show();
    ResizeWindow({800, 600});
    QWidget *late = Add({100, 100, 50, 50});
    EXPECT_EQ(m_panel->ControlHandlerOf(late), nullptr);
    ResizeWindow(kDesign);
    ASSERT_NE(m_panel->ControlHandlerOf(late), nullptr);
    // Learned against the panel's size before this resize.
    EXPECT_EQ(late->geometry(), QRect(50, 50, 25, 25));
}

TEST_F(GeometryTest, RemovedControlLosesItsHandlerAtOnce) {
    QWidget *frame = Add<QFrame>({10, 10, 100, 100});
    Add({1, 1, 10, 10}, frame);
    Add({50, 50, 10, 10});
    Show();
    EXPECT_EQ(m_panel->ControlHandlerCount(), 3);
    delete frame;  // with its child
    EXPECT_EQ(m_panel->ControlHandlerCount(), 1);
    ResizeWindow({800, 600});
    EXPECT_EQ(m_panel->ControlHandlerCount(), 1);
}

TEST_F(GeometryTest, WidgetPartsAreNotControls) {
    auto *combo = Add<QComboBox>({10, 10, 100, 24});
    combo->setEditable(true);
    auto *area = Add<QScrollArea>({10, 40, 100, 100});
    auto *content = new QLabel(QStringLiteral("picture"));
    area->setWidget(content);
    Show();
    EXPECT_EQ(m_panel->ControlHandlerOf(combo->lineEdit()), nullptr);
    EXPECT_EQ(m_panel->ControlHandlerOf(area->viewport()), nullptr);
    EXPECT_NE(m_panel->ControlHandlerOf(content), nullptr);
    EXPECT_EQ(m_panel->ControlHandlerCount(), 3);
}
