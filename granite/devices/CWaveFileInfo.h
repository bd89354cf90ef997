#pragma once
// How long a wave file plays, read from its header: what the simulated speaker needs to report a sound as
// finished at the right time. Only the RIFF/WAVE container is understood; anything else is refused.
#include "platform/HResult.h"

#include <cstdint>
#include <string>

namespace Granite {

class CWaveFileInfo {
public:
    // S_OK with the playing time in milliseconds; a missing file gives ERROR_FILE_NOT_FOUND, an unreadable
    // one ERROR_ACCESS_DENIED, a file that is not a usable wave file ERROR_INVALID_DATA (as failure codes).
    static HRESULT Duration(const std::string& path, uint32_t& milliseconds);
};

} // namespace Granite
