#pragma once

#include <QDialog>
#include <QRegion>
#include <QString>

#include <array>
#include <cstdint>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

namespace sapidoro {

// The page printer's progress window: a fixed dialog, laid out at 96 pixels per inch and
// scaled to the screen. It has no behaviour of its own; the page printer fills it in.
class TPPPrnPrgDlg : public QDialog {
    Q_OBJECT

public:
    explicit TPPPrnPrgDlg(QWidget *parent = nullptr);

    // The window without its Cancel button: disabled, hidden, the client area 98 pixels high.
    void HideCancel();
    // The screen's resolution the layout is scaled to.
    int PixelsPerInch() const { return m_pixelsPerInch; }
    // Advances the bar by its step; past the maximum it starts again from the minimum.
    void StepIt();
    // While held, changes of the page line and the bar ask for no paint of their own, so
    // that the owner paints them together when the screen can show them.
    void HoldPaints(bool hold);
    // The part of the window that changes from page to page: the page line and the bar.
    QRegion ChangingArea() const;

    QFrame *Bevel = nullptr;
    QLabel *lblStatus = nullptr;
    QLabel *lblPageNumber = nullptr;
    QProgressBar *ProgBar = nullptr;
    QPushButton *btnCancel = nullptr;

public slots:
    // Esc and a close request act as the Cancel button; the window never closes itself.
    void reject() override;

private:
    int Scaled(int designPixels) const;
    std::array<QWidget *, 2> ChangingParts() const;

    int m_pixelsPerInch = 96;
};

// The page line of the progress window: "Page 3", and " of 5" and " x 2 Copies" when the
// range starts at page 1.
QString ProgressPageText(int page, int first, int last, std::uint32_t copies);

}  // namespace sapidoro
