#include "communicate/CToolShowTest.h"

#include "app/CVidoraSettings.h"
#include "config/CSection.h"

#include <algorithm>

namespace {

bool Contains(const std::vector<int32_t>& list, int32_t value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

} // namespace

CToolShowTest::Facts CToolShowTest::Facts::FromSystem() {
    Facts facts;
    const CSystemInfo& system = CSystemInfo::Instance();
    facts.version = system.GetVersion();
    for (uint32_t id : CVidoraSettings::GetAttachedCameras()) {
        // A sub-key that does not read as a product id names no camera model.
        if (id != 0 && id <= 0xFFFF)
            facts.cameras.push_back(static_cast<uint16_t>(id));
    }
    facts.systemLanguage = system.GetSystemDefaultLangId();
    // The desktop is installed in the system's language (the system locale, else the user's): the program
    // always has an answer here, so the "cannot be told" case only comes from other sources of facts.
    facts.osLanguage = system.GetOsLanguage();
    return facts;
}

CToolShowTest::CToolShowTest(Facts facts) : facts_(std::move(facts)) {}

bool CToolShowTest::Passes(const SectionReader::CSection& tool) const {
    if (tool.oses) {
        AppsReader::OSType type;
        if (!facts_.version.ntFamily ||
            !AppsReader::COSes::FromVersion(facts_.version.major, facts_.version.minor, type) ||
            !tool.oses->Contains(type))
            return false;
    }
    if (tool.cameras) {
        const bool attached = std::any_of(facts_.cameras.begin(), facts_.cameras.end(),
                                          [&](uint16_t id) { return Contains(*tool.cameras, id); });
        if (!attached)
            return false;
    }
    if (tool.countries && !Contains(*tool.countries, facts_.systemLanguage))
        return false;
    if (tool.osCountries && facts_.osLanguage && !Contains(*tool.osCountries, *facts_.osLanguage))
        return false;
    return true;
}
