#include "testhost/core/suite_registry.h"

namespace testhost {

void SuiteRegistry::Register(const std::string &name, int version, const void *table) {
    std::lock_guard lock(mutex_);
    tables_[{name, version}] = table;
}

void SuiteRegistry::Refuse(const std::string &name, SPErr code) {
    std::lock_guard lock(mutex_);
    refused_[name] = code;
}

void SuiteRegistry::HandOutNull(const std::string &name) {
    std::lock_guard lock(mutex_);
    handed_null_.insert(name);
}

void SuiteRegistry::AllowAll() {
    std::lock_guard lock(mutex_);
    refused_.clear();
    handed_null_.clear();
}

void SuiteRegistry::Record(Books *books, const Key &key, SuiteCall::Kind kind, int SuiteUse::*counter) {
    Books &into = books != nullptr ? *books : last_;
    ++(into.uses[key].*counter);
    ++(total_[key].*counter);
    into.calls.push_back({kind, key.first, key.second});
}

SPErr SuiteRegistry::Acquire(const char *name, int32_t version, const void **suite, Books *books) {
    std::lock_guard lock(mutex_);
    if (name == nullptr || suite == nullptr) {
        return SUITE_NOT_FOUND_ERROR;
    }
    const Key key{name, version};
    *suite = nullptr;
    if (const auto refused = refused_.find(key.first); refused != refused_.end()) {
        Record(books, key, SuiteCall::Kind::kRefused, &SuiteUse::refused);
        return refused->second;
    }
    if (handed_null_.count(key.first) != 0) {
        Record(books, key, SuiteCall::Kind::kHandedNull, &SuiteUse::handed_null);
        return kSPNoError;
    }
    const auto found = tables_.find(key);
    if (found == tables_.end() || found->second == nullptr) {
        Record(books, key, SuiteCall::Kind::kRefused, &SuiteUse::refused);
        return SUITE_NOT_FOUND_ERROR;
    }
    *suite = found->second;
    Record(books, key, SuiteCall::Kind::kAcquired, &SuiteUse::acquired);
    return kSPNoError;
}

SPErr SuiteRegistry::Release(const char *name, int32_t version, Books *books) {
    std::lock_guard lock(mutex_);
    if (name == nullptr) {
        return SUITE_NOT_FOUND_ERROR;
    }
    const Key key{name, version};
    // Counted even for a suite never handed out, so that the imbalance shows.
    Record(books, key, SuiteCall::Kind::kReleased, &SuiteUse::released);
    return tables_.count(key) != 0 ? kSPNoError : SUITE_NOT_FOUND_ERROR;
}

const std::map<SuiteRegistry::Key, SuiteUse> &SuiteRegistry::uses_in_last_command() const { return last_.uses; }

const std::map<SuiteRegistry::Key, SuiteUse> &SuiteRegistry::uses_total() const { return total_; }

const std::vector<SuiteCall> &SuiteRegistry::calls_of_last_command() const { return last_.calls; }

std::vector<std::string> SuiteRegistry::log_of_last_command() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> log;
    for (const SuiteCall &call : last_.calls) {
        switch (call.kind) {
        case SuiteCall::Kind::kAcquired:
            log.push_back("+" + call.name);
            break;
        case SuiteCall::Kind::kRefused:
            log.push_back("!" + call.name);
            break;
        case SuiteCall::Kind::kHandedNull:
            log.push_back("0" + call.name);
            break;
        case SuiteCall::Kind::kReleased:
            log.push_back("-" + call.name);
            break;
        }
    }
    return log;
}

bool SuiteRegistry::BalancedSinceLastCommand() const { return UnbalancedSinceLastCommand().empty(); }

std::vector<std::string> SuiteRegistry::UnbalancedSinceLastCommand() const {
    std::lock_guard lock(mutex_);
    return last_.Unbalanced();
}

std::vector<std::string> SuiteRegistry::Books::Unbalanced() const {
    std::vector<std::string> unbalanced;
    for (const auto &[key, use] : uses) {
        if (use.acquired != use.released) {
            unbalanced.push_back(key.first + " v" + std::to_string(key.second) + ": " + std::to_string(use.acquired) +
                                 " acquired, " + std::to_string(use.released) + " released");
        }
    }
    return unbalanced;
}

void SuiteRegistry::BeginCommand() {
    std::lock_guard lock(mutex_);
    last_ = Books{};
}

}  // namespace testhost
