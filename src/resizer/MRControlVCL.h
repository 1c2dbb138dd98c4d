#pragma once

#include "resizer/MRHandler.h"

namespace sapidoro {

// The control handler that knows Qt's standard controls: pages of a tab widget follow its
// current page (so hidden pages scale like the one on show), every page of a stacked
// widget is laid out before proportions are learned, and a combo box whose height is held
// back by its size limits reaches for its target height through its font.
class TMRControlHandlerVCL : public TMRControlHandler {
public:
    using TMRControlHandler::TMRControlHandler;

    void SaveProportions(int parentWidth, int parentHeight) override;
    void ApplyBounds(QRect &bounds) override;
    void ApplyPropertyProportions() override;

private:
    void FitComboFont();
};

}  // namespace sapidoro
