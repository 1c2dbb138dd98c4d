#include "app/ErrorReport.h"
#include "common/Exception.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

using namespace sapidoro;

namespace {

// Collects what the error report would show.
class ReportRecorder {
public:
    ReportRecorder() {
        SetErrorReportSink([this](const QString &text) { reports.append(text); });
    }
    ~ReportRecorder() { SetErrorReportSink({}); }
    QStringList reports;
};

}  // namespace

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
    ReportRecorder recorder;
    QStringList steps;
    EventGuard::Run([&] {
        steps << QStringLiteral("outer");
        // A handler run by a signal inside this one fails; the outer one takes the error over.
        EventGuard::Run([&] {
            steps << QStringLiteral("inner");
            throw EInOutError("File not found", 2);
        });
        steps << QStringLiteral("after inner");
        EventGuard::RethrowPending();
        steps << QStringLiteral("never");
    });
    EXPECT_EQ(steps, (QStringList{QStringLiteral("outer"), QStringLiteral("inner"),
                                  QStringLiteral("after inner")}));
    EXPECT_EQ(recorder.reports, QStringList{QStringLiteral("File not found.")});

    // Nothing stays pending for the next event.
    EventGuard::Run([&] { EventGuard::RethrowPending(); });
    EXPECT_EQ(recorder.reports.size(), 1);
}

TEST(ErrorReport, NestedErrorNotTakenOverIsReportedAtTheEnd) {
    ReportRecorder recorder;
    EventGuard::Run(
        [&] { EventGuard::Run([] { throw EConvertError("'a' is not a valid integer value"); }); });
    EXPECT_EQ(recorder.reports, QStringList{QStringLiteral("'a' is not a valid integer value.")});
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
