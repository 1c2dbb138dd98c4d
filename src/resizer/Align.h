#pragma once

class QWidget;

namespace sapidoro {

// How a control sits in its parent: at its own bounds, or filling the parent's client area
// (inside the parent's frame) and following every resize of the parent.
enum TAlign { alNone, alClient };

void SetAlign(QWidget *control, TAlign align);
TAlign AlignOf(const QWidget *control);
// Lays out again every child of `host` that is aligned to its client area.
void AlignChildren(QWidget *host);

}  // namespace sapidoro
