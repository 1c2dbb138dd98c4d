#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

namespace sapidoro::test {

// Collects the error reports shown while it lives: each report box, captioned with the
// application title, is read, handed to `onReport` and answered as soon as it opens. Other
// boxes are left alone.
class ErrorReports : public QObject {
public:
    explicit ErrorReports(std::function<void(const QString &)> onReport = {});
    ~ErrorReports() override;
    const QStringList &messages() const { return m_messages; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void(const QString &)> m_onReport;
    QStringList m_messages;
};

}  // namespace sapidoro::test
