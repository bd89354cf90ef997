#pragma once
// A video capture with any still formats a test needs (sizes the simulated camera lacks, one size at
// several frame rates, formats that cannot run with motion detection). Like a real capture it knows no
// live format until one is set, refuses formats it does not have, and answers the recording parameters and
// the live format only for a format it was given.
#include "FakeObjects.h"
#include "platform/CRefCounted.h"
#include "services/IVideoCapture.h"

#include <string>
#include <vector>

class CFakeVideoCapture : public CRefCounted<IVideoCapture> {
public:
    struct Format {
        int32_t width, height, fps, flags;
    };

    explicit CFakeVideoCapture(std::vector<Format> formats, std::string path = {})
        : formats_(std::move(formats)), path_(std::move(path)) {}

    bool failRecordingParameters = false;
    int32_t liveWidth = 0, liveHeight = 0, liveFps = 0;

    HRESULT QueryInterface(const Guid& iid, void** object) override {
        return QueryOwnInterface<IVideoCapture>(this, iid, IID_IVideoCapture, object);
    }
    HRESULT stillFormatCount(int32_t* n) override {
        *n = static_cast<int32_t>(formats_.size());
        return S_OK;
    }
    HRESULT stillFormat(int32_t index, int32_t* width, int32_t* height, int32_t* fps,
                        int32_t* flags) override {
        if (index < 0 || index >= static_cast<int32_t>(formats_.size()))
            return E_INVALIDARG;
        const Format& f = formats_[static_cast<size_t>(index)];
        *width = f.width;
        *height = f.height;
        *fps = f.fps;
        *flags = f.flags;
        return S_OK;
    }
    HRESULT setVideoFormat(int32_t width, int32_t height, int32_t fps) override {
        for (const Format& f : formats_) {
            if (f.width == width && f.height == height && f.fps == fps) {
                liveWidth = width;
                liveHeight = height;
                liveFps = fps;
                return S_OK;
            }
        }
        return E_INVALIDARG;
    }
    HRESULT setStillSize(int32_t, int32_t) override { return S_OK; }
    HRESULT start() override { return liveWidth > 0 ? S_OK : E_FAIL; }
    HRESULT stop() override { return S_OK; }
    HRESULT recordingParameters(int32_t* a, int32_t* b, int32_t* c) override {
        if (failRecordingParameters || liveWidth <= 0)
            return E_FAIL;
        *a = 1000;
        *b = 2 * liveFps;
        *c = liveFps;
        return S_OK;
    }
    HRESULT outputFormat(int32_t* width, int32_t* height) override {
        if (liveWidth <= 0)
            return E_FAIL;
        *width = liveWidth;
        *height = liveHeight;
        return S_OK;
    }
    HRESULT devicePath(std::string* path) override {
        *path = path_;
        return S_OK;
    }

private:
    std::vector<Format> formats_;
    std::string path_;
};
