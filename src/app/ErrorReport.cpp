#include "app/ErrorReport.h"

#include "common/Exception.h"

#include <QMessageBox>

namespace sapidoro {

namespace {

std::function<void(const QString &)> &Sink() {
    static std::function<void(const QString &)> sink;
    return sink;
}

}  // namespace

QString ErrorReportText(const QString &message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.')) return message + QLatin1Char('.');
    return message;
}

QString ExceptionMessage(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const Exception &e) {
        return QString::fromStdString(e.message());
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

void ShowErrorReport(const QString &message) {
    const QString text = ErrorReportText(message);
    if (Sink()) {
        Sink()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kApplicationTitle), text,
                    QMessageBox::Ok);
    box.exec();
}

void SetErrorReportSink(std::function<void(const QString &)> sink) {
    Sink() = std::move(sink);
}

void EventGuard::Keep(std::exception_ptr error) {
    if (!s_pending) s_pending = std::move(error);
}

void EventGuard::RethrowPending() {
    if (s_pending) std::rethrow_exception(std::exchange(s_pending, nullptr));
}

void EventGuard::ReportPending() {
    const QString message = ExceptionMessage(std::exchange(s_pending, nullptr));
    ShowErrorReport(message);
}

}  // namespace sapidoro
