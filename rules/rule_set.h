// The ordered list of rules of the process, in contiguous storage that grows
// by doubling from one element.
#pragma once

#include "rules/rule.h"

#include <cstddef>

class RuleSet {
public:
    RuleSet() = default;
    ~RuleSet();
    RuleSet(const RuleSet &) = delete;
    RuleSet &operator=(const RuleSet &) = delete;

    size_t Count() const { return count_; }
    size_t Capacity() const { return capacity_; }

    // index must be below Count().
    const Rule &At(size_t index) const { return rules_[index]; }

    // False, and the list unchanged, when no memory can be had.
    bool Append(const Rule &rule);

    // False for an index at or past Count(); the list is then unchanged.
    bool Replace(size_t index, const Rule &rule);
    bool Erase(size_t index);

    void Clear();

private:
    Rule *rules_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
};

// The one rule list of the program.
extern RuleSet ruleSet;
