#include "pageprinter/PgPrnPrg.h"

#include "pageprinter/PageUnits.h"
#include "widgets/ProgressBar.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace sapidoro {

namespace {

constexpr int kDesignPixelsPerInch = 96;

QLabel *CentredLabel(QWidget *parent, const char *name) {
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

TPPPrnPrgDlg::TPPPrnPrgDlg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("PPPrnPrgDlg"));
    setWindowTitle(QStringLiteral("Print Progress"));
    setModal(false);
    m_pixelsPerInch = logicalDpiY() > 0 ? logicalDpiY() : kDesignPixelsPerInch;

    // fontconfig stands the system's sans font in for the family.
    QFont dialogFont(QStringLiteral("MS Sans Serif"));
    dialogFont.setStyleHint(QFont::SansSerif);
    dialogFont.setPixelSize(Scaled(11));
    setFont(dialogFont);

    Bevel = new QFrame(this);
    Bevel->setObjectName(QStringLiteral("Bevel"));
    Bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel->setGeometry(Scaled(8), Scaled(8), Scaled(277), Scaled(57));

    lblStatus = CentredLabel(this, "lblStatus");
    lblStatus->setGeometry(Scaled(20), Scaled(20), Scaled(249), Scaled(13));
    lblPageNumber = CentredLabel(this, "lblPageNumber");
    lblPageNumber->setGeometry(Scaled(20), Scaled(40), Scaled(253), Scaled(13));
    // Painted on the window's own colour, so that a new page number repaints nothing beneath.
    lblPageNumber->setAutoFillBackground(true);

    // A flat bar, which paints every pixel of itself, at a small part of the cost of the
    // style's shaded one: it is repainted at every frame of a job.
    ProgBar = new ProgressBar(this);
    ProgBar->setAttribute(Qt::WA_OpaquePaintEvent);
    ProgBar->setObjectName(QStringLiteral("ProgBar"));
    ProgBar->setGeometry(Scaled(8), Scaled(76), Scaled(277), Scaled(13));
    ProgBar->setRange(0, 10);
    ProgBar->setValue(0);
    ProgBar->setTextVisible(false);

    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(Scaled(109), Scaled(100), Scaled(75), Scaled(25));
    btnCancel->setDefault(true);

    // Parts of a fixed size ask the window for no new layout when their contents change.
    for (QWidget *part : {static_cast<QWidget *>(lblStatus), static_cast<QWidget *>(lblPageNumber),
                          static_cast<QWidget *>(ProgBar)})
        part->setFixedSize(part->size());
    setFixedSize(Scaled(293), Scaled(133));
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

int TPPPrnPrgDlg::Scaled(int designPixels) const {
    return MulDiv(designPixels, m_pixelsPerInch, kDesignPixelsPerInch);
}

void TPPPrnPrgDlg::HideCancel() {
    btnCancel->setEnabled(false);
    btnCancel->hide();
    setFixedHeight(98 * m_pixelsPerInch / kDesignPixelsPerInch);
}

void TPPPrnPrgDlg::StepIt() {
    const int next = ProgBar->value() + 1;
    ProgBar->setValue(next > ProgBar->maximum() ? ProgBar->minimum() : next);
}

std::array<QWidget *, 2> TPPPrnPrgDlg::ChangingParts() const {
    return {lblPageNumber, ProgBar};
}

void TPPPrnPrgDlg::HoldPaints(bool hold) {
    for (QWidget *part : ChangingParts())
        if (part->updatesEnabled() == hold) part->setUpdatesEnabled(!hold);
}

QRegion TPPPrnPrgDlg::ChangingArea() const {
    QRegion area;
    for (const QWidget *part : ChangingParts()) area += part->geometry();
    return area;
}

void TPPPrnPrgDlg::reject() {
    if (btnCancel->isVisible() && btnCancel->isEnabled()) btnCancel->click();
}

QString ProgressPageText(int page, int first, int last, std::uint32_t copies) {
    QString text = QStringLiteral("Page ") + QString::number(page);
    if (first != 1) return text;
    text += QStringLiteral(" of ") + QString::number(last - first + 1);
    if (copies > 1)
        text += QStringLiteral(" x ") + QString::number(copies) + QStringLiteral(" Copies");
    return text;
}

}  // namespace sapidoro
