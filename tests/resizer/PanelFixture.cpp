#include "PanelFixture.h"

#include <QApplication>

namespace sapidoro::test {

void PanelTest::SetUp() {
    m_window = std::make_unique<QWidget>();
    m_window->resize(kDesign);
    m_panel = new TNoBDEResizerPanel(m_window.get());
    m_panel->setGeometry(QRect(QPoint(0, 0), kDesign));
    m_panel->setAlign(alClient);
    m_panel->setErrorHandler([](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception &e) {
            ADD_FAILURE() << "resize failed: " << e.what();
        }
    });
}

void PanelTest::TearDown() {
    m_window.reset();
}

void PanelTest::Show() {
    m_window->show();
    QApplication::processEvents();
}

void PanelTest::ResizeWindow(QSize size) {
    m_window->resize(size);
    QApplication::processEvents();
}

QRect Scaled(QRect bounds, QSize design, QSize size) {
    const auto scale = [](int value, int from, int to) {
        return static_cast<int>(static_cast<long long>(value) * to / from);
    };
    return QRect(scale(bounds.x(), design.width(), size.width()),
                 scale(bounds.y(), design.height(), size.height()),
                 scale(bounds.width(), design.width(), size.width()),
                 scale(bounds.height(), design.height(), size.height()));
}

}  // namespace sapidoro::test
