#pragma once
// Whether a tool of a tool document is offered on this computer. Every restriction the document gives must
// pass, in this order: the operating-system type, an attached camera model, the system language, the
// desktop's own language. A restriction the document does not give passes.
#include "platform/CSystemInfo.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace SectionReader {
class CSection;
}

class CToolShowTest {
public:
    // What the test compares the document with.
    struct Facts {
        // The platform version the program reports (its type: 2K, XP or Vista).
        PlatformVersion version;
        // The camera product ids the program has seen attached (the settings' "Cameras\\Attached" list).
        std::vector<uint16_t> cameras;
        // The system's default language id.
        LANGID systemLanguage = 0x0409;
        // The language the desktop itself is installed in; nothing when it cannot be told (the test passes).
        std::optional<LANGID> osLanguage;

        static Facts FromSystem();
    };

    explicit CToolShowTest(Facts facts);

    bool Passes(const SectionReader::CSection& tool) const;
    const Facts& GetFacts() const { return facts_; }

private:
    Facts facts_;
};
