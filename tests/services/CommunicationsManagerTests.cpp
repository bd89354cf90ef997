// The communications facade against a fake service: the application list, the operations on one
// application, call settings and the forwarded service operations.
#include "CommunicationsTestFixture.h"

#include "platform/TextUtil.h"

#include <tuple>

using M = IGraniteCommunicationsManager;

// The service's applications, then the three found locally; only the first listener is asked whether each
// is enabled, and its answer goes into every record.
TEST_F(CommunicationsTest, RefreshListsTheServiceApplicationsThenTheThreeFoundLocally) {
    service.apps = {{"s", "skype", true, false, COMMS_APP_INSTALLED},
                    {"y", "Yahoo! Messenger", true, true, COMMS_APP_MISSING},
                    {"t", "AIM Triton", false, true, COMMS_APP_IN_CALL},
                    {"o", "Other", false, false, 7}};
    IGraniteCommunicationsManager* m = Get();
    CommsRecordingListener first, second;
    first.answer = 0;
    m->AddListener(&first, 3);
    m->AddListener(&second, 4);
    ASSERT_EQ(m->RefreshApplications(), S_OK);
    ASSERT_EQ(m->GetApplicationCount(), 7);
    EXPECT_EQ(first.keysAsked, (Calls{"SKYPE", "YAHOO_MESSENGER", "AIM_TRITON", "", "WINDOWS_LIVE_MESSENGER",
                                      "TENCENT_QQ", "BRENMOOR_CALLHUB"}));
    EXPECT_TRUE(second.keysAsked.empty());
    // Nothing is installed: the local three are listed unavailable, without path. A missing program cannot
    // be offered. id, name, type, available, flag2 (video), isLocal, index, path, enabled:
    using Record = std::tuple<std::string, std::string, int32_t, int32_t, int32_t, int32_t, int32_t,
                              std::string, int32_t>;
    const std::string live = CGraniteCommunicationsManager::LiveMessengerName(),
                      qq = CGraniteCommunicationsManager::QQName(),
                      callhub = CGraniteCommunicationsManager::CallhubName();
    const Record expected[] = {
        {"s", "skype", COMMS_APP_INSTALLED, 1, 0, 0, 0, "", 0},
        {"y", "Yahoo! Messenger", COMMS_APP_MISSING, 0, 1, 0, 1, "", 0},
        {"t", "AIM Triton", COMMS_APP_IN_CALL, 1, 1, 0, 2, "", 0},
        {"o", "Other", 7, 0, 0, 0, 3, "", 0},
        {live, live, COMMS_APP_LOCAL, 0, 0, 1, 4, "", 0},
        {qq, qq, COMMS_APP_LOCAL, 0, 0, 1, 5, "", 0},
        {callhub, callhub, COMMS_APP_LOCAL, 0, 0, 1, 6, "", 0},
    };
    for (int i = 0; i < 7; ++i) {
        ApplicationInfo a;
        ASSERT_EQ(m->GetApplication(i, &a), S_OK);
        EXPECT_EQ(Record(a.id, a.name, a.type, a.available, a.flag2, a.isLocal, a.index, a.path, a.enabled),
                  expected[i])
            << i;
    }
    m->RemoveListener(&first); // the first slot freed: the next listener in slot order answers
    ASSERT_EQ(m->RefreshApplications(), S_OK);
    EXPECT_EQ(second.keysAsked.size(), 7u);
}

TEST_F(CommunicationsTest, ARefreshThatFailsPartWayKeepsWhatWasReadAndAddsNoLocalApplications) {
    service.apps = {{"a", "A"}, {"b", "B"}, {"c", "C"}};
    service.failures["GetApplicationVideo(1)"] = E_FAIL;
    IGraniteCommunicationsManager* m = Get();
    EXPECT_EQ(m->RefreshApplications(), E_FAIL);
    EXPECT_EQ(m->GetApplicationCount(), 1);
    service.failures = {{"RefreshApplications", E_FAIL}};
    EXPECT_EQ(m->RefreshApplications(), E_FAIL);
    EXPECT_EQ(m->GetApplicationCount(), 0) << "the old records are gone";
    service.failures.clear();
    service.countOverride = -5;
    ASSERT_EQ(m->RefreshApplications(), S_OK);
    EXPECT_EQ(m->GetApplicationCount(), 3) << "a negative count lists only the local applications";
}

TEST_F(CommunicationsTest, OverlongIdsAndNamesAreCutToTheirLimitWithoutSplittingACharacter) {
    std::string id;
    for (int i = 0; i < 300; ++i)
        id += "\xC3\xA9"; // é, two bytes
    std::string name(600, 'n');
    name.replace(510, 1, "\xE2\x82\xAC"); // a three-byte character at position 510
    IGraniteCommunicationsManager* m = Listed({{id, name}});
    ApplicationInfo a;
    ASSERT_EQ(m->GetApplication(0, &a), S_OK);
    EXPECT_EQ(Text::CodePointCount(a.id), ApplicationInfo::kMaxIdChars);
    EXPECT_TRUE(Text::IsValidUtf8(a.id));
    EXPECT_EQ(Text::CodePointCount(a.name), ApplicationInfo::kMaxNameChars);
    EXPECT_EQ(a.name.substr(510, 3), "\xE2\x82\xAC");
    EXPECT_EQ(a.enabled, 1) << "enabled, as no listener was asked";
}

// The question is asked from inside a refresh: a listener may not start another one, and may drop the
// facade, which ends the refresh safely.
TEST_F(CommunicationsTest, AListenerAnsweringTheQuestionMayNotRefreshButMayReleaseTheLastReference) {
    service.apps = {{"a", "A"}, {"b", "B"}};
    IGraniteCommunicationsManager* m = Get();
    CommsRecordingListener listener;
    std::vector<HRESULT> inner;
    listener.onQuestion = [&] { inner.push_back(m->RefreshApplications()); };
    m->AddListener(&listener, 1);
    EXPECT_EQ(m->RefreshApplications(), S_OK);
    EXPECT_EQ(inner, std::vector<HRESULT>(5, E_FAIL));
    EXPECT_EQ(m->GetApplicationCount(), 5);
    listener.keysAsked.clear();
    listener.onQuestion = [&] {
        if (CGraniteCommunicationsManager::Current() != nullptr)
            m->Release();
    };
    EXPECT_EQ(m->RefreshApplications(), E_FAIL);
    EXPECT_EQ(CGraniteCommunicationsManager::Current(), nullptr);
    EXPECT_EQ(listener.keysAsked.size(), 1u);
    DrainEvents(); // the facade is freed from the message loop
    EXPECT_NE(Get(), nullptr);
}

// Applications are found by id or name without regard to case, the default one by the name the service
// gives; service applications are started by the service, a local one only with a program.
TEST_F(CommunicationsTest, ApplicationsAreFoundMadeDefaultAndStartedByName) {
    IGraniteCommunicationsManager* m = Listed({{"org.a", "Alpha", false, true, COMMS_APP_INSTALLED},
                                               {"org.b", "Beta", false, true, COMMS_APP_RUNNING}});
    ApplicationInfo a;
    ASSERT_EQ(m->FindApplicationById("ORG.B", &a), S_OK);
    ASSERT_EQ(m->FindApplicationByName("alpha", &a), S_OK);
    EXPECT_EQ(a.id, "org.a");
    EXPECT_EQ(m->FindApplicationById("", &a), E_FAIL);
    EXPECT_EQ(m->FindApplicationById("Beta", &a), E_FAIL) << "the id, not the name, is compared";
    EXPECT_EQ(m->SetDefaultApplication(1), S_OK);
    EXPECT_EQ(service.defaultName, "Beta");
    int32_t index = -1;
    service.defaultName = "beta";
    ASSERT_EQ(m->GetDefaultApplicationIndex(&index), S_OK);
    EXPECT_EQ(index, 1);
    service.defaultName = "Gamma";
    EXPECT_EQ(m->GetDefaultApplicationIndex(&index), E_FAIL) << "not listed";
    EXPECT_EQ(m->LaunchApplication(0), S_OK);
    EXPECT_EQ(service.apps[0].status, COMMS_APP_RUNNING);
    EXPECT_EQ(m->LaunchApplication(2), E_FAIL) << "the first local application, without a program";
    EXPECT_EQ(service.launches, 1);
    EXPECT_TRUE(launcher.Started().empty());
    service.failures["LaunchApplication"] = E_ACCESSDENIED;
    EXPECT_EQ(m->LaunchApplication(0), E_FAIL);
}

// Call settings and the other forwarded operations the program uses reach their own service operation; a
// service failure becomes E_FAIL and leaves the output alone.
TEST_F(CommunicationsTest, ForwardedOperationsReachTheirOwnServiceOperation) {
    IGraniteCommunicationsManager* m = Listed({{"a", "Alpha", true, true, COMMS_APP_RUNNING, "ann"}});
    const std::pair<HRESULT (M::*)(const std::string&), HRESULT (M::*)(std::string&)> settings[] = {
        {&M::SetCallSetting1, &M::GetCallSetting1},
        {&M::SetCallSetting2, &M::GetCallSetting2},
        {&M::SetCallSetting3, &M::GetCallSetting3}};
    std::string text, answers;
    int n = 0;
    for (const auto& [set, get] : settings) {
        ASSERT_EQ((m->*set)("v" + std::to_string(n++)), S_OK);
        answers += (m->*get)(text) == S_OK ? text + ";" : "failed;";
    }
    EXPECT_EQ(service.settings, (std::map<int32_t, std::string>{{1, "v0"}, {2, "v1"}, {3, "v2"}}));
    EXPECT_EQ(answers, "v0;v1;v2;");
    ASSERT_EQ(m->ServiceCall27("Alpha", &text), S_OK);
    EXPECT_EQ(text, "ann") << "the user signed in";
    ASSERT_EQ(m->ServiceCall26("Alpha"), S_OK);
    EXPECT_EQ(service.videoCallWith, "Alpha");
    ASSERT_EQ(m->ServiceCall38(VARIANT_FALSE), S_OK); // option 9, as the 16-bit boolean
    EXPECT_EQ(service.options[COMMS_OPTION_CALLING_PROGRAMS].Type(), VarType::Bool);
    EXPECT_EQ(service.options[COMMS_OPTION_CALLING_PROGRAMS].GetBool(), VARIANT_FALSE);
    service.failures = {{"GetCallSetting(2)", E_INVALIDARG}, {"SetCallSetting", E_INVALIDARG}};
    text = "keep";
    EXPECT_EQ(m->GetCallSetting2(text), E_FAIL);
    EXPECT_EQ(text, "keep");
    EXPECT_EQ(m->SetCallSetting3("x"), E_FAIL);
    EXPECT_EQ(m->ServiceCall27("Nobody", &text), E_FAIL) << "the service's E_INVALIDARG";
}

TEST_F(CommunicationsTest, AVideoCallNeedsARunningVideoApplicationWithSomeoneSignedIn) {
    IGraniteCommunicationsManager* m = Listed({{"a", "Ready", false, true, COMMS_APP_RUNNING, "ann"},
                                               {"b", "InCall", false, true, COMMS_APP_IN_CALL, "bob"},
                                               {"c", "Nobody", false, true, COMMS_APP_RUNNING, ""},
                                               {"d", "NoVideo", true, false, COMMS_APP_RUNNING, "dan"},
                                               {"e", "Stopped", false, true, COMMS_APP_INSTALLED, "eve"}});
    std::vector<bool> ready;
    for (int i = 0; i < 5; ++i) {
        ApplicationInfo a;
        ASSERT_EQ(m->GetApplication(i, &a), S_OK);
        ready.push_back(IsVideoCallCandidate(*m, a));
    }
    EXPECT_EQ(ready, (std::vector<bool>{true, true, false, false, false}));
}
