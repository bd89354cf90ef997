#pragma once
// The sink for the events of a still-capture object (a still was taken), forwarded to an IStillEventCallback.
#include "services/CCaptureEventSink.h"
#include "services/IStillEventCallback.h"

using CStillEvents =
    CCaptureEventSink<IStillEventCallback, &IStillEventCallback::OnStillEvent, &DIID_IStillEvents>;
