#pragma once
// The camera enumerator: the simulated cameras plugged in when it was made, followed by the real V4L2
// cameras. createCapture opens any camera by its device path, also one plugged in after the list was made.
#include "granite/capture/CameraInfo.h"
#include "services/ICameraEnumerator.h"

#include <vector>

namespace Granite {

class CCameraEnumerator : public ICameraEnumerator {
public:
    static CCameraEnumerator* Create() { return new CCameraEnumerator(); }

    // The cameras in the enumerator's order.
    static std::vector<CameraInfo> ListCameras();
    // The camera of a device path among the cameras plugged in now; false when none has it.
    static bool FindCamera(const std::string& devicePath, CameraInfo* camera);

    HRESULT QueryInterface(const Guid& iid, void** object) override;
    uint32_t AddRef() override { return refs_.Add(); }
    uint32_t Release() override;

    HRESULT count(int32_t* n) override;
    HRESULT item(int32_t index, std::string* name, std::string* devicePath) override;
    HRESULT createCapture(const std::string& devicePath, IVideoCapture** videoCapture) override;

private:
    CCameraEnumerator() : cameras_(ListCameras()) {}
    ~CCameraEnumerator() = default;

    CRefCount refs_;
    const std::vector<CameraInfo> cameras_;
};

} // namespace Granite
