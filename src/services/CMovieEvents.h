#pragma once
// The sink for the events of the movie recorder (the recording started, failed or finished), forwarded to an
// IMovieEventCallback.
#include "services/CCaptureEventSink.h"
#include "services/IMovieEventCallback.h"

using CMovieEvents =
    CCaptureEventSink<IMovieEventCallback, &IMovieEventCallback::OnMovieEvent, &DIID_IMovieEvents>;
