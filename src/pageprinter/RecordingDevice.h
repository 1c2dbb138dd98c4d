#pragma once

#include "pageprinter/Printer.h"

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QPaintDevice>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <memory>
#include <vector>

namespace sapidoro {

// One drawing call a recording device received, in device dots after the painter's transform.
struct DrawCall {
    enum Kind { Text, Line, Rect, Polygon, Path, Pixmap, Image, Ellipse, Point };
    Kind kind = Text;
    QPointF position;  // Text: baseline start; Point: the point
    QLineF line;       // Line
    QRectF rect;       // Rect, Ellipse, Pixmap, Image target; Polygon and Path bounds
    QString text;      // Text
    QFont font;        // Text
    QColor penColor;
    double penWidth = 0;
};

class RecordingEngine;

// A paint device of a chosen resolution and size in dots. Painting on it records every
// drawing call; measuring fonts against it gives metrics at its resolution.
class DotsDevice : public QPaintDevice {
public:
    DotsDevice(int dpiX, int dpiY, int widthDots, int heightDots);
    ~DotsDevice() override;

    QPaintEngine *paintEngine() const override;
    const std::vector<DrawCall> &Calls() const;
    void ClearCalls();

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    int m_dpiX;
    int m_dpiY;
    int m_width;
    int m_height;
    std::unique_ptr<RecordingEngine> m_engine;
};

// Text metrics of `font` measured against `device`.
PrinterTextMetrics MeasureTextMetrics(const QFont &font, const QPaintDevice *device);

}  // namespace sapidoro
