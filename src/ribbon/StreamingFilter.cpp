#include "ribbon/StreamingFilter.h"

#include "platform/TextUtil.h"

namespace StreamingFilter {

bool BringsRibbonForward(const std::string& program) {
    const size_t slash = program.find_last_of("/\\");
    const std::string file = slash == std::string::npos ? program : program.substr(slash + 1);
    return !(Text::EqualsNoCase(file, "setup.exe") || Text::EndsWithNoCase(file, ".scr") ||
             Text::EqualsNoCase(file, "sidebar.exe"));
}

} // namespace StreamingFilter
