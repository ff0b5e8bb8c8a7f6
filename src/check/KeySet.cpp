#include "check/KeySet.h"

#include "platform/AsciiText.h"

void CKeySet::Add(std::string_view key) {
    m_keys.insert(AsciiUpperCopy(key));
}

bool CKeySet::Has(std::string_view key) const {
    return m_keys.count(AsciiUpperCopy(key)) > 0;
}
