#pragma once
// One calling application as the communications facade lists it. Records are copied whole to callers, so a
// window may keep its copy after the facade refreshed its list.
#include <cstdint>
#include <string>

struct ApplicationInfo {
    // Longest id and name kept, in characters (Unicode code points); longer texts are cut.
    static constexpr size_t kMaxIdChars = 256;
    static constexpr size_t kMaxNameChars = 512;

    // The service's application id; for the applications the program finds itself, the display name.
    std::string id;
    // Display name.
    std::string name;
    // The program's file (its canonical path) for the applications the program finds itself; empty
    // otherwise. Never cut: a shortened path would name another file.
    std::string path;
    // The application can be started.
    int32_t available = 0;
    // The service's second boolean: the application can make video calls.
    int32_t flag2 = 0;
    // The application's status as the service reports it (see ICommunicationsService.h, CommsAppStatus);
    // 6 for the applications the program finds itself.
    int32_t type = 0;
    // 1 for the applications the program finds itself.
    int32_t isLocal = 0;
    // Position in the facade's list.
    int32_t index = 0;
    // The first listener's answer for the application's key; 1 when nobody listens.
    int32_t enabled = 1;

    // Sets id and name, cutting each to its limit without splitting a character.
    void SetId(const std::string& value);
    void SetName(const std::string& value);

    bool operator==(const ApplicationInfo&) const = default;

    // The first `maxChars` code points of `text` (invalid bytes count one each, as in Text::CodePointCount).
    static std::string CutToCodePoints(const std::string& text, size_t maxChars);
};
