#pragma once
// One photo: takes the next frame of a running video capture, scales it to the capture's still size,
// optionally prints the date and time into it, encodes it with jpegenc and writes the file. The still event
// (STILL_EVENT_CAPTURED) fires on the calling thread as soon as the frame is taken, before it is encoded.
// A failed write (full disk, missing folder, no permission) leaves no partial file behind.
#include "granite/capture/CCaptureEventPoint.h"
#include "granite/capture/GstRef.h"
#include "granite/capture/IFrameSource.h"
#include "services/IStillCapture.h"

#include <chrono>

namespace Granite {

class CStillCapture : public IStillCapture, public ICaptureEventSource {
public:
    static CStillCapture* Create() { return new CStillCapture(); }

    // How long capture() waits for a frame of the running capture.
    static constexpr std::chrono::milliseconds kFrameTimeout{5000};

    HRESULT QueryInterface(const Guid& iid, void** object) override;
    uint32_t AddRef() override { return refs_.Add(); }
    uint32_t Release() override;

    HRESULT capture(const std::string& fileName, int32_t quality, int32_t* result, int32_t stampDateTime,
                    IVideoCapture* videoCapture) override;

    HRESULT Advise(IUnknown* sink, uint32_t* cookie) override { return events_.Advise(sink, cookie); }
    HRESULT Unadvise(uint32_t cookie) override { return events_.Unadvise(cookie); }

    // Writes the bytes to the file and closes it; on any failure the file is removed and the result says
    // why (ERROR_DISK_FULL for a full disk).
    static HRESULT WriteFile(const std::string& fileName, const std::vector<uint8_t>& bytes);

private:
    CStillCapture() = default;
    ~CStillCapture() = default;
    // Waits for the next frame of the source; null when it stopped or nothing came in time.
    static GstSamplePtr NextFrame(IFrameSource& source);

    CRefCount refs_;
    CCaptureEventPoint events_{DIID_IStillEvents};
};

} // namespace Granite
