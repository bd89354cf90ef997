#pragma once
// The tell-a-friend section of the communicate window: a link to the page a friend can be sent about the
// camera, a link that starts a message to a friend in the user's mail program (CFriendMail), and the tools of
// the tell-a-friend document.
#include "communicate/CConfigurableToolsPane.h"

#include <string>

class CCommunicateDocuments;

class CCommunicationsTellAFriendPane : public CConfigurableToolsPane {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 310;
    static constexpr int kSendPageLink = 1192;
    static constexpr int kWriteLink = 1193;
    static constexpr const char* kPageTextId = "IDS_TELLAFRIEND_SENDWEBCAMTOFRIEND_URL";
    static constexpr uint32_t kPageFallback = 245;
    // The message to a friend: its subject and its text.
    static constexpr uint32_t kMailSubject = 1759;
    static constexpr uint32_t kMailBody = 282;
    static constexpr uint32_t kNoMailProgramText = 1768;

    CCommunicationsTellAFriendPane(const CCommunicateDocuments& documents, QWidget* parent = nullptr);

    // The page about the camera.
    static std::string PageAddress();

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
