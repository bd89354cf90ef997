#pragma once
// The effects engine's event sink: records mode changes as "mode:<from>,<to>" and errors as
// "error:<code>,<value>,<text>".
#include "CEventLog.h"
#include "services/ICOCIMngrEvents.h"

#include <algorithm>
#include <string>

class CEffectsRecordingSink : public ICOCIMngrEvents, public CEventLog<std::string> {
public:
    void CME_OnError(int32_t code, const std::string& text, int32_t value) override {
        Add("error:" + std::to_string(code) + "," + std::to_string(value) + "," + text);
    }
    void CME_OnModeChange(int32_t from, int32_t to) override {
        Add("mode:" + std::to_string(from) + "," + std::to_string(to));
    }

    // Waits until a change to `mode` came after the first `after` events.
    bool WaitForMode(int32_t mode, size_t after = 0) const {
        return WaitFor([&](const std::vector<std::string>& all) {
            return std::any_of(all.begin() + static_cast<long>(std::min(after, all.size())), all.end(),
                               [&](const std::string& e) { return ChangesTo(e, mode); });
        });
    }
    // Waits until the latest mode change is one to `mode`.
    bool WaitUntilInMode(int32_t mode) const {
        return WaitFor([&](const std::vector<std::string>& all) {
            const auto last =
                std::find_if(all.rbegin(), all.rend(), [](auto& e) { return e.rfind("mode:", 0) == 0; });
            return last != all.rend() && ChangesTo(*last, mode);
        });
    }
    // Waits until `count` errors have come.
    bool WaitForErrors(size_t count) const {
        return WaitFor([&](const std::vector<std::string>& all) {
            return size_t(std::count_if(all.begin(), all.end(),
                                        [](auto& e) { return e.rfind("error:", 0) == 0; })) >= count;
        });
    }

private:
    static bool ChangesTo(const std::string& event, int32_t mode) {
        const std::string suffix = "," + std::to_string(mode);
        return event.rfind("mode:", 0) == 0 && event.size() > suffix.size() &&
               event.compare(event.size() - suffix.size(), suffix.size(), suffix) == 0;
    }
};
