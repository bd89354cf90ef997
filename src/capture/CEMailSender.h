#pragma once
// The galleries' way of sending captures: the program's mail sending (CEMail) behind the gallery's mail
// interface. Anything short of a started mail program is a failure, which the user is not told about.
#include "capture/CEMail.h"
#include "capture/IMailSender.h"

class CEMailSender : public IMailSender {
public:
    HRESULT Send(const std::vector<std::string>& paths, const std::string& subject,
                 const std::string& body) override;

    const CEMail& Mail() const { return mail_; }

private:
    CEMail mail_;
};
