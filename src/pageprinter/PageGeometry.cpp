#include "pageprinter/PageDocument.h"

#include <QLocale>

namespace sapidoro {

namespace {

// Sheet and unprintable strip assumed when no printer answers.
constexpr double kFallbackPageWidthInches = 8.5;
constexpr double kFallbackPageHeightInches = 11;
constexpr double kFallbackPageWidthMm = 210;
constexpr double kFallbackPageHeightMm = 297;
constexpr double kFallbackOffsetInches = 0.25;
constexpr double kFallbackOffsetMm = 6;

}  // namespace

int PageDocument::ResolutionX() const {
    return Printer().TryDeviceCaps(DeviceCap::LOGPIXELSX).value_or(kFallbackResolution);
}

int PageDocument::ResolutionY() const {
    return Printer().TryDeviceCaps(DeviceCap::LOGPIXELSY).value_or(kFallbackResolution);
}

std::int32_t PageDocument::DeviceDotsX(double length) const {
    return LengthToDots(length, m_measureUnit, ResolutionX());
}

std::int32_t PageDocument::DeviceDotsY(double length) const {
    return LengthToDots(length, m_measureUnit, ResolutionY());
}

double PageDocument::UnitsFromDotsX(double dots) const {
    return DotsToLength(dots, m_measureUnit,
                        Printer().TryDeviceCaps(DeviceCap::LOGPIXELSX).value_or(0));
}

double PageDocument::UnitsFromDotsY(double dots) const {
    return DotsToLength(dots, m_measureUnit,
                        Printer().TryDeviceCaps(DeviceCap::LOGPIXELSY).value_or(0));
}

double PageDocument::PageWidth() const {
    if (const auto dots = Printer().TryDeviceCaps(DeviceCap::PHYSICALWIDTH))
        return UnitsFromDotsX(*dots);
    return m_measureUnit == muMillimeters ? kFallbackPageWidthMm : kFallbackPageWidthInches;
}

double PageDocument::PageHeight() const {
    if (const auto dots = Printer().TryDeviceCaps(DeviceCap::PHYSICALHEIGHT))
        return UnitsFromDotsY(*dots);
    return m_measureUnit == muMillimeters ? kFallbackPageHeightMm : kFallbackPageHeightInches;
}

double PageDocument::PrintableOffsetX() const {
    if (const auto dots = Printer().TryDeviceCaps(DeviceCap::PHYSICALOFFSETX))
        return UnitsFromDotsX(*dots);
    return m_measureUnit == muMillimeters ? kFallbackOffsetMm : kFallbackOffsetInches;
}

double PageDocument::PrintableOffsetY() const {
    if (const auto dots = Printer().TryDeviceCaps(DeviceCap::PHYSICALOFFSETY))
        return UnitsFromDotsY(*dots);
    return m_measureUnit == muMillimeters ? kFallbackOffsetMm : kFallbackOffsetInches;
}

int PageDocument::TextWidth() const {
    return DeviceDotsX(PrintableWidth()) - TextAreaLeft() - TextAreaRightInset();
}

int PageDocument::TextHeight() const {
    return DeviceDotsY(PrintableHeight()) - TextAreaTop() - TextAreaBottomInset();
}

void PageDocument::setMarginTop(double value) {
    RefuseWhilePrinting("Unable to change top margin while printing");
    const double strip = PrintableOffsetY();
    // A value that is no number counts as below the strip.
    if (!(value >= strip))
        value = strip;
    else if (value > PageHeight() - strip)
        value = PageHeight() - strip;
    m_marginTop = value;
    DocumentChanged(DocumentChange::Repaint);
}

void PageDocument::setMarginBottom(double value) {
    RefuseWhilePrinting("Unable to change bottom margin while printing");
    const double strip = PrintableOffsetY();
    if (!(value >= strip))
        value = strip;
    else if (value > PageHeight() - strip)
        value = PageHeight() - strip;
    m_marginBottom = value;
    DocumentChanged(DocumentChange::Repaint);
}

void PageDocument::setMarginLeft(double value) {
    RefuseWhilePrinting("Unable to change left margin while printing");
    const double strip = PrintableOffsetX();
    if (!(value >= strip))
        value = strip;
    else if (value > PageWidth() - strip)
        value = PageWidth() - strip;
    m_marginLeft = value;
    DocumentChanged(DocumentChange::Repaint);
}

void PageDocument::setMarginRight(double value) {
    RefuseWhilePrinting("Unable to change right margin while printing");
    const double strip = PrintableOffsetX();
    if (!(value >= strip))
        value = strip;
    else if (value > PageWidth() - strip)
        value = PageWidth() - strip;
    m_marginRight = value;
    DocumentChanged(DocumentChange::Repaint);
}

void PageDocument::setMargins(double top, double bottom, double left, double right) {
    setMarginTop(top);
    setMarginBottom(bottom);
    setMarginLeft(left);
    setMarginRight(right);
}

void PageDocument::setMeasureUnit(TMeasureUnit value) {
    if (value == m_measureUnit) return;
    // Refused as a whole while printing: the margins could not follow the new unit.
    RefuseWhilePrinting("Unable to change top margin while printing");
    m_measureUnit = value;
    const double factor = UnitChangeFactor(value);
    setMarginTop(m_marginTop * factor);
    setMarginBottom(m_marginBottom * factor);
    setMarginLeft(m_marginLeft * factor);
    setMarginRight(m_marginRight * factor);
    m_pageBorderOffset *= factor;
    m_defaultColWidth *= factor;
    RefreshDeviceMetrics();
    if (m_friendlyFooter.isEmpty()) m_footerFormat = NormalizeColumnFormat(m_footerFormat, true);
    if (m_friendlyHeader.isEmpty()) m_headerFormat = NormalizeColumnFormat(m_headerFormat, true);
    m_tableFormat = NormalizeColumnFormat(m_tableFormat, true);
}

void PageDocument::RefreshDeviceMetrics() {
    if (!Printing()) {
        setMarginTop(m_marginTop);
        setMarginBottom(m_marginBottom);
        setMarginLeft(m_marginLeft);
        setMarginRight(m_marginRight);
    }
    // Scaled first, so that the metrics are those of the font at the device's resolution.
    ScalePageFont();
    ForgetPrinterFontMetrics();
    RecomputeLineHeight();
    if (!m_friendlyHeader.isEmpty()) setFriendlyHeader(m_friendlyHeader);
    if (!m_friendlyFooter.isEmpty()) setFriendlyFooter(m_friendlyFooter);
}

QChar PageDocument::DecimalSeparator() const {
    const QString separator = QLocale().decimalPoint();
    return separator.isEmpty() ? QChar(u'.') : separator[0];
}

ColumnSpec PageDocument::ParseColumnSpec(QStringView entry) const {
    return sapidoro::ParseColumnSpec(entry, m_defaultColWidth, DecimalSeparator());
}

QString PageDocument::NormalizeColumnFormat(const QString &format, bool convert) const {
    return sapidoro::NormalizeColumnFormat(format, m_tokenSeparator, m_defaultColWidth,
                                           DecimalSeparator(),
                                           convert ? UnitChangeFactor(m_measureUnit) : 1.0);
}

}  // namespace sapidoro
