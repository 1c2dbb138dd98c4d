#pragma once

class QString;
class QWidget;

namespace sapidoro {

// Shows `text` for a few seconds at the foot of `window`, without a box to close: for news
// that needs no answer. A new message takes the place of one still on show.
void ShowShortMessage(QWidget *window, const QString &text);

}  // namespace sapidoro
