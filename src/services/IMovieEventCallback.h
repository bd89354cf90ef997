#pragma once
// What a window implements to hear the movie recorder's event (the recording started, failed or finished)
// through a CMovieEvents sink. The call arrives on the capture object's own thread: hand the value on (post
// it), never touch a window from it.
#include <cstdint>

class IMovieEventCallback {
public:
    virtual void OnMovieEvent(uint32_t value) = 0;

protected:
    ~IMovieEventCallback() = default;
};
