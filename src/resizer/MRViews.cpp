#include "resizer/MRHandlers.h"

#include <QHeaderView>
#include <QRegularExpression>
#include <QSizeGrip>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTreeView>

#include <algorithm>
#include <cstdint>

namespace sapidoro {

using namespace resizer;

namespace {

// Fixed tab sizes live in the tab bar's style sheet, Qt's one way to fix them; a size
// missing from it is the style's own (0).
int TabSize(const QTabBar *bar, const char *which) {
    static const QRegularExpression width(QStringLiteral(R"(\bwidth:\s*(\d+)px)"));
    static const QRegularExpression height(QStringLiteral(R"(\bheight:\s*(\d+)px)"));
    const QString sheet = bar->styleSheet();
    if (sheet.isEmpty()) return 0;
    const QRegularExpressionMatch match = (which[0] == 'w' ? width : height).match(sheet);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

void SetTabSizes(QTabBar *bar, int width, int height) {
    QString rule;
    if (width > 0) rule += QStringLiteral(" width: %1px;").arg(width);
    if (height > 0) rule += QStringLiteral(" height: %1px;").arg(height);
    const QString sheet =
        rule.isEmpty() ? QString() : QStringLiteral("QTabBar::tab {") + rule + QStringLiteral(" }");
    if (bar->property("styleSheet").toString() != sheet) bar->setProperty("styleSheet", sheet);
}

}  // namespace

TMRDrawGrid::TMRDrawGrid(QWidget *control) : TMRValuesHandler(control) {
    RequireProperty(control, "showGrid");
}

QHeaderView *TMRDrawGrid::Header(int index, int &section) const {
    auto *table = static_cast<QTableView *>(m_control);
    QHeaderView *columns = table->horizontalHeader();
    QHeaderView *rows = table->verticalHeader();
    if (index < 2) {
        section = -1;  // the default size
        return index == 0 ? columns : rows;
    }
    section = index - 2;
    if (section < columns->count()) return columns;
    section -= columns->count();
    return rows;
}

int TMRDrawGrid::EntryCount() const {
    const auto *table = qobject_cast<const QTableView *>(m_control);
    if (table == nullptr) return 0;
    return 2 + table->horizontalHeader()->count() + table->verticalHeader()->count();
}

int TMRDrawGrid::ReadEntry(int index) const {
    int section = 0;
    const QHeaderView *header = Header(index, section);
    return section < 0 ? ReadInt(header, "defaultSectionSize") : header->sectionSize(section);
}

void TMRDrawGrid::WriteEntry(int index, int value) {
    int section = 0;
    QHeaderView *header = Header(index, section);
    if (section < 0)
        WriteInt(header, "defaultSectionSize", value);
    else if (header->sectionSize(section) != value)
        header->resizeSection(section, value);
}

TMRValuesHandler::Dimension TMRDrawGrid::DimensionOf(int index) const {
    int section = 0;
    const QHeaderView *header = Header(index, section);
    return header->orientation() == Qt::Horizontal ? Dimension::Width : Dimension::Height;
}

QString TMRDrawGrid::Advice() const {
    return QStringLiteral("Grid lines are drawn one pixel wide at every size. ");
}

TMRTab::TMRTab(QWidget *control) : TMRValuesHandler(control) {
    auto *pages = qobject_cast<QTabWidget *>(control);
    m_bar = pages != nullptr ? pages->tabBar() : qobject_cast<QTabBar *>(control);
    RequireProperty(m_bar != nullptr ? static_cast<QObject *>(m_bar) : control, "shape");
}

int TMRTab::ReadEntry(int index) const {
    return TabSize(m_bar, index == 0 ? "width" : "height");
}

void TMRTab::WriteEntry(int index, int value) {
    if (ReadEntry(index) == 0) return;  // sized by the style, and so it stays
    const auto size = static_cast<std::int16_t>(std::max(1, value));
    const int width = index == 0 ? size : ReadEntry(0);
    const int height = index == 1 ? size : ReadEntry(1);
    SetTabSizes(m_bar, width, height);
}

TMRValuesHandler::Dimension TMRTab::DimensionOf(int index) const {
    return index == 0 ? Dimension::Width : Dimension::Height;
}

TMRStatusBar::TMRStatusBar(QWidget *control) : TMRValuesHandler(control) {
    RequireProperty(control, "sizeGripEnabled");
}

QList<QWidget *> TMRStatusBar::Panels() const {
    QList<QWidget *> panels;
    for (QObject *child : m_control->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (widget != nullptr && qobject_cast<QSizeGrip *>(widget) == nullptr)
            panels.append(widget);
    }
    return panels;
}

int TMRStatusBar::EntryCount() const {
    return static_cast<int>(Panels().size());
}

int TMRStatusBar::ReadEntry(int index) const {
    return ReadInt(Panels().value(index), "minimumWidth");
}

void TMRStatusBar::WriteEntry(int index, int value) {
    if (QWidget *panel = Panels().value(index)) WriteInt(panel, "minimumWidth", value);
}

TMRHeaderControl::TMRHeaderControl(QWidget *control) : TMRPropertyHandler(control) {
    RequireProperty(control, "minimumSectionSize");
    RequireProperty(control, "maximumSectionSize");
}

int TMRHeaderControl::Reference() const {
    const auto *header = static_cast<const QHeaderView *>(m_control);
    const QSize client = ClientSize(m_control);
    return header->orientation() == Qt::Horizontal ? client.width() : client.height();
}

void TMRHeaderControl::SaveProportions() {
    auto *header = static_cast<QHeaderView *>(m_control);
    const int count = header->count();
    const int minimum = ReadInt(header, "minimumSectionSize");
    const int maximum = ReadInt(header, "maximumSectionSize");
    bool rebuild = !m_valid || count != static_cast<int>(m_sections.size());
    bool widths = false;
    for (int i = 0; i < count && !rebuild; ++i) {
        const TMRLSection &s = m_sections[static_cast<std::size_t>(i)];
        rebuild = s.LastMinWidth != minimum || s.LastMaxWidth != maximum;
        widths = widths || s.LastWidth != header->sectionSize(i);
    }
    if (!rebuild && !widths) return;
    const int reference = Reference();
    if (reference == 0) {
        m_valid = false;
        return;
    }
    if (rebuild) m_sections.assign(static_cast<std::size_t>(count), TMRLSection{});
    for (int i = 0; i < count; ++i) {
        TMRLSection &s = m_sections[static_cast<std::size_t>(i)];
        s.LastWidth = header->sectionSize(i);
        s.WidthRatio = Ratio(s.LastWidth, reference);
        if (!rebuild) continue;
        s.LastMinWidth = minimum;
        s.MinWidthRatio = Ratio(minimum, reference);
        s.LastMaxWidth = maximum;
        s.MaxWidthRatio = Ratio(maximum, reference);
    }
    m_valid = true;
}

void TMRHeaderControl::ApplyProportions() {
    if (!m_valid) return;
    auto *header = static_cast<QHeaderView *>(m_control);
    const int reference = Reference();
    const int count = std::min(header->count(), static_cast<int>(m_sections.size()));
    for (int i = 0; i < count; ++i) {
        TMRLSection &s = m_sections[static_cast<std::size_t>(i)];
        const int width = Truncated(reference, s.WidthRatio);
        if (header->sectionSize(i) != width) header->resizeSection(i, width);
        WriteInt(header, "minimumSectionSize", Truncated(reference, s.MinWidthRatio));
        WriteInt(header, "maximumSectionSize", Truncated(reference, s.MaxWidthRatio));
    }
    for (int i = 0; i < count; ++i) {
        TMRLSection &s = m_sections[static_cast<std::size_t>(i)];
        s.LastWidth = header->sectionSize(i);
        s.LastMinWidth = ReadInt(header, "minimumSectionSize");
        s.LastMaxWidth = ReadInt(header, "maximumSectionSize");
    }
}

TMRListView::TMRListView(QWidget *control) : TMRValuesHandler(control) {
    RequireProperty(control, "headerHidden");
}

int TMRListView::EntryCount() const {
    const auto *view = qobject_cast<const QTreeView *>(m_control);
    return view != nullptr ? view->header()->count() : 0;
}

int TMRListView::ReadEntry(int index) const {
    return static_cast<const QTreeView *>(m_control)->header()->sectionSize(index);
}

void TMRListView::WriteEntry(int index, int value) {
    QHeaderView *header = static_cast<QTreeView *>(m_control)->header();
    if (header->sectionSize(index) != value) header->resizeSection(index, value);
}

}  // namespace sapidoro
