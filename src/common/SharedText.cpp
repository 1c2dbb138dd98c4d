#include "common/SharedText.h"

namespace sapidoro {

SharedText::SharedText(std::string text) {
    if (!text.empty()) m_text = std::make_shared<const std::string>(std::move(text));
}

const std::string &SharedText::str() const {
    static const std::string empty;
    return m_text ? *m_text : empty;
}

}  // namespace sapidoro
