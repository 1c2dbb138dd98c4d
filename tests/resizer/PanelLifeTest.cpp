#include "PanelFixture.h"
#include "resizer/MRControlVCL.h"
#include "resizer/MRHandlers.h"

#include "common/Exception.h"
#include "picture/JpgImg.h"
#include "widgets/FrameBorder.h"
#include "widgets/ProgressBar.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>

#include <functional>
#include <stdexcept>

using namespace sapidoro;
using namespace sapidoro::test;

namespace {

int PointSize(const QWidget *control) {
    return resizer::FontSize(control->font(), control->logicalDpiY());
}

class FontTest : public PanelTest {};

}  // namespace

TEST_F(FontTest, SizesAreCutTowardZeroAndNeverBelowOnePoint) {
    // 4 / 25 as a float lies a hair below 0.16: the size is the exact product all the same,
    // so at the learned size the font is the learned one.
    QWidget *small = Add({0, 0, 25, 25});
    QFont font = small->font();
    font.setPointSize(4);
    small->setFont(font);
    QWidget *wide = Add({100, 0, 200, 20});  // the height limits: 10 pt x 20 px
    font.setPointSize(10);
    wide->setFont(font);
    Show();
    ResizeWindow({401, 301});
    EXPECT_EQ(PointSize(small), 4);
    ResizeWindow({370, 277});  // 23 px: 3.68 points
    EXPECT_EQ(PointSize(small), 3);
    ResizeWindow(kDesign * 3);
    EXPECT_EQ(PointSize(wide), 30);  // 60 px high: 10/20 is an exact float
    ResizeWindow({8, 6});
    EXPECT_EQ(PointSize(small), 1);
    EXPECT_EQ(PointSize(wide), 1);
}

TEST_F(FontTest, PixelFontsStayInPixels) {
    QWidget *control = Add({10, 10, 120, 48});
    control->setFont([] {
        QFont f;
        f.setPixelSize(16);  // 12 points at 96 pixels per inch
        return f;
    }());
    Show();
    ResizeWindow(kDesign * 2);
    EXPECT_GT(control->font().pixelSize(), 16);
    ResizeWindow(kDesign);
    EXPECT_EQ(control->font().pixelSize(), 16);
}

TEST_F(FontTest, OwnFontNeverLearnsWithoutAllowChanges) {
    QFont font = m_panel->font();
    font.setPointSize(10);
    m_panel->setFont(font);
    QWidget *child = Add({10, 10, 100, 40});
    Show();
    ResizeWindow(kDesign * 2);
    EXPECT_EQ(m_panel->font().pointSize(), 10);
    EXPECT_FALSE(m_panel->OwnFontHandler().Valid());
    EXPECT_GT(PointSize(child), 10);  // the controls still scale their own fonts
}

TEST_F(FontTest, OwnFontFollowsThePanelWhenChangesAreAllowed) {
    m_panel->setAllowChanges(true);
    QFont font = m_panel->font();
    font.setPointSize(10);
    m_panel->setFont(font);
    Show();
    ResizeWindow(kDesign * 2);
    EXPECT_EQ(m_panel->font().pointSize(), 20);
}

TEST_F(FontTest, TextlessWidgetsKeepTheirFont) {
    auto *qtBar = Add<QProgressBar>({10, 10, 100, 20});
    auto *ownBar = Add<sapidoro::ProgressBar>({10, 40, 100, 20});
    auto *border = Add<sapidoro::FrameBorder>({10, 70, 100, 20});
    auto *picture = Add<sapidoro::TJPEGImage>({10, 100, 100, 20});
    Show();
    const auto fontHandlers = [this](QWidget *control) {
        int count = 0;
        for (auto &h : m_panel->ControlHandlerOf(control)->PropertyHandlers())
            count += dynamic_cast<TMRFont *>(h.get()) != nullptr;
        return count;
    };
    EXPECT_EQ(fontHandlers(qtBar), 1);  // Qt's own bar shows its value as text
    EXPECT_EQ(fontHandlers(ownBar), 0);
    EXPECT_EQ(fontHandlers(border), 0);
    EXPECT_EQ(fontHandlers(picture), 0);
}

TEST_F(FontTest, ComboHeldBackByItsLimitsReachesThroughItsFont) {
    auto *fixed = Add<QComboBox>({10, 10, 150, 20});
    fixed->setMaximumHeight(20);
    QFont font = fixed->font();
    font.setPixelSize(12);
    fixed->setFont(font);
    auto *free = Add<QComboBox>({10, 40, 150, 20});
    font.setPointSize(9);  // given in points: first given in pixels, 9 x 96 / 72
    free->setFont(font);
    Show();
    ResizeWindow({400, 450});  // target height 30
    EXPECT_GT(free->font().pixelSize(), 0);
    EXPECT_EQ(fixed->height(), 20);
    // The font handler then sets the scaled size; the combo rule had moved it 10 pixels up.
    auto &handler = static_cast<TMRControlHandlerVCL &>(*m_panel->ControlHandlerOf(fixed));
    QRect bounds;
    QFont start = fixed->font();
    start.setPixelSize(12);
    fixed->setFont(start);
    handler.ApplyBounds(bounds);
    EXPECT_EQ(fixed->font().pixelSize(), 22);
}

TEST(PropertyHandlerErrors, MissingPropertyIsRefused) {
    QWidget plain;
    const std::pair<const char *, std::function<void()>> cases[] = {
        {"No itemHeight property", [&] { TMRItemHeight h(&plain); }},
        {"No TabFont property", [&] { TMRFont h(&plain, "TabFont"); }},
        {"No indentation property", [&] { TMRTreeView h(&plain); }},
        {"No lineWidth property", [&] { TMRBorderWidth h(&plain); }},
        {"No orientation property", [&] { TMRMinSize h(&plain); }},
        {"No showGrid property", [&] { TMRDrawGrid h(&plain); }},
        {"No shape property", [&] { TMRTab h(&plain); }},
    };
    for (const auto &[message, create] : cases) {
        try {
            create();
            ADD_FAILURE() << "accepted: " << message;
        } catch (const sapidoro::Exception &e) {
            EXPECT_STREQ(e.what(), message);
        }
    }
}

namespace {

// Fails while applying, as a handler meeting a broken control would.
class FailingHandler : public TMRPropertyHandler {
public:
    using TMRPropertyHandler::TMRPropertyHandler;
    void ApplyProportions() override { throw std::runtime_error("apply failed"); }
};

class FailingPanel : public TNoBDEResizerPanel {
public:
    using TNoBDEResizerPanel::TNoBDEResizerPanel;
    bool fail = false;

protected:
    void AddPropertyHandlers(QWidget *control, TMRPropertyHandlers &handlers) override {
        TNoBDEResizerPanel::AddPropertyHandlers(control, handlers);
        if (fail) handlers.push_back(std::make_unique<FailingHandler>(control));
    }
};

}  // namespace

TEST(PanelFailure, PanelPaintsAgainAfterAHandlerThrows) {
    QWidget window;
    window.resize(300, 200);
    auto *panel = new FailingPanel(&window);
    panel->setGeometry(0, 0, 300, 200);
    panel->setAlign(alClient);
    QStringList errors;
    panel->setErrorHandler([&](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception &e) {
            errors << QString::fromUtf8(e.what());
        }
    });
    auto *control = new QFrame(panel);
    control->setGeometry(10, 10, 50, 50);
    window.show();
    panel->fail = true;
    auto *late = new QFrame(panel);  // registered at the next resize, with the failing handler
    late->setGeometry(100, 10, 50, 50);
    window.resize(600, 400);
    EXPECT_EQ(errors, QStringList{QStringLiteral("apply failed")});
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->updatesEnabled());
    EXPECT_EQ(panel->ReferenceSize(), QSize(600, 400));
    EXPECT_EQ(control->geometry(), QRect(20, 20, 100, 100));  // placed before the failure
    panel->hide();
    panel->resize(700, 500);  // hidden: the work waits, and is run here directly
    EXPECT_THROW(panel->HandleSizeChange(), std::runtime_error);
    EXPECT_TRUE(panel->updatesEnabled());
    EXPECT_EQ(panel->ReferenceSize(), QSize(700, 500));
}

TEST(PanelFailure, ZeroSizedParentLeavesItsControlsWhereTheyAre) {
    QWidget window;
    window.resize(300, 200);
    auto *panel = new TNoBDEResizerPanel(&window);
    panel->setGeometry(0, 0, 300, 200);
    panel->setAlign(alClient);
    auto *empty = new QFrame(panel);
    empty->setGeometry(10, 10, 0, 0);
    auto *child = new QFrame(empty);
    child->setGeometry(3, 4, 5, 6);
    window.show();
    window.resize(600, 400);
    EXPECT_FALSE(panel->ControlHandlerOf(child)->HasProportions());
    EXPECT_EQ(child->geometry(), QRect(3, 4, 5, 6));
}
