#include "resizer/Align.h"

#include "resizer/CustomRP.h"

#include <QEvent>
#include <QFrame>
#include <QHash>
#include <QWidget>

namespace sapidoro {

namespace {

class ClientAligner;

// The aligner of each aligned control, found without a walk over the control's children.
QHash<const QWidget *, ClientAligner *> &Aligners() {
    static QHash<const QWidget *, ClientAligner *> aligners;
    return aligners;
}

// Keeps its parent control filling the control's own parent.
class ClientAligner : public QObject {
public:
    explicit ClientAligner(QWidget *control) : QObject(control), m_control(control) {
        Aligners().insert(control, this);
        if (QWidget *host = control->parentWidget()) host->installEventFilter(this);
        apply();
    }
    ~ClientAligner() override { Aligners().remove(m_control); }

    void apply() const {
        if (QWidget *host = m_control->parentWidget()) m_control->setGeometry(host->contentsRect());
    }

    bool eventFilter(QObject *watched, QEvent *event) override {
        // A resizer panel lays out its aligned controls itself, at its own step of a resize.
        if (watched == m_control->parentWidget() && event->type() == QEvent::Resize &&
            qobject_cast<TCustomResizerPanel *>(watched) == nullptr)
            apply();
        return false;
    }

private:
    QWidget *m_control;
};

ClientAligner *AlignerOf(const QWidget *control) {
    return Aligners().value(control, nullptr);
}

}  // namespace

void SetAlign(QWidget *control, TAlign align) {
    ClientAligner *aligner = AlignerOf(control);
    if (align == alNone) {
        delete aligner;
    } else if (aligner != nullptr) {
        aligner->apply();
    } else {
        new ClientAligner(control);
    }
}

void AlignChildren(QWidget *host) {
    for (QObject *child : host->children()) {
        auto *control = qobject_cast<QWidget *>(child);
        if (control == nullptr) continue;
        if (const ClientAligner *aligner = AlignerOf(control)) aligner->apply();
    }
}

TAlign AlignOf(const QWidget *control) {
    return AlignerOf(control) != nullptr ? alClient : alNone;
}

}  // namespace sapidoro
