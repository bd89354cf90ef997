#include "capture/CEMailSender.h"

HRESULT CEMailSender::Send(const std::vector<std::string>& paths, const std::string& subject,
                           const std::string& body) {
    return mail_.Send(paths, subject, body) == CEMail::Result::Started ? S_OK : E_FAIL;
}
