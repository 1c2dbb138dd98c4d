#include "resizer/MRHandlers.h"
#include "resizer/Pages.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace sapidoro {

using namespace resizer;

TMRFont::TMRFont(QWidget *control, const char *propertyName)
    : TMRPropertyHandler(control),
      m_propertyName(propertyName),
      m_ownFont(m_propertyName == "font") {
    RequireProperty(control, propertyName);
    m_font = ReadFont();
}

QFont TMRFont::ReadFont() const {
    // A widget's own font is read directly; any other font property by name.
    if (m_ownFont) return m_control->font();
    return m_control->property(m_propertyName.constData()).value<QFont>();
}

void TMRFont::WriteFont(const QFont &font) {
    if (m_ownFont)
        m_control->setFont(font);
    else
        m_control->setProperty(m_propertyName.constData(), font);
}

int TMRFont::PixelsPerInch() const {
    return m_control->logicalDpiY();
}

void TMRFont::SaveProportions() {
    SaveProportionsAgainst(ClientSize(m_control));
}

void TMRFont::SaveProportionsAgainst(QSize reference) {
    m_font = ReadFont();
    const int size = FontSize(m_font, PixelsPerInch());
    if (m_valid && size == m_lastSize) return;
    if (reference.width() == 0 || reference.height() == 0) {
        m_valid = false;
        return;
    }
    m_learnedSize = size;
    m_learnedReference = reference;
    m_learnedPixels = std::max(0, m_font.pixelSize());
    m_learnedPoints = m_font.pointSizeF();
    m_lastSize = size;
    m_valid = true;
}

void TMRFont::ApplyProportions() {
    ApplyProportionsAgainst(ClientSize(m_control));
}

void TMRFont::ApplyProportionsAgainst(QSize client) {
    if (!m_valid) return;
    const int size = std::max(
        1, std::min(ExactTruncated(m_learnedSize, m_learnedReference.width(), client.width()),
                    ExactTruncated(m_learnedSize, m_learnedReference.height(), client.height())));
    QFont font = ReadFont();
    const int pixelsPerInch = PixelsPerInch();
    QFont wanted = font;
    // At the learned size the font is the learned one exactly, not its size in whole points
    // converted back: whatever sizes came before, the same client gives the same font.
    if (size == m_learnedSize && m_learnedPixels > 0)
        wanted.setPixelSize(m_learnedPixels);
    else if (size == m_learnedSize && m_learnedPoints > 0 && font.pixelSize() <= 0)
        wanted.setPointSizeF(m_learnedPoints);  // unless a combo box took its font in pixels
    else
        SetFontSize(wanted, size, pixelsPerInch);
    if (wanted != font) {
        WriteFont(wanted);
        LayOutPagesNow(m_control);
        font = ReadFont();  // as the control took it
    }
    m_font = font;
    m_lastSize = FontSize(font, pixelsPerInch);
    TakeActivePageBounds(m_control);
}

QString TMRFont::Advice() const {
    if (QFontDatabase::isSmoothlyScalable(QFontInfo(m_font).family())) return {};
    return QStringLiteral("Not a vector font. ");
}

}  // namespace sapidoro
