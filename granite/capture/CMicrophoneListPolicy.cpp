#include "granite/capture/CMicrophoneListPolicy.h"

#include <algorithm>
#include <set>

namespace Granite {

namespace {

void MakePathsUnique(std::vector<CMicrophoneListPolicy::Source>& sources) {
    std::set<std::string> taken;
    for (auto& source : sources) {
        std::string path = source.path;
        for (int n = 2; !taken.insert(path).second; ++n)
            path = source.path + "#" + std::to_string(n);
        source.path = std::move(path);
    }
}

} // namespace

std::vector<CMicrophoneListPolicy::Source>
CMicrophoneListPolicy::Arrange(const std::vector<Source>& simulated, const std::vector<Source>& real,
                               bool simulationAsked) {
    std::vector<Source> microphones;
    if (!simulationAsked)
        std::copy_if(real.begin(), real.end(), std::back_inserter(microphones),
                     [](const Source& source) { return !source.monitor; });
    if (microphones.empty())
        microphones = simulated;
    else
        std::stable_partition(microphones.begin(), microphones.end(),
                              [](const Source& source) { return source.isDefault; });
    for (auto& source : microphones)
        if (source.name.empty())
            source.name = source.path;
    MakePathsUnique(microphones);
    return microphones;
}

} // namespace Granite
