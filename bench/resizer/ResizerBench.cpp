// Times the resizer panel of the main window over a run of resizes between two sizes (the
// panel's whole reaction to a change of its size: learning new controls, placing every
// control, scaling fonts and the other sizes) beside Qt's relayout in a QGridLayout resized
// the same way, in the same run: of the very widgets the panel places (taken from a second
// main window), and of as many plain widgets of the four kinds the window has most of.
// Each figure is the median time of one resize.
//
// usage: resizer_bench [resizes [width height]]   (default 1000, 1600 x 1000)

#include "app/ErrorReport.h"
#include "app/Unit1.h"
#include "resizer/NoBDERP.h"
#include "support/ErrorReports.h"
#include "timing/BenchTiming.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace {

using namespace sapidoro;
using namespace sapidoro::bench;

// As many widgets as the panel handles, of the kinds the main window has most of.
std::unique_ptr<QWidget> GridOf(int count) {
    auto host = std::make_unique<QWidget>();
    auto *grid = new QGridLayout(host.get());
    const int columns = static_cast<int>(std::ceil(std::sqrt(count)));
    for (int i = 0; i < count; ++i) {
        QWidget *widget = nullptr;
        switch (i % 4) {
            case 0:
                widget = new QLabel(QStringLiteral("etichetta"));
                break;
            case 1:
                widget = new QLineEdit(QStringLiteral("testo"));
                break;
            case 2:
                widget = new QPushButton(QStringLiteral("RICERCHE"));
                break;
            default:
                widget = new QComboBox;
                break;
        }
        grid->addWidget(widget, i / columns, i % columns);
    }
    return host;
}

// The controls a panel places, moved out of their window into a grid of their own.
std::unique_ptr<QWidget> GridOfControls(TNoBDEResizerPanel &panel) {
    QList<QWidget *> controls;
    for (QWidget *control : panel.findChildren<QWidget *>())
        if (panel.ControlHandlerOf(control) != nullptr) controls.append(control);
    auto host = std::make_unique<QWidget>();
    auto *grid = new QGridLayout(host.get());
    const int columns = static_cast<int>(std::ceil(std::sqrt(controls.size())));
    for (int i = 0; i < controls.size(); ++i) {
        const bool hidden = controls[i]->isHidden();
        grid->addWidget(controls[i], i / columns, i % columns);
        controls[i]->setHidden(hidden);
    }
    return host;
}

}  // namespace

int main(int argc, char **argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    const sapidoro::test::ErrorReports reports;  // an empty data folder is fine
    const int resizes = argc > 1 ? std::atoi(argv[1]) : 1000;

    QTemporaryDir folder;
    TForm1 form(folder.path() + QLatin1Char('/'), nullptr);
    form.show();
    QApplication::processEvents();
    auto *panel = form.findChild<TNoBDEResizerPanel *>(QStringLiteral("NoBDEResizerPanel1"));
    const int controls = panel->ControlHandlerCount();

    std::unique_ptr<QWidget> grid = GridOf(controls);
    grid->resize(661, 440);
    grid->show();
    std::unique_ptr<QWidget> same;  // goes after the donor window, which still names its controls
    TForm1 donor(folder.path() + QLatin1Char('/'), nullptr);
    donor.show();  // its panel learns its controls
    QApplication::processEvents();
    same = GridOfControls(
        *donor.findChild<TNoBDEResizerPanel *>(QStringLiteral("NoBDEResizerPanel1")));
    donor.hide();
    same->resize(661, 440);
    same->show();
    QApplication::processEvents();

    QSize sizes[2] = {QSize(1280, 800), QSize(1600, 1000)};
    if (argc > 3) sizes[1] = QSize(std::atoi(argv[2]), std::atoi(argv[3]));
    std::vector<double> ours, peer, samePeer;
    for (int i = 0; i < resizes; ++i) {
        const QSize size = sizes[i % 2];
        // Each takes its turn to go first after the untimed paints, which leave the caches cold.
        const std::function<void()> runs[3] = {
            [&] { ours.push_back(Time([&] { panel->resize(size); })); },
            [&] { samePeer.push_back(Time([&] { same->resize(size); })); },
            [&] { peer.push_back(Time([&] { grid->resize(size); })); }};
        for (int k = 0; k < 3; ++k) runs[(i / 2 + k) % 3]();
        QApplication::processEvents();  // the paints and posted events of all, untimed
    }

    const double panelMedian = Median(ours), gridMedian = Median(peer);
    const double sameMedian = Median(samePeer);
    std::printf("controls handled by the panel: %d\n", controls);
    std::printf("resizes: %d, alternating %dx%d and %dx%d (medians)\n", resizes, sizes[0].width(),
                sizes[0].height(), sizes[1].width(), sizes[1].height());
    std::printf("peer QGridLayout relayout of the same %d controls: %.3f ms\n", controls,
                sameMedian);
    std::printf("peer QGridLayout relayout of %d plain widgets: %.3f ms\n", controls, gridMedian);
    std::printf(
        "resizer panel, steps 1 to 7: %.3f ms (%.2f x QGridLayout of the same controls, %.2f x "
        "of plain widgets, %.1f%% of a 60 Hz frame)\n",
        panelMedian, panelMedian / sameMedian, panelMedian / gridMedian,
        panelMedian / (1000.0 / 60) * 100);
    return 0;
}
