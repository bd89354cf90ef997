#include "granite/capture/RegisterGraniteCaptureObjects.h"

#include "granite/capture/CAudioDeviceEnumerator.h"
#include "granite/capture/CMotionDetector.h"
#include "granite/capture/CMovieRecorder.h"
#include "platform/CObjectFactory.h"
#include "services/CaptureClassIds.h"

#include <utility>
#include <vector>

namespace {

// Each capture object's class id and its creator; filled as the objects are built.
std::vector<std::pair<Guid, CObjectFactory::Creator>> CaptureClasses() {
    return {
        {CLSID_AudioDeviceEnumerator, &Granite::CAudioDeviceEnumerator::Create},
        {CLSID_MovieRecorder, &Granite::CMovieRecorder::Create},
        {CLSID_MotionDetector, &Granite::CMotionDetector::Create},
    };
}

} // namespace

void RegisterGraniteCaptureObjects() {
    for (auto& [clsid, creator] : CaptureClasses())
        CObjectFactory::Instance().Register(clsid, creator);
}

void UnregisterGraniteCaptureObjects() {
    for (auto& [clsid, creator] : CaptureClasses())
        CObjectFactory::Instance().Unregister(clsid);
}
