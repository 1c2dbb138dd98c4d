#include "resizer/MRHandlers.h"

#include <QAbstractScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace sapidoro {

using namespace resizer;

bool TMRValuesHandler::ValuesChanged() const {
    const int count = EntryCount();
    if (count != m_values.Count()) return true;
    for (int i = 0; i < count; ++i)
        if (ReadEntry(i) != m_values.Value(i)) return true;
    return false;
}

void TMRValuesHandler::SaveProportions() {
    if (!CanScale()) {
        m_valid = false;
        return;
    }
    if (m_valid && !LayoutChanged() && !ValuesChanged()) return;
    const QSize client = ClientSize(m_control);
    m_values.Clear();
    const int count = EntryCount();
    for (int i = 0; i < count; ++i) {
        const int reference = DimensionOf(i) == Dimension::Width ? client.width() : client.height();
        if (reference == 0) {
            m_values.Clear();
            m_valid = false;
            return;
        }
        const int value = ReadEntry(i);
        m_values.Add(value, Ratio(value, reference));
    }
    RememberLayout();
    m_valid = true;
}

void TMRValuesHandler::ApplyProportions() {
    if (!m_valid) return;
    const QSize client = ClientSize(m_control);
    // Entries added since the last save have no ratio yet; they are learned at the next save.
    const int count = std::min(m_values.Count(), EntryCount());
    for (int i = 0; i < count; ++i) {
        const int reference = DimensionOf(i) == Dimension::Width ? client.width() : client.height();
        WriteEntry(i, std::max(MinimumOf(i), Truncated(reference, m_values.Ratio(i))));
    }
    for (int i = 0; i < count; ++i) m_values.SetValue(i, ReadEntry(i));
}

TMRItemHeight::TMRItemHeight(QWidget *control) : TMRValuesHandler(control) {
    RequireProperty(control, "itemHeight");
}

int TMRItemHeight::ReadEntry(int) const {
    return ReadInt(m_control, "itemHeight");
}

void TMRItemHeight::WriteEntry(int, int value) {
    WriteInt(m_control, "itemHeight", value);
}

TMRScrollBox::TMRScrollBox(QWidget *control) : TMRPropertyHandler(control) {
    RequireProperty(control, "horizontalScrollBarPolicy");
    RequireProperty(control, "verticalScrollBarPolicy");
}

void TMRScrollBox::ScrollHome() {
    auto *area = qobject_cast<QAbstractScrollArea *>(m_control);
    if (area == nullptr) return;
    WriteInt(area->horizontalScrollBar(), "value", 0);
    WriteInt(area->verticalScrollBar(), "value", 0);
}

void TMRScrollBox::SaveProportions() {
    ScrollHome();
    m_valid = true;
}

void TMRScrollBox::ApplyProportions() {
    // The content is placed from the unscrolled origin, so the bars start there too.
    ScrollHome();
}

TMRMarginSpacing::TMRMarginSpacing(QWidget *control)
    : TMRValuesHandler(control),
      m_scalable(HasProperty(control, "margin") && HasProperty(control, "spacing")) {}

bool TMRMarginSpacing::CanScale() const {
    return m_scalable && ReadInt(m_control, "margin") != -1;
}

int TMRMarginSpacing::ReadEntry(int index) const {
    return ReadInt(m_control, index == 0 ? "margin" : "spacing");
}

void TMRMarginSpacing::WriteEntry(int index, int value) {
    WriteInt(m_control, index == 0 ? "margin" : "spacing", value);
}

QString TMRMarginSpacing::Advice() const {
    if (m_scalable) return {};
    return QStringLiteral("The style places the icon; its margin and spacing are not scaled. ");
}

TMRTreeView::TMRTreeView(QWidget *control) : TMRValuesHandler(control) {
    RequireProperty(control, "indentation");
}

int TMRTreeView::ReadEntry(int) const {
    return ReadInt(m_control, "indentation");
}

void TMRTreeView::WriteEntry(int, int value) {
    WriteInt(m_control, "indentation", value);
}

TMRBorderWidth::TMRBorderWidth(QWidget *control) : TMRValuesHandler(control) {
    RequireProperty(control, "lineWidth");
}

int TMRBorderWidth::ReadEntry(int) const {
    return ReadInt(m_control, "lineWidth");
}

void TMRBorderWidth::WriteEntry(int, int value) {
    WriteInt(m_control, "lineWidth", value);
}

TMRMinSize::TMRMinSize(QWidget *control) : TMRValuesHandler(control) {
    RequireProperty(control, "orientation");
}

const char *TMRMinSize::SizeProperty() const {
    return ReadInt(m_control, "orientation") == Qt::Horizontal ? "minimumWidth" : "minimumHeight";
}

int TMRMinSize::EntryCount() const {
    const auto *splitter = qobject_cast<const QSplitter *>(m_control);
    return splitter != nullptr ? splitter->count() : 0;
}

int TMRMinSize::ReadEntry(int index) const {
    return ReadInt(static_cast<const QSplitter *>(m_control)->widget(index), SizeProperty());
}

void TMRMinSize::WriteEntry(int index, int value) {
    WriteInt(static_cast<QSplitter *>(m_control)->widget(index), SizeProperty(), value);
}

TMRValuesHandler::Dimension TMRMinSize::DimensionOf(int) const {
    return ReadInt(m_control, "orientation") == Qt::Horizontal ? Dimension::Width
                                                               : Dimension::Height;
}

bool TMRMinSize::LayoutChanged() const {
    return ReadInt(m_control, "orientation") != m_orientation;
}

void TMRMinSize::RememberLayout() {
    m_orientation = ReadInt(m_control, "orientation");
}

QString TMRStretch::Advice() const {
    // A picture control without a stretch switch always shows its picture at natural size.
    bool stretched = false;
    if (HasProperty(m_control, "scaledContents"))
        stretched = m_control->property("scaledContents").toBool();
    else if (HasProperty(m_control, "Stretch"))
        stretched = m_control->property("Stretch").toBool();
    return stretched ? QString() : QStringLiteral("Set Stretch to True");
}

QString TMRAutoSize::Advice() const {
    // A Qt label keeps the geometry it is given unless its class sizes it to its text.
    const bool autoSize =
        HasProperty(m_control, "autoSize") && m_control->property("autoSize").toBool();
    return autoSize ? QStringLiteral("Set AutoSize to False") : QString();
}

}  // namespace sapidoro
