#include "rules/rule_set.h"

#include <new>

RuleSet ruleSet;

RuleSet::~RuleSet() { delete[] rules_; }

bool RuleSet::Append(const Rule &rule)
{
    if (count_ == capacity_) {
        size_t grown = capacity_ == 0 ? 1 : capacity_ * 2;
        if (grown <= capacity_ || grown > size_t(-1) / sizeof(Rule))
            return false;
        Rule *storage = new (std::nothrow) Rule[grown];
        if (!storage)
            return false;
        for (size_t i = 0; i < count_; ++i)
            storage[i] = rules_[i];
        delete[] rules_;
        rules_ = storage;
        capacity_ = grown;
    }
    rules_[count_++] = rule;
    return true;
}

bool RuleSet::Replace(size_t index, const Rule &rule)
{
    if (index >= count_)
        return false;
    rules_[index] = rule;
    return true;
}

bool RuleSet::Erase(size_t index)
{
    if (index >= count_)
        return false;
    for (size_t i = index + 1; i < count_; ++i)
        rules_[i - 1] = rules_[i];
    --count_;
    return true;
}

void RuleSet::Clear() { count_ = 0; }
