#pragma once

class QAbstractScrollArea;

namespace sapidoro {

// Which scroll bars a text box shows; a shown bar stays even when nothing needs scrolling.
enum class ScrollStyle { None, Horizontal, Vertical, Both };

void SetScrollBars(QAbstractScrollArea *box, ScrollStyle style);

}  // namespace sapidoro
