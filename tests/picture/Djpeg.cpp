#include "Djpeg.h"

#include "support/TempDir.h"

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace sapidoro::test {

std::string RunDjpeg(const std::string &jpeg, const QStringList &options) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("djpeg"));
    if (program.isEmpty()) {
        ADD_FAILURE() << "djpeg not found: install libjpeg-turbo-progs (scripts/install-deps)";
        return {};
    }
    TempDir dir;
    const std::string input = dir.write("in.jpg", jpeg);
    const std::string output = dir.file("out.bmp");
    QStringList arguments = options;
    arguments << QStringLiteral("-bmp") << QStringLiteral("-outfile")
              << QString::fromStdString(output) << QString::fromStdString(input);
    QProcess djpeg;
    djpeg.start(program, arguments);
    if (!djpeg.waitForFinished(60000) || djpeg.exitStatus() != QProcess::NormalExit ||
        djpeg.exitCode() != 0) {
        ADD_FAILURE() << "djpeg " << arguments.join(QLatin1Char(' ')).toStdString()
                      << " failed: " << djpeg.readAllStandardError().toStdString();
        return {};
    }
    return dir.read("out.bmp");
}

}  // namespace sapidoro::test
