#pragma once
// Service operations made to fail on purpose, to see how a program copes: by operation number (the
// service's numbering, 7 register to 74 translate) or one of the steps that have no number (creating the
// service object, connecting an event sink). Thread-safe.
#include "platform/HResult.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace Granite {

// Steps without an operation number.
constexpr int32_t kOperationCreate = -1;
constexpr int32_t kOperationAdvise = -2;
// Numbered operations named in tools.
constexpr int32_t kOperationRegister = 7;
constexpr int32_t kOperationStart = 9;

class CFailureTable {
public:
    // From now on the operation answers `result` (a failure code), `times` times or, with times < 0,
    // until cleared.
    void Fail(int32_t operation, int times = -1, HRESULT result = E_FAIL);
    void Clear(int32_t operation);
    void ClearAll();
    // S_OK, or the failure this call must answer (one of its remaining times is used up).
    HRESULT Take(int32_t operation);
    // "operation 15 fails always with 0x80004005", one line each.
    std::vector<std::string> Describe() const;

    // Whether a number names an operation of the service (or one of the steps above).
    static bool IsKnownOperation(int32_t operation);

private:
    struct Rule {
        int remaining = -1;
        HRESULT result = E_FAIL;
    };
    mutable std::mutex lock_;
    std::map<int32_t, Rule> rules_;
};

} // namespace Granite
