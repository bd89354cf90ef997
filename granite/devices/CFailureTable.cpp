#include "granite/devices/CFailureTable.h"

#include "platform/TextUtil.h"

#include <algorithm>

namespace Granite {
namespace {
// The operations of the service, by number.
constexpr int32_t kOperations[] = {7,  9,  10, 11, 13, 14, 15, 17, 18, 20, 21, 22, 23, 25, 26, 28, 29, 30,
                                   31, 33, 34, 36, 37, 38, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53,
                                   54, 55, 56, 57, 58, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72, 74};
} // namespace

bool CFailureTable::IsKnownOperation(int32_t operation) {
    return operation == kOperationCreate || operation == kOperationAdvise ||
           std::find(std::begin(kOperations), std::end(kOperations), operation) != std::end(kOperations);
}

void CFailureTable::Fail(int32_t operation, int times, HRESULT result) {
    std::lock_guard guard(lock_);
    if (times == 0) {
        rules_.erase(operation);
        return;
    }
    rules_[operation] = Rule{times < 0 ? -1 : times, SUCCEEDED(result) ? E_FAIL : result};
}

void CFailureTable::Clear(int32_t operation) {
    std::lock_guard guard(lock_);
    rules_.erase(operation);
}

void CFailureTable::ClearAll() {
    std::lock_guard guard(lock_);
    rules_.clear();
}

HRESULT CFailureTable::Take(int32_t operation) {
    std::lock_guard guard(lock_);
    auto it = rules_.find(operation);
    if (it == rules_.end())
        return S_OK;
    HRESULT result = it->second.result;
    if (it->second.remaining > 0 && --it->second.remaining == 0)
        rules_.erase(it);
    return result;
}

std::vector<std::string> CFailureTable::Describe() const {
    std::lock_guard guard(lock_);
    std::vector<std::string> lines;
    for (const auto& [operation, rule] : rules_) {
        std::string what = operation == kOperationCreate   ? std::string("create")
                           : operation == kOperationAdvise ? std::string("advise")
                                                           : "operation " + std::to_string(operation);
        std::string times =
            rule.remaining < 0 ? std::string("always") : std::to_string(rule.remaining) + " more time(s)";
        lines.push_back(what + " fails " + times + " with " +
                        Text::Format("0x%08X", static_cast<unsigned>(rule.result)));
    }
    return lines;
}

} // namespace Granite
