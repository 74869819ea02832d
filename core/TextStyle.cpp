#include "core/TextStyle.h"

namespace quiddity {

const CTextStyle& CTextStyles::ById(EStyle id) const {
    switch (id) {
        case EStyle::Heading: return m_cfHeading;
        case EStyle::Normal: return m_cfNormal;
        case EStyle::Gray: return m_cfGray;
        case EStyle::Fixed: return m_cfFixed;
        case EStyle::FixedGray: return m_cfFixedGray;
        case EStyle::Oem: return m_cfOem;
    }
    return m_cfNormal;
}

const CTextStyles& InitTextStyles() {
    static const CTextStyles styles;
    return styles;
}

}  // namespace quiddity
