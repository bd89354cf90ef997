#pragma once
// The movie recorder: writes a running video capture (and optionally a microphone) into a .wmv file.
// Events (DIID_IMovieEvents): MOVIE_EVENT_STARTED, MOVIE_EVENT_FAILED (disk full, camera gone, encoder
// error; the recording has stopped and the file is removed), MOVIE_EVENT_FINISHED.
#include "services/CaptureClassIds.h"

#include <string>

class IVideoCapture;
class IAudioCapture;

class IMovieRecorder : public IUnknown {
public:
    // quality is 1..100 (the program passes 80); encoderSetting is recordingParameters' c, passed unchanged.
    // audioCapture may be null for a silent movie. E_FAIL when the needed plug-ins are missing.
    virtual HRESULT prepare(const std::string& fileName, int32_t quality, int32_t encoderSetting,
                            int32_t stampDateTime, IVideoCapture* videoCapture,
                            IAudioCapture* audioCapture) = 0;
    virtual HRESULT start() = 0;
    // Ends the recording and closes the file; returns when the file is complete.
    virtual HRESULT stop() = 0;
};
