#pragma once
// The video preview and capture object of one camera: its still formats, the live format, start and stop.
// Its events (DIID_IVideoEvents, through ICaptureEventSource) say when the picture stopped and when the
// camera can be started again. Calls come from one thread at a time.
#include "services/CaptureClassIds.h"

#include <string>

// Bit 0 of a still format's flags: the format can be used while motion detection runs.
constexpr int32_t STILL_FORMAT_MOTION_CAPABLE = 1;

class IVideoCapture : public IUnknown {
public:
    virtual HRESULT stillFormatCount(int32_t* n) = 0;
    // E_INVALIDARG for an index outside 0..count-1.
    virtual HRESULT stillFormat(int32_t index, int32_t* width, int32_t* height, int32_t* fps,
                                int32_t* flags) = 0;
    // The live picture's format; E_INVALIDARG when the camera has no such format. Takes effect at start().
    virtual HRESULT setVideoFormat(int32_t width, int32_t height, int32_t fps) = 0;
    // The size of the stills taken from this capture; E_INVALIDARG for a size no still format has.
    virtual HRESULT setStillSize(int32_t width, int32_t height) = 0;
    // Starts the picture; fails (E_ACCESSDENIED) when another program holds the camera, E_FAIL when the
    // camera is gone or the pipeline cannot run. Starting a running capture succeeds and changes nothing.
    virtual HRESULT start() = 0;
    // Stops the picture; stopping a stopped capture succeeds.
    virtual HRESULT stop() = 0;
    // What a recorder of this capture needs: a = video bit rate (kbit/s), b = key-frame interval (frames),
    // c = the encoder setting handed on unchanged to IMovieRecorder::prepare.
    virtual HRESULT recordingParameters(int32_t* a, int32_t* b, int32_t* c) = 0;
    // The live format that start() will use (or uses): fails when none was chosen.
    virtual HRESULT outputFormat(int32_t* width, int32_t* height) = 0;
    // The device path this capture was opened with.
    virtual HRESULT devicePath(std::string* path) = 0;
};
