#pragma once
// Tells everyone who shows something that depends on the capture size that the photo size changed: the
// registered message "VIDORA10_WM_RESOLUTIONCHANGED" (wParam = width, lParam = height) to every top-level
// window of this process, and the same message as a D-Bus signal on the user's session bus for the
// maker's other programs:
//   object /org/vidora/Vidora, interface org.vidora.Vidora1,
//   signal RegisteredMessage(s name, t wParam, x lParam)
// Without a session bus only this process hears it; nothing is reported. The bus is talked to from a
// helper thread, so a slow bus daemon never holds up the caller.
#include <cstdint>

class CResolutionBroadcast {
public:
    // How long windows of other threads may take to answer, in all.
    static constexpr uint32_t kTimeoutMs = 500;
    static constexpr const char* kObjectPath = "/org/vidora/Vidora";
    static constexpr const char* kInterface = "org.vidora.Vidora1";
    static constexpr const char* kSignal = "RegisteredMessage";

    // User-interface thread.
    static void Send(int32_t width, int32_t height);
    // The D-Bus part alone: any registered message's name and parameters as the signal above. Any thread;
    // returns at once.
    static void SignalOtherProcesses(const char* name, uint64_t wParam, int64_t lParam);
};
