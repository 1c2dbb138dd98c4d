#pragma once

#include <QRect>
#include <QString>

#include <memory>
#include <vector>

class QWidget;

namespace sapidoro {

class TMRPropertyHandler;

using TMRPropertyHandlers = std::vector<std::unique_ptr<TMRPropertyHandler>>;

// Keeps one control's bounds as fractions of its parent's client area.
class TMRControlHandler {
public:
    explicit TMRControlHandler(QWidget *control);
    virtual ~TMRControlHandler();
    TMRControlHandler(const TMRControlHandler &) = delete;
    TMRControlHandler &operator=(const TMRControlHandler &) = delete;

    // Records the control's bounds as ratios of the given parent size, unless nothing
    // changed since the last apply; a zero size leaves the handler without proportions.
    virtual void SaveProportions(int parentWidth, int parentHeight);
    virtual void SavePropertyProportions();
    // Sets the control's bounds from the ratios and the parent's present client size.
    virtual void ApplyBounds(QRect &bounds);
    virtual void ApplyPropertyProportions();

    QWidget *Control() const { return m_control; }
    TMRPropertyHandlers &PropertyHandlers() { return m_properties; }
    bool HasProportions() const { return m_leftRatio != -1.0f; }
    // Keeps the control's present bounds as those of the last apply.
    void StoreAppliedBounds();

protected:
    QWidget *m_control;  // not owned
    TMRPropertyHandlers m_properties;
    float m_leftRatio = -1.0f;
    float m_topRatio = 0;
    float m_widthRatio = 0;
    float m_heightRatio = 0;
    QRect m_appliedBounds;
    int m_appliedParentWidth = 0;
    int m_appliedParentHeight = 0;
};

// One group of size-like properties of a control, kept as fractions of a reference size.
class TMRPropertyHandler {
public:
    explicit TMRPropertyHandler(QWidget *control) : m_control(control) {}
    virtual ~TMRPropertyHandler();
    TMRPropertyHandler(const TMRPropertyHandler &) = delete;
    TMRPropertyHandler &operator=(const TMRPropertyHandler &) = delete;

    virtual void SaveProportions() {}
    virtual void ApplyProportions() {}
    // A hint to the designer of a form on how to set the control up for good scaling.
    virtual QString Advice() const { return {}; }

    QWidget *Control() const { return m_control; }
    bool Valid() const { return m_valid; }

protected:
    QWidget *m_control;  // not owned
    bool m_valid = false;
};

}  // namespace sapidoro
