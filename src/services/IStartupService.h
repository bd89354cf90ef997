#pragma once
// The maker's start-up service: created once when the program starts and asked to begin its session; other
// windows ask it a few questions later (the default e-mail program). Every user checks it for null.
#include "platform/Unknown.h"

#include <string>

inline const Guid CLSID_StartupService = "{E5B2A701-EBEA-4639-82E8-B95F0091B3E8}";
inline const Guid IID_IStartupService = "{91AE3303-22FA-4076-8E9C-1F3D2D4EA01D}";

class IStartupService : public IUnknown {
public:
    // The call the program makes once at start, right after creating the object.
    virtual HRESULT BeginSession() = 0;
    // The desktop's default e-mail program: its display name and the desktop entry or command that runs it.
    // E_FAIL when the desktop names none.
    virtual HRESULT GetDefaultMailProgram(std::string& name, std::string& command) = 0;
};
