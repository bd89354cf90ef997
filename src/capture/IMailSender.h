#pragma once
// Hands captures over to be sent by e-mail. The galleries check the selection before; the sender copies the
// files and starts the mail program, and says nothing to the user when that fails.
#include "platform/HResult.h"

#include <string>
#include <vector>

class IMailSender {
public:
    virtual ~IMailSender() = default;
    // `paths` are existing capture files (at most five).
    virtual HRESULT Send(const std::vector<std::string>& paths, const std::string& subject,
                         const std::string& body) = 0;
};
