#include "testhost/suite_registry.h"

namespace testhost {

void SuiteRegistry::Register(const std::string &name, int version, const void *table) {
    std::lock_guard lock(mutex_);
    tables_[{name, version}] = table;
}

void SuiteRegistry::Refuse(const std::string &name) {
    std::lock_guard lock(mutex_);
    refused_.insert(name);
}

void SuiteRegistry::AllowAll() {
    std::lock_guard lock(mutex_);
    refused_.clear();
}

void SuiteRegistry::Record(const Key &key, std::string entry, int SuiteUse::*counter) {
    ++(last_[key].*counter);
    ++(total_[key].*counter);
    log_.push_back(std::move(entry));
}

SPErr SuiteRegistry::Acquire(const char *name, int32_t version, const void **suite) {
    std::lock_guard lock(mutex_);
    if (name == nullptr || suite == nullptr) {
        return SUITE_NOT_FOUND_ERROR;
    }
    const Key key{name, version};
    const auto found = tables_.find(key);
    if (found == tables_.end() || found->second == nullptr || refused_.count(key.first) != 0) {
        *suite = nullptr;
        Record(key, "!" + key.first, &SuiteUse::refused);
        return SUITE_NOT_FOUND_ERROR;
    }
    *suite = found->second;
    Record(key, "+" + key.first, &SuiteUse::acquired);
    return kSPNoError;
}

SPErr SuiteRegistry::Release(const char *name, int32_t version) {
    std::lock_guard lock(mutex_);
    if (name == nullptr) {
        return SUITE_NOT_FOUND_ERROR;
    }
    const Key key{name, version};
    // Counted even for a suite never handed out, so that the imbalance shows.
    Record(key, "-" + key.first, &SuiteUse::released);
    return tables_.count(key) != 0 ? kSPNoError : SUITE_NOT_FOUND_ERROR;
}

const std::map<SuiteRegistry::Key, SuiteUse> &SuiteRegistry::uses_in_last_command() const {
    return last_;
}

const std::map<SuiteRegistry::Key, SuiteUse> &SuiteRegistry::uses_total() const { return total_; }

const std::vector<std::string> &SuiteRegistry::log_of_last_command() const { return log_; }

bool SuiteRegistry::BalancedSinceLastCommand() const { return UnbalancedSinceLastCommand().empty(); }

std::vector<std::string> SuiteRegistry::UnbalancedSinceLastCommand() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> unbalanced;
    for (const auto &[key, use] : last_) {
        if (use.acquired != use.released) {
            unbalanced.push_back(key.first + " v" + std::to_string(key.second) + ": " +
                                 std::to_string(use.acquired) + " acquired, " +
                                 std::to_string(use.released) + " released");
        }
    }
    return unbalanced;
}

void SuiteRegistry::BeginCommand() {
    std::lock_guard lock(mutex_);
    last_.clear();
    log_.clear();
}

}  // namespace testhost
