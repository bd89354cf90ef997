#include "capture/CPhotoShot.h"

#include "platform/CObjectFactory.h"
#include "services/CStillEvents.h"
#include "services/IStillCapture.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Connects a new still event sink aimed at `callback` to `still`; null when there is no callback or the
// object offers no events (the photo is taken all the same, only without a shutter event).
CStillEvents* ConnectSink(IStillCapture* still, IStillEventCallback* callback) {
    if (callback == nullptr)
        return nullptr;
    ICaptureEventSource* source = nullptr;
    if (FAILED(still->QueryInterface(IID_ICaptureEventSource, reinterpret_cast<void**>(&source))) ||
        source == nullptr)
        return nullptr;
    CStillEvents* sink = nullptr;
    if (SUCCEEDED(CStillEvents::Create(&sink)) && FAILED(sink->Connect(source, callback))) {
        sink->Release();
        sink = nullptr;
    }
    source->Release();
    return sink;
}

} // namespace

int32_t CPhotoShot::ClampQuality(uint32_t quality) {
    if (quality < static_cast<uint32_t>(kMinimumQuality))
        return kMinimumQuality;
    if (quality > static_cast<uint32_t>(kMaximumQuality))
        return kMaximumQuality;
    return static_cast<int32_t>(quality);
}

HRESULT CPhotoShot::Take(IVideoCapture* capture, IStillEventCallback* callback,
                         const std::function<HRESULT(std::string& path)>& nextFileName, int32_t quality,
                         bool stampDateTime, std::string& path) {
    path.clear();
    if (capture == nullptr || !nextFileName)
        return E_FAIL;
    std::string fileName;
    if (FAILED(nextFileName(fileName)) || fileName.empty())
        return E_FAIL;
    const QString file = QString::fromStdString(fileName);
    // Only a file this shot made is ever removed: the gallery reserves a new name as an empty file, but a
    // name that already holds something is somebody's picture.
    const bool existedBefore = QFileInfo(file).size() > 0;
    auto dropReservation = [&file] {
        if (QFileInfo(file).isFile() && QFileInfo(file).size() == 0)
            QFile::remove(file);
    };
    IStillCapture* still = nullptr;
    if (FAILED(CObjectFactory::Instance().Create(CLSID_StillCapture, IID_IStillCapture, &still)) ||
        still == nullptr) {
        dropReservation();
        return E_FAIL;
    }
    CStillEvents* sink = ConnectSink(still, callback);
    int32_t result = 0;
    const HRESULT hr =
        still->capture(fileName, ClampQuality(static_cast<uint32_t>(quality < 0 ? 0 : quality)), &result,
                       stampDateTime ? 1 : 0, capture);
    if (sink != nullptr) {
        sink->Disconnect();
        sink->Release();
    }
    still->Release();

    if (FAILED(hr) || result == 0) {
        if (!existedBefore && QFileInfo::exists(file))
            QFile::remove(file);
        return E_FAIL;
    }
    path = fileName;
    return S_OK;
}
