#pragma once
// OEM switches a test sets on or off (names compared without case); every other switch takes its default.
#include "config/COEMInfo.h"
#include "platform/TextUtil.h"

#include <map>
#include <string>

class CSwitchesOEM : public COEMInfo {
public:
    bool IsFeatureEnabled(const std::string& name, bool defaultValue) override {
        for (const auto& [switchName, on] : switches) {
            if (Text::EqualsNoCase(switchName, name))
                return on;
        }
        return defaultValue;
    }
    std::map<std::string, bool> switches;
};
