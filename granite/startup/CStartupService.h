#pragma once
// Our stand-in for the maker's start-up service. Its session start has nothing to prepare on this
// platform; it answers the default e-mail program from the desktop's default "mailto" handler.
#include "platform/CRefCounted.h"
#include "services/IStartupService.h"

#include <string>

class CStartupService : public CRefCounted<IStartupService> {
public:
    HRESULT QueryInterface(const Guid& iid, void** object) override;

    HRESULT BeginSession() override;
    HRESULT GetDefaultMailProgram(std::string& name, std::string& command) override;

    bool SessionStarted() const { return sessionStarted_; }

    // The desktop entry id the desktop associates with "x-scheme-handler/mailto", from the mimeapps.list
    // files in the order the desktop reads them; empty when none names one.
    static std::string DefaultMailtoHandler();

private:
    ~CStartupService() = default;
    bool sessionStarted_ = false;
};

// Registers the start-up service in the object factory.
void RegisterGraniteStartupService();
