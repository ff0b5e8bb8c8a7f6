#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

// Keys compared the way the game's tables are looked up here: ignoring ASCII case.
class CKeySet {
public:
    void Add(std::string_view key);
    bool Has(std::string_view key) const;
    bool Empty() const { return m_keys.empty(); }

private:
    std::unordered_set<std::string> m_keys; // upper-cased
};
