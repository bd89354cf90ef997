#include "platform/DebugOutput.h"

#include <cstdio>
#include <cstdlib>

void OutputDebugString(std::string_view text) {
    static const bool enabled = std::getenv("VIDORA_DEBUG") != nullptr;
    if (enabled)
        std::fprintf(stderr, "vidora: %.*s\n", static_cast<int>(text.size()), text.data());
}

void ReportToStderr(std::string_view text) {
    std::fprintf(stderr, "vidora: %.*s\n", static_cast<int>(text.size()), text.data());
}
