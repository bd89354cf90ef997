#pragma once
// The sink for the events of the motion detector (the current motion level), forwarded to an
// IMotionEventCallback.
#include "services/CCaptureEventSink.h"
#include "services/IMotionEventCallback.h"

using CMotionEvents =
    CCaptureEventSink<IMotionEventCallback, &IMotionEventCallback::OnMotionEvent, &DIID_IMotionEvents>;
