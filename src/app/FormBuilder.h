#pragma once

#include "app/FormDesign.h"

class QWidget;

namespace sapidoro {

// Creates every control of the main window inside `window`, each with the object name and
// the design values of its row, and links them into the designed tab order.
void BuildControls(QWidget *window);

}  // namespace sapidoro
