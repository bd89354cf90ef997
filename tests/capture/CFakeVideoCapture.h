#pragma once
// A video capture with any still formats a test needs. Like a real one it knows no live format until one is
// set, refuses formats it does not have, and answers the recording parameters only for a live format.
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

    HRESULT QueryInterface(const Guid& iid, void** object) override {
        return QueryOwnInterface<IVideoCapture>(this, iid, IID_IVideoCapture, object);
    }
    HRESULT stillFormatCount(int32_t* n) override { return *n = static_cast<int32_t>(formats_.size()), S_OK; }
    HRESULT stillFormat(int32_t i, int32_t* width, int32_t* height, int32_t* fps, int32_t* flags) override {
        if (i < 0 || i >= static_cast<int32_t>(formats_.size()))
            return E_INVALIDARG;
        const Format& f = formats_[static_cast<size_t>(i)];
        return *width = f.width, *height = f.height, *fps = f.fps, *flags = f.flags, S_OK;
    }
    HRESULT setVideoFormat(int32_t width, int32_t height, int32_t fps) override {
        for (const Format& f : formats_) {
            if (f.width == width && f.height == height && f.fps == fps)
                return live_ = f, S_OK;
        }
        return E_INVALIDARG;
    }
    HRESULT setStillSize(int32_t, int32_t) override { return S_OK; }
    HRESULT start() override { return live_.width > 0 ? S_OK : E_FAIL; }
    HRESULT stop() override { return S_OK; }
    HRESULT recordingParameters(int32_t* a, int32_t* b, int32_t* c) override {
        if (live_.width <= 0)
            return E_FAIL;
        return *a = 1000, *b = 2 * live_.fps, *c = live_.fps, S_OK;
    }
    HRESULT outputFormat(int32_t* width, int32_t* height) override {
        return live_.width <= 0 ? E_FAIL : (*width = live_.width, *height = live_.height, S_OK);
    }
    HRESULT devicePath(std::string* path) override { return *path = path_, S_OK; }

private:
    std::vector<Format> formats_;
    std::string path_;
    Format live_{0, 0, 0, 0};
};
