#pragma once
// The sink for the events of the video object (the picture stopped, the camera is available again), forwarded
// to an IVideoEventCallback.
#include "services/CCaptureEventSink.h"
#include "services/IVideoEventCallback.h"

using CVideoEvents =
    CCaptureEventSink<IVideoEventCallback, &IVideoEventCallback::OnVideoEvent, &DIID_IVideoEvents>;
