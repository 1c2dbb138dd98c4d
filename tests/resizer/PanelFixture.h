#pragma once

#include "resizer/NoBDERP.h"

#include <QRect>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace sapidoro::test {

// A window whose client area a resizer panel fills, as the main window's does.
class PanelTest : public ::testing::Test {
protected:
    static constexpr QSize kDesign{400, 300};

    void SetUp() override;
    void TearDown() override;

    // A control of the given kind inside `parent` (the panel when null) at `bounds`.
    template <class Control = QWidget>
    Control *Add(QRect bounds, QWidget *parent = nullptr) {
        auto *control = new Control(parent != nullptr ? parent : m_panel);
        control->setGeometry(bounds);
        return control;
    }
    // Shows the window at its design size, so that the panel learns the layout.
    void Show();
    void ResizeWindow(QSize size);

    std::unique_ptr<QWidget> m_window;
    TNoBDEResizerPanel *m_panel = nullptr;
};

// The bounds at `size` of a control whose bounds were `bounds` at `design`, each edge
// scaled alone; used where the products are exact.
QRect Scaled(QRect bounds, QSize design, QSize size);

}  // namespace sapidoro::test
