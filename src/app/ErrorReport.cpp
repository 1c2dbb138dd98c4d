#include "app/ErrorReport.h"

#include "app/WindowTexts.h"
#include "common/Exception.h"

#include <QMessageBox>

namespace sapidoro {

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
        return UiText(kUnknownErrorMessage);
    }
}

namespace {

void ShowReport(QMessageBox::Icon icon, const QString &message) {
    QMessageBox box(icon, UiText(kApplicationTitle), ErrorReportText(message), QMessageBox::Ok);
    box.exec();
}

bool IsNotice(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const ENotice &) {
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace

void ShowErrorReport(const QString &message) {
    ShowReport(QMessageBox::Critical, message);
}

void ShowNotice(const QString &message) {
    ShowReport(QMessageBox::Information, message);
}

void EventGuard::Keep(std::exception_ptr error) {
    if (!s_pending) s_pending = std::move(error);
}

void EventGuard::RethrowPending() {
    if (s_pending) std::rethrow_exception(std::exchange(s_pending, nullptr));
}

void EventGuard::ReportPending() {
    const std::exception_ptr error = std::exchange(s_pending, nullptr);
    const QString message = ExceptionMessage(error);
    if (IsNotice(error))
        ShowNotice(message);
    else
        ShowErrorReport(message);
}

}  // namespace sapidoro
