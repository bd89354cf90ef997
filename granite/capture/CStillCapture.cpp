#include "granite/capture/CStillCapture.h"

#include "granite/capture/CDateStamp.h"
#include "granite/capture/CFrameConverter.h"
#include "granite/capture/CJpegEncoder.h"
#include "services/IVideoCapture.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <ctime>
#include <mutex>

namespace Granite {
namespace {

constexpr int32_t kMinQuality = 20, kMaxQuality = 100;
constexpr uint32_t ERROR_DISK_FULL = 112;
constexpr uint32_t ERROR_PATH_NOT_FOUND = 3;
constexpr uint32_t ERROR_WRITE_FAULT = 29;

HRESULT FromErrno(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return HResultFromWin32(ERROR_DISK_FULL);
    case ENOENT:
    case ENOTDIR:
        return HResultFromWin32(ERROR_PATH_NOT_FOUND);
    case EACCES:
    case EPERM:
    case EROFS:
        return E_ACCESSDENIED;
    default:
        return HResultFromWin32(ERROR_WRITE_FAULT);
    }
}

// Receives frames on the capture's streaming thread until it has one.
class CNextFrame : public IFrameListener {
public:
    void OnFrame(GstSample* sample) override {
        {
            std::lock_guard guard(lock_);
            if (sample_ || ended_)
                return;
            sample_ = RefSample(sample);
        }
        changed_.notify_all();
    }
    void OnSourceStopped(HRESULT) override {
        {
            std::lock_guard guard(lock_);
            ended_ = true;
        }
        changed_.notify_all();
    }
    GstSamplePtr Wait(std::chrono::milliseconds timeout) {
        std::unique_lock guard(lock_);
        changed_.wait_for(guard, timeout, [&] { return sample_ || ended_; });
        return std::move(sample_);
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    GstSamplePtr sample_;
    bool ended_ = false;
};

} // namespace

HRESULT CStillCapture::QueryInterface(const Guid& iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualGuid(iid, IID_IUnknown) || IsEqualGuid(iid, IID_IStillCapture))
        *object = static_cast<IStillCapture*>(this);
    else if (IsEqualGuid(iid, IID_ICaptureEventSource))
        *object = static_cast<ICaptureEventSource*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

GstSamplePtr CStillCapture::NextFrame(IFrameSource& source) {
    CNextFrame next;
    source.AddFrameListener(&next);
    GstSamplePtr sample = source.IsRunning() ? next.Wait(kFrameTimeout) : nullptr;
    source.RemoveFrameListener(&next);
    return sample;
}

HRESULT CStillCapture::capture(const std::string& fileName, int32_t quality, int32_t* result,
                               int32_t stampDateTime, IVideoCapture* videoCapture) {
    if (result == nullptr || videoCapture == nullptr)
        return E_POINTER;
    *result = 0;
    if (fileName.empty())
        return E_INVALIDARG;
    void* raw = nullptr;
    if (FAILED(videoCapture->QueryInterface(IID_IGraniteFrameSource, &raw)) || raw == nullptr)
        return E_FAIL;
    auto* source = static_cast<IFrameSource*>(raw);
    int32_t width = 0, height = 0;
    source->StillSize(&width, &height);
    GstSamplePtr frame = source->IsRunning() ? NextFrame(*source) : nullptr;
    source->Release();
    if (!frame || width <= 0 || height <= 0)
        return E_FAIL;
    events_.Fire(STILL_EVENT_CAPTURED);

    CFrameConverter converter(GST_VIDEO_FORMAT_I420);
    if (!converter.Convert(frame.get(), width, height))
        return E_FAIL;
    frame.reset();
    GstBufferPtr picture = converter.TakeOutput();
    if (stampDateTime != 0) {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        GstVideoFrame mapped;
        if (gst_video_frame_map(&mapped, &converter.OutputInfo(), picture.get(), GST_MAP_READWRITE)) {
            CDateStamp::Draw(mapped, local);
            gst_video_frame_unmap(&mapped);
        }
    }
    std::vector<uint8_t> jpeg;
    const HRESULT encoded = CJpegEncoder::Encode(picture.get(), width, height,
                                                 std::clamp(quality, kMinQuality, kMaxQuality), &jpeg);
    if (FAILED(encoded))
        return encoded;
    const HRESULT written = WriteFile(fileName, jpeg);
    if (FAILED(written))
        return written;
    *result = 1;
    return S_OK;
}

HRESULT CStillCapture::WriteFile(const std::string& fileName, const std::vector<uint8_t>& bytes) {
    const int fd = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return FromErrno(errno);
    size_t done = 0;
    int error = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        done += static_cast<size_t>(n);
    }
    // Some file systems report a full disk only when the file is closed.
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(fileName.c_str());
        return FromErrno(error);
    }
    return S_OK;
}

} // namespace Granite
