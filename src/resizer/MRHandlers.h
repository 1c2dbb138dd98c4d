#pragma once

#include "resizer/MRHandler.h"
#include "resizer/MRValues.h"

#include <QByteArray>
#include <QFont>
#include <QList>
#include <QSize>

#include <limits>

class QHeaderView;
class QObject;
class QTabBar;

namespace sapidoro {

// The font size of a control, in points, against the control's client width and height:
// the smaller of the two scaled sizes, cut toward zero, at least 1.
class TMRFont : public TMRPropertyHandler {
public:
    TMRFont(QWidget *control, const char *propertyName);

    void SaveProportions() override;
    void ApplyProportions() override;
    QString Advice() const override;

    // The panel's own font learns against the panel's reference size and applies against
    // its present size.
    void SaveProportionsAgainst(QSize reference);
    void ApplyProportionsAgainst(QSize reference);

private:
    QFont ReadFont() const;
    void WriteFont(const QFont &font);
    int PixelsPerInch() const;

    QByteArray m_propertyName;
    bool m_ownFont;  // the widget's own "font"
    QFont m_font;    // as read through the property at the last save or apply
    // The ratio kept as the size and reference it was learned from, so that the product is
    // exact: a float ratio times its own reference may fall a hair below the whole size.
    int m_learnedSize = 0;
    QSize m_learnedReference;
    int m_learnedPixels = 0;  // the learned font's own pixel size (0 for a font in points)
    qreal m_learnedPoints = 0;
    int m_lastSize = 0;
};

// Whole-number properties (or list entries) each scaled against the control's client width
// or height and cut toward zero. Descendants say what the entries are and how to reach them.
class TMRValuesHandler : public TMRPropertyHandler {
public:
    using TMRPropertyHandler::TMRPropertyHandler;

    void SaveProportions() override;
    void ApplyProportions() override;

protected:
    enum class Dimension { Width, Height };

    virtual int EntryCount() const = 0;
    virtual int ReadEntry(int index) const = 0;
    virtual void WriteEntry(int index, int value) = 0;
    virtual Dimension DimensionOf(int index) const = 0;
    virtual int MinimumOf(int) const { return std::numeric_limits<int>::min(); }
    // Something beyond the values that calls for learning again (a changed orientation).
    virtual bool LayoutChanged() const { return false; }
    virtual void RememberLayout() {}
    // A handler that cannot scale now (a glyph placed by the style) learns nothing.
    virtual bool CanScale() const { return true; }

    const TMRLValues &Values() const { return m_values; }

private:
    bool ValuesChanged() const;

    TMRLValues m_values;
};

// List row height of combo boxes and item views that publish `itemHeight`.
class TMRItemHeight : public TMRValuesHandler {
public:
    explicit TMRItemHeight(QWidget *control);

protected:
    int EntryCount() const override { return 1; }
    int ReadEntry(int index) const override;
    void WriteEntry(int index, int value) override;
    Dimension DimensionOf(int) const override { return Dimension::Height; }
    int MinimumOf(int) const override { return 1; }  // rows of no height cannot be picked
};

// A scroll area: its scroll range is the size of its content widget, scaled as a control
// of its own (or by the area itself when it resizes the content); the handler keeps the
// content at its unscrolled place whenever proportions are learned or applied.
class TMRScrollBox : public TMRPropertyHandler {
public:
    explicit TMRScrollBox(QWidget *control);

    void SaveProportions() override;
    void ApplyProportions() override;

private:
    void ScrollHome();
};

// A table view: default column width and row height, then every column width and every
// row height. The grid is drawn with the style's one-pixel pen, so its width has no
// property to scale.
class TMRDrawGrid : public TMRValuesHandler {
public:
    explicit TMRDrawGrid(QWidget *control);
    QString Advice() const override;

protected:
    int EntryCount() const override;
    int ReadEntry(int index) const override;
    void WriteEntry(int index, int value) override;
    Dimension DimensionOf(int index) const override;
    int MinimumOf(int) const override { return 0; }

private:
    QHeaderView *Header(int index, int &section) const;
};

// Fixed tab width and height of a tab widget or tab bar (0: sized by the style, kept).
class TMRTab : public TMRValuesHandler {
public:
    explicit TMRTab(QWidget *control);

protected:
    int EntryCount() const override { return 2; }
    int ReadEntry(int index) const override;
    void WriteEntry(int index, int value) override;
    Dimension DimensionOf(int index) const override;

private:
    QTabBar *m_bar;
};

// Icon margin and spacing of a button whose class publishes `margin` and `spacing`;
// a margin of -1 (icon centred) is left alone. Qt's own buttons place the icon as the
// style says and have no such properties: for them the handler only gives advice.
class TMRMarginSpacing : public TMRValuesHandler {
public:
    explicit TMRMarginSpacing(QWidget *control);
    QString Advice() const override;

protected:
    int EntryCount() const override { return m_scalable ? 2 : 0; }
    int ReadEntry(int index) const override;
    void WriteEntry(int index, int value) override;
    Dimension DimensionOf(int) const override { return Dimension::Width; }
    bool CanScale() const override;

private:
    bool m_scalable;
};

// Widths of the panels (child widgets) of a status bar, through their minimum width.
class TMRStatusBar : public TMRValuesHandler {
public:
    explicit TMRStatusBar(QWidget *control);

protected:
    int EntryCount() const override;
    int ReadEntry(int index) const override;
    void WriteEntry(int index, int value) override;
    Dimension DimensionOf(int) const override { return Dimension::Width; }

private:
    QList<QWidget *> Panels() const;
};

// Section sizes of a header, with the header's minimum and maximum section size.
class TMRHeaderControl : public TMRPropertyHandler {
public:
    explicit TMRHeaderControl(QWidget *control);

    void SaveProportions() override;
    void ApplyProportions() override;

    const TMRLSections &Sections() const { return m_sections; }

private:
    int Reference() const;

    TMRLSections m_sections;
};

// Column widths of a tree or list view with columns.
class TMRListView : public TMRValuesHandler {
public:
    explicit TMRListView(QWidget *control);

protected:
    int EntryCount() const override;
    int ReadEntry(int index) const override;
    void WriteEntry(int index, int value) override;
    Dimension DimensionOf(int) const override { return Dimension::Width; }
};

// Indentation of a tree view.
class TMRTreeView : public TMRValuesHandler {
public:
    explicit TMRTreeView(QWidget *control);

protected:
    int EntryCount() const override { return 1; }
    int ReadEntry(int index) const override;
    void WriteEntry(int index, int value) override;
    Dimension DimensionOf(int) const override { return Dimension::Width; }
};

// Frame line width of a tool box.
class TMRBorderWidth : public TMRValuesHandler {
public:
    explicit TMRBorderWidth(QWidget *control);

protected:
    int EntryCount() const override { return 1; }
    int ReadEntry(int index) const override;
    void WriteEntry(int index, int value) override;
    Dimension DimensionOf(int) const override { return Dimension::Width; }
};

// Minimum sizes of the widgets of a splitter, along its orientation.
class TMRMinSize : public TMRValuesHandler {
public:
    explicit TMRMinSize(QWidget *control);

protected:
    int EntryCount() const override;
    int ReadEntry(int index) const override;
    void WriteEntry(int index, int value) override;
    Dimension DimensionOf(int) const override;
    bool LayoutChanged() const override;
    void RememberLayout() override;

private:
    const char *SizeProperty() const;

    int m_orientation = 0;
};

// Advice for a picture that is not stretched to its control.
class TMRStretch : public TMRPropertyHandler {
public:
    using TMRPropertyHandler::TMRPropertyHandler;
    QString Advice() const override;
};

// Advice for a label that sizes itself to its text.
class TMRAutoSize : public TMRPropertyHandler {
public:
    using TMRPropertyHandler::TMRPropertyHandler;
    QString Advice() const override;
};

}  // namespace sapidoro
