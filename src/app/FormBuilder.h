#pragma once

#include "app/FormDesign.h"

class QFont;
class QWidget;

namespace sapidoro {

// The "Courier New" font of the controls, `pixels` high.
QFont ControlFont(int pixels, bool bold);

// Creates every control of the main window inside `window`, each with the object name and
// the design values of its row, and links them into the designed tab order.
void BuildControls(QWidget *window);

}  // namespace sapidoro
