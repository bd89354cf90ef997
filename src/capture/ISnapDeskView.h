#pragma once
// What the capture flows (CSnapDeskCapture) need of the capture window: its buttons, captions, galleries,
// timers and message queue. The window implements it; the flows never touch a widget themselves.
#include "platform/WindowMessages.h"

#include <cstdint>
#include <string>

class ISnapDeskView {
public:
    enum class MessageIcon { Exclamation, Error };

    virtual void EnablePhotoButton(bool on) = 0;
    virtual void EnableMovieButton(bool on) = 0;
    virtual void EnableResolutionList(bool on) = 0;
    virtual void RefillResolutionList() = 0;
    // The status caption (item 1011); empty clears it.
    virtual void SetStatusText(const std::string& text) = 0;
    // The movie button's caption and look: recording or idle.
    virtual void SetMovieLook(bool recording) = 0;
    // The movie button's main zone inactive (motion recording armed).
    virtual void SetMovieOptionsOnly(bool on) = 0;
    // A new capture: an open gallery switches to its view (0 pictures, 1 videos) and the file is added.
    virtual void AddCapture(int view, const std::string& path) = 0;
    // Opens a capture with the desktop's viewer.
    virtual void OpenCapture(const std::string& path) = 0;
    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
    // Recording needs video plug-ins this machine lacks.
    virtual void ShowRecordingUnavailable() = 0;

    virtual bool StartTimer(UINT_PTR id, uint32_t periodMs) = 0;
    virtual void StopTimer(UINT_PTR id) = 0;
    virtual bool IsTimerRunning(UINT_PTR id) const = 0;
    virtual bool Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) = 0;
    virtual size_t RemovePosted(UINT message) = 0;

protected:
    ~ISnapDeskView() = default;
};
