#include "app/ErrorReport.h"
#include "common/Exception.h"
#include "support/ErrorReports.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace sapidoro;

using test::ErrorReports;

TEST(ErrorReport, AppendsAFullStopAfterLettersAndDigits) {
    EXPECT_EQ(ErrorReportText(QStringLiteral("File not found")), QStringLiteral("File not found."));
    EXPECT_EQ(ErrorReportText(QStringLiteral("I/O error 5")), QStringLiteral("I/O error 5."));
    EXPECT_EQ(ErrorReportText(QStringLiteral("'x' is not a valid integer value")),
              QStringLiteral("'x' is not a valid integer value."));
    EXPECT_EQ(ErrorReportText(QStringLiteral("Fine.")), QStringLiteral("Fine."));
    EXPECT_EQ(ErrorReportText(QStringLiteral("Come?!")), QStringLiteral("Come?!"));
    EXPECT_EQ(ErrorReportText(QStringLiteral("pi\u00F9")), QStringLiteral("pi\u00F9."));
    EXPECT_EQ(ErrorReportText(QString()), QString());
}

TEST(ErrorReport, OutermostHandlerReportsAndTheChainStops) {
    ErrorReports reports;
    QStringList steps;
    // A handler bound to a button fails when the outer handler clicks the button.
    QPushButton button;
    ExceptionSafeConnect(&button, &QPushButton::clicked, &button, [&](bool) {
        steps << "inner";
        throw EInOutError("File not found", 2);
    });
    EventGuard::Run([&] {
        steps << "outer";
        EventGuard::EmitNested([&] {
            button.click();
            steps << "after the click";
        });
        steps << "never";
    });
    EXPECT_EQ(steps, (QStringList{"outer", "inner", "after the click"}));
    EXPECT_EQ(reports.messages(), QStringList{"File not found."});

    // Nothing stays pending for the next event; a nested handler that succeeds is no error.
    steps.clear();
    EventGuard::Run([&] { EventGuard::EmitNested([&] { steps << "quiet"; }); });
    EXPECT_EQ(steps, QStringList{"quiet"});
    EXPECT_EQ(reports.messages().size(), 1);

    // The user's own click is the outermost handler and reports at once.
    button.click();
    EXPECT_EQ(reports.messages().size(), 2);
}

TEST(ErrorReport, NestedErrorNotTakenOverIsReportedAtTheEnd) {
    ErrorReports reports;
    EventGuard::Run(
        [&] { EventGuard::Run([] { throw EConvertError("'a' is not a valid integer value"); }); });
    EXPECT_EQ(reports.messages(), QStringList{"'a' is not a valid integer value."});
}

TEST(ErrorReport, ShowsAModalBoxWithTheErrorSymbolAndTheTitle) {
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->accept();
    });
    EventGuard::Run([] { throw EInOutError("File access denied", 13); });
    EXPECT_EQ(caption, QStringLiteral("Sapidoro 1.3"));
    EXPECT_EQ(text, QStringLiteral("File access denied."));
    EXPECT_EQ(icon, QMessageBox::Critical);
}
