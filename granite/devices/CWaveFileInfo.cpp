#include "granite/devices/CWaveFileInfo.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace Granite {
namespace {
uint32_t Le32(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
}

// A header never needs more than a few chunks; a file with hundreds is not a sound file.
constexpr int kMaxChunks = 64;
// Longer sounds are played as if they lasted this long (an hour).
constexpr uint64_t kMaxMilliseconds = 3600ull * 1000ull;
} // namespace

HRESULT CWaveFileInfo::Duration(const std::string& path, uint32_t& milliseconds) {
    milliseconds = 0;
    const QString name = QString::fromStdString(path);
    QFileInfo info(name);
    if (path.empty() || !info.exists())
        return HResultFromWin32(ERROR_FILE_NOT_FOUND);
    if (!info.isFile())
        return HResultFromWin32(ERROR_INVALID_DATA);
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return HResultFromWin32(ERROR_ACCESS_DENIED);

    char riff[12];
    if (file.read(riff, 12) != 12 || std::string(riff, 4) != "RIFF" || std::string(riff + 8, 4) != "WAVE")
        return HResultFromWin32(ERROR_INVALID_DATA);
    uint32_t byteRate = 0;
    for (int i = 0; i < kMaxChunks; ++i) {
        char header[8];
        if (file.read(header, 8) != 8)
            break;
        const std::string id(header, 4);
        const uint32_t size = Le32(header + 4);
        if (id == "fmt ") {
            char fmt[16];
            if (size < 16 || file.read(fmt, 16) != 16)
                return HResultFromWin32(ERROR_INVALID_DATA);
            byteRate = Le32(fmt + 8);
            if (!file.seek(file.pos() + (size - 16) + (size & 1)))
                break;
        } else if (id == "data") {
            if (byteRate == 0)
                return HResultFromWin32(ERROR_INVALID_DATA);
            // A recorder that died leaves a data size larger than the file: play what is there.
            const uint64_t available = static_cast<uint64_t>(std::max<qint64>(0, file.size() - file.pos()));
            const uint64_t bytes = std::min<uint64_t>(size, available);
            milliseconds =
                static_cast<uint32_t>(std::min<uint64_t>(kMaxMilliseconds, bytes * 1000ull / byteRate));
            return S_OK;
        } else if (!file.seek(file.pos() + static_cast<qint64>(size) + (size & 1))) {
            break;
        }
    }
    return HResultFromWin32(ERROR_INVALID_DATA);
}

} // namespace Granite
