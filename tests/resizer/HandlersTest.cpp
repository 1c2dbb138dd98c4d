#include "PanelFixture.h"
#include "picture/JpgImg.h"
#include "resizer/MRHandlers.h"
#include "widgets/ComboBox.h"

#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBox>
#include <QTreeView>

#include <cmath>

using namespace sapidoro;
using namespace sapidoro::test;

namespace {

// Trunc(reference x ratio) with the ratio a 32-bit float, as the handlers scale.
int Expected(int value, int learnedAt, int now) {
    const auto ratio = static_cast<float>(static_cast<double>(value) / learnedAt);
    return static_cast<int>(std::trunc(static_cast<double>(now) * ratio));
}

class HandlersTest : public PanelTest {
protected:
    template <class Handler>
    Handler *HandlerOf(QWidget *control) {
        for (auto &h : m_panel->ControlHandlerOf(control)->PropertyHandlers())
            if (auto *handler = dynamic_cast<Handler *>(h.get())) return handler;
        return nullptr;
    }
};

// A button whose class publishes icon margin and spacing.
class MarginButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(int margin MEMBER m_margin)
    Q_PROPERTY(int spacing MEMBER m_spacing)

public:
    using QPushButton::QPushButton;
    int m_margin = 4;
    int m_spacing = 6;
};

// A control with a font of its own besides its widget font, as a tabbed notebook's tab font.
class TabFontWidget : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QFont tabFont MEMBER m_tabFont)

public:
    QFont m_tabFont;
};

}  // namespace

TEST_F(HandlersTest, FontPropertyOtherThanTheWidgetFontScales) {
    TabFontWidget control;
    control.m_tabFont.setPointSize(10);
    TMRFont handler(&control, "tabFont");
    handler.SaveProportionsAgainst({100, 50});
    handler.ApplyProportionsAgainst({300, 200});
    EXPECT_EQ(control.m_tabFont.pointSize(), Expected(10, 100, 300));
    EXPECT_EQ(control.font(), QWidget().font());
}

TEST_F(HandlersTest, ListRowHeightFollowsTheControlHeight) {
    auto *combo = new sapidoro::ComboBox(sapidoro::ComboBox::Style::DropDown, m_panel);
    combo->setGeometry(10, 10, 150, 23);
    combo->setItemHeight(15);
    Show();
    ResizeWindow({400, 600});
    EXPECT_EQ(combo->height(), 46);
    EXPECT_EQ(combo->itemHeight(), Expected(15, 23, 46));
    ResizeWindow({400, 10});
    EXPECT_GE(combo->itemHeight(), 1);
}

TEST_F(HandlersTest, TableSectionsScaleAlongTheirDimension) {
    auto *table = Add<QTableView>({0, 0, 200, 100});
    QStandardItemModel model(3, 2);
    table->setModel(&model);
    table->horizontalHeader()->setMinimumSectionSize(1);
    table->verticalHeader()->setMinimumSectionSize(1);
    table->horizontalHeader()->setDefaultSectionSize(50);
    table->verticalHeader()->setDefaultSectionSize(20);
    table->horizontalHeader()->resizeSection(1, 70);
    table->verticalHeader()->resizeSection(2, 30);
    Show();
    ResizeWindow({800, 900});  // the table becomes 400 x 300
    EXPECT_EQ(table->horizontalHeader()->defaultSectionSize(), Expected(50, 200, 400));
    EXPECT_EQ(table->verticalHeader()->defaultSectionSize(), Expected(20, 100, 300));
    EXPECT_EQ(table->horizontalHeader()->sectionSize(1), Expected(70, 200, 400));
    EXPECT_EQ(table->verticalHeader()->sectionSize(2), Expected(30, 100, 300));
    EXPECT_FALSE(HandlerOf<TMRDrawGrid>(table)->Advice().isEmpty());
}

TEST_F(HandlersTest, FixedTabSizesScaleAndAutomaticOnesStay) {
    auto *fixed = Add<QTabWidget>({0, 0, 200, 100});
    fixed->addTab(new QWidget, QStringLiteral("A"));
    fixed->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { width: 60px; height: 20px; }"));
    auto *automatic = Add<QTabWidget>({200, 0, 200, 100});
    automatic->addTab(new QWidget, QStringLiteral("B"));
    Show();
    ResizeWindow({800, 600});
    EXPECT_EQ(fixed->tabBar()->styleSheet(),
              QStringLiteral("QTabBar::tab { width: %1px; height: %2px; }")
                  .arg(Expected(60, 200, 400))
                  .arg(Expected(20, 100, 200)));
    EXPECT_TRUE(automatic->tabBar()->styleSheet().isEmpty());
}

TEST_F(HandlersTest, StatusBarPanelsScaleWithTheBarWidth) {
    auto *bar = Add<QStatusBar>({0, 280, 400, 20});
    auto *first = new QLabel(QStringLiteral("uno"));
    first->setMinimumWidth(120);
    bar->addWidget(first);
    auto *second = new QLabel(QStringLiteral("due"));
    second->setMinimumWidth(80);
    bar->addPermanentWidget(second);
    Show();
    ResizeWindow({1000, 300});
    EXPECT_EQ(first->minimumWidth(), Expected(120, 400, 1000));
    EXPECT_EQ(second->minimumWidth(), Expected(80, 400, 1000));
    EXPECT_EQ(m_panel->ControlHandlerOf(first), nullptr);  // the bar lays them out
}

TEST_F(HandlersTest, HeaderSectionsKeepTheirLimitsInProportion) {
    auto *header = new QHeaderView(Qt::Horizontal, m_panel);
    header->setGeometry(0, 0, 300, 24);
    QStandardItemModel model(1, 3);
    header->setModel(&model);
    header->setMinimumSectionSize(20);
    header->setMaximumSectionSize(200);
    header->resizeSection(0, 100);
    header->resizeSection(1, 60);
    Show();
    ResizeWindow({800, 300});  // 600 wide
    EXPECT_EQ(header->sectionSize(0), Expected(100, 300, 600));
    EXPECT_EQ(header->sectionSize(1), Expected(60, 300, 600));
    EXPECT_EQ(header->minimumSectionSize(), Expected(20, 300, 600));
    EXPECT_EQ(header->maximumSectionSize(), Expected(200, 300, 600));
    const TMRLSections &sections = HandlerOf<TMRHeaderControl>(header)->Sections();
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0].LastWidth, header->sectionSize(0));
    EXPECT_EQ(sections[2].LastMaxWidth, header->maximumSectionSize());
}

TEST_F(HandlersTest, TreeColumnsAndIndentationFollowTheWidth) {
    auto *tree = Add<QTreeView>({0, 0, 200, 150});
    QStandardItemModel model(2, 3);
    tree->setModel(&model);
    tree->header()->setStretchLastSection(false);
    tree->header()->setMinimumSectionSize(1);
    tree->header()->resizeSection(0, 90);
    tree->setIndentation(20);
    Show();
    ResizeWindow({1000, 300});  // 500 wide
    EXPECT_EQ(tree->header()->sectionSize(0), Expected(90, 200, 500));
    EXPECT_EQ(tree->indentation(), Expected(20, 200, 500));
}

TEST_F(HandlersTest, SplitterMinimumsFollowItsOrientation) {
    auto *splitter = Add<QSplitter>({0, 0, 400, 300});
    auto *left = new QWidget;
    left->setMinimumWidth(40);
    left->setMinimumHeight(30);
    splitter->addWidget(left);
    splitter->addWidget(new QWidget);
    Show();
    ResizeWindow({800, 300});
    EXPECT_EQ(left->minimumWidth(), Expected(40, 400, 800));
    EXPECT_EQ(left->minimumHeight(), 30);
    splitter->setOrientation(Qt::Vertical);  // learned again, now against the height
    m_panel->setAllowChanges(true);
    ResizeWindow({800, 600});
    EXPECT_EQ(left->minimumHeight(), Expected(30, 300, 600));
}

TEST_F(HandlersTest, ToolBoxFrameLineWidthScales) {
    auto *box = Add<QToolBox>({0, 0, 200, 200});
    box->setFrameStyle(QFrame::Box);
    box->setLineWidth(4);
    Show();
    ResizeWindow({1000, 300});
    EXPECT_EQ(box->lineWidth(), Expected(4, 200, 500));
}

TEST_F(HandlersTest, ButtonMarginsScaleOnlyWhereTheClassHasThem) {
    auto *own = Add<MarginButton>({0, 0, 100, 30});
    auto *centred = Add<MarginButton>({0, 40, 100, 30});
    centred->m_margin = -1;
    auto *plain = Add<QPushButton>({0, 80, 100, 30});
    Show();
    ResizeWindow({1200, 300});
    EXPECT_EQ(own->m_margin, Expected(4, 100, 300));
    EXPECT_EQ(own->m_spacing, Expected(6, 100, 300));
    EXPECT_EQ(centred->m_margin, -1);
    EXPECT_EQ(centred->m_spacing, 6);
    EXPECT_TRUE(HandlerOf<TMRMarginSpacing>(own)->Advice().isEmpty());
    EXPECT_FALSE(HandlerOf<TMRMarginSpacing>(plain)->Advice().isEmpty());
}

TEST_F(HandlersTest, AdviceForPicturesAndLabels) {
    auto *text = Add<QLabel>({0, 0, 100, 20});
    text->setText(QStringLiteral("testo"));
    auto *picture = Add<QLabel>({0, 30, 100, 20});
    picture->setPixmap(QPixmap(10, 10));
    auto *stretched = Add<QLabel>({0, 60, 100, 20});
    stretched->setPixmap(QPixmap(10, 10));
    stretched->setScaledContents(true);
    auto *jpeg = Add<sapidoro::TJPEGImage>({0, 90, 100, 20});
    Show();
    EXPECT_TRUE(HandlerOf<TMRAutoSize>(text)->Advice().isEmpty());
    EXPECT_EQ(HandlerOf<TMRAutoSize>(picture), nullptr);
    EXPECT_EQ(HandlerOf<TMRStretch>(picture)->Advice(), QStringLiteral("Set Stretch to True"));
    EXPECT_TRUE(HandlerOf<TMRStretch>(stretched)->Advice().isEmpty());
    EXPECT_EQ(HandlerOf<TMRStretch>(jpeg)->Advice(), QStringLiteral("Set Stretch to True"));
}

TEST_F(HandlersTest, ScrollAreaContentScalesFromItsUnscrolledPlace) {
    auto *area = Add<QScrollArea>({0, 0, 200, 150});
    auto *content = new QWidget;
    content->resize(400, 600);
    area->setWidget(content);
    Show();
    area->verticalScrollBar()->setValue(100);
    ResizeWindow({800, 600});
    EXPECT_EQ(area->verticalScrollBar()->value(), 0);
    EXPECT_EQ(content->pos(), QPoint(0, 0));
    EXPECT_GT(content->width(), 600);
    ResizeWindow(kDesign);
    EXPECT_EQ(content->size(), QSize(400, 600));
}

#include "HandlersTest.moc"
