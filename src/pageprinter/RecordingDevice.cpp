#include "pageprinter/RecordingDevice.h"

#include <QFontMetrics>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QTransform>

#include <cmath>

namespace sapidoro {

// Keeps what the painter sends, mapped through the painter's transform.
class RecordingEngine : public QPaintEngine {
public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState &newState) override {
        if (newState.state() & QPaintEngine::DirtyTransform) m_transform = newState.transform();
        if (newState.state() & QPaintEngine::DirtyPen) m_pen = newState.pen();
    }

    void drawLines(const QLineF *lines, int count) override {
        for (int i = 0; i < count; ++i) {
            DrawCall call = NewCall(DrawCall::Line);
            call.line = m_transform.map(lines[i]);
            m_calls.push_back(call);
        }
    }
    void drawRects(const QRectF *rects, int count) override {
        for (int i = 0; i < count; ++i) Push(DrawCall::Rect, m_transform.mapRect(rects[i]));
    }
    void drawEllipse(const QRectF &rect) override {
        Push(DrawCall::Ellipse, m_transform.mapRect(rect));
    }
    void drawPoints(const QPointF *points, int count) override {
        for (int i = 0; i < count; ++i) {
            DrawCall call = NewCall(DrawCall::Point);
            call.position = m_transform.map(points[i]);
            m_calls.push_back(call);
        }
    }
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode) override {
        Push(DrawCall::Polygon,
             m_transform.map(QPolygonF(QList<QPointF>(points, points + count))).boundingRect());
    }
    void drawPath(const QPainterPath &path) override {
        Push(DrawCall::Path, m_transform.map(path).boundingRect());
    }
    void drawPixmap(const QRectF &target, const QPixmap &, const QRectF &) override {
        Push(DrawCall::Pixmap, m_transform.mapRect(target));
    }
    void drawImage(const QRectF &target, const QImage &, const QRectF &,
                   Qt::ImageConversionFlags) override {
        Push(DrawCall::Image, m_transform.mapRect(target));
    }
    void drawTextItem(const QPointF &position, const QTextItem &item) override {
        DrawCall call = NewCall(DrawCall::Text);
        call.position = m_transform.map(position);
        call.text = item.text();
        call.font = item.font();
        m_calls.push_back(call);
    }

    std::vector<DrawCall> m_calls;

private:
    DrawCall NewCall(DrawCall::Kind kind) const {
        DrawCall call;
        call.kind = kind;
        call.penColor = m_pen.color();
        call.penWidth = m_pen.widthF();
        return call;
    }
    void Push(DrawCall::Kind kind, const QRectF &rect) {
        DrawCall call = NewCall(kind);
        call.rect = rect;
        m_calls.push_back(call);
    }

    QTransform m_transform;
    QPen m_pen;
};

DotsDevice::DotsDevice(int dpiX, int dpiY, int widthDots, int heightDots)
    : m_dpiX(dpiX),
      m_dpiY(dpiY),
      m_width(widthDots),
      m_height(heightDots),
      m_engine(std::make_unique<RecordingEngine>()) {}

DotsDevice::~DotsDevice() = default;

QPaintEngine *DotsDevice::paintEngine() const {
    return m_engine.get();
}

const std::vector<DrawCall> &DotsDevice::Calls() const {
    return m_engine->m_calls;
}

void DotsDevice::ClearCalls() {
    m_engine->m_calls.clear();
}

int DotsDevice::metric(PaintDeviceMetric metric) const {
    switch (metric) {
        case PdmWidth:
            return m_width;
        case PdmHeight:
            return m_height;
        case PdmWidthMM:
            return m_dpiX > 0 ? static_cast<int>(m_width * 25.4 / m_dpiX) : 0;
        case PdmHeightMM:
            return m_dpiY > 0 ? static_cast<int>(m_height * 25.4 / m_dpiY) : 0;
        case PdmNumColors:
            return 0x7fffffff;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmPhysicalDpiX:
            return m_dpiX;
        case PdmDpiY:
        case PdmPhysicalDpiY:
            return m_dpiY;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
    }
    return 0;
}

PrinterTextMetrics MeasureTextMetrics(const QFont &font, const QPaintDevice *device) {
    const QFontMetrics metrics(font, device);
    const double em =
        font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * device->logicalDpiY() / 72.0;
    PrinterTextMetrics result;
    result.Height = metrics.height();
    result.Ascent = metrics.ascent();
    result.Descent = metrics.descent();
    result.InternalLeading = metrics.height() - static_cast<int>(std::lround(em));
    result.ExternalLeading = metrics.leading();
    result.AveCharWidth = metrics.averageCharWidth();
    return result;
}

}  // namespace sapidoro
