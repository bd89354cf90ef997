// The communications facade against a fake service: life, the application list, the operations on one
// application, call settings and the forwarded service operations.
#include "CommunicationsTestFixture.h"

#include "platform/TextUtil.h"

#include <tuple>

// --- life
// --------------------------------------------------------------------------------------------------------

// A failed creation or a refused sink gives null and the next request tries again; once made the facade is
// shared, counted, and shuts down at the last release.
TEST_F(CommunicationsTest, TheFacadeIsSharedCountedAndMadeAgainAfterAFailedCreation) {
    createResult = REGDB_E_CLASSNOTREG;
    EXPECT_EQ(GetGraniteCommunicationsManager(), nullptr);
    EXPECT_EQ(CGraniteCommunicationsManager::Current(), nullptr);
    createResult = S_OK;
    service.failures["Advise"] = E_FAIL;
    EXPECT_EQ(GetGraniteCommunicationsManager(), nullptr);
    EXPECT_EQ(service.refs, 1u) << "a service whose events cannot be heard is let go of";
    service.failures.clear();
    IGraniteCommunicationsManager* first = Get();
    IGraniteCommunicationsManager* second = Get();
    EXPECT_EQ(first, second);
    EXPECT_EQ(creations, 3);
    // Registered with a GUID in text form, without braces.
    EXPECT_EQ(service.registeredClient, CGraniteCommunicationsManager::kClientId);
    EXPECT_EQ(service.registeredClient.size(), 36u);

    first->Release();
    EXPECT_NE(CGraniteCommunicationsManager::Current(), nullptr);
    second->Release();
    EXPECT_EQ(CGraniteCommunicationsManager::Current(), nullptr);
    EXPECT_EQ(service.sink, nullptr);
    EXPECT_FALSE(service.unadvisedUnheld) << "disconnected before the service was let go of";
    EXPECT_EQ(service.refs, 1u) << "only the test's own reference is left";
}

// --- the application list
// ----------------------------------------------------------------------------------------

TEST_F(CommunicationsTest, RefreshListsTheServiceApplicationsThenTheThreeFoundLocally) {
    service.apps = {{"chat", "Chat", true, false, COMMS_APP_INSTALLED},
                    {"gone", "Gone", true, true, COMMS_APP_MISSING},
                    {"call", "Call", false, true, COMMS_APP_IN_CALL},
                    {"odd", "Odd", false, false, 7}};
    IGraniteCommunicationsManager* m = Get();
    ASSERT_EQ(m->RefreshApplications(), S_OK);
    ASSERT_EQ(m->GetApplicationCount(), 7);

    // Nothing is installed in the machine's settings: the local three are listed unavailable, without path.
    // A missing program cannot be offered; the records are enabled, as nobody listens.
    // id, name, type, available, flag2 (video), isLocal, index, path, enabled
    using Record = std::tuple<std::string, std::string, int32_t, int32_t, int32_t, int32_t, int32_t,
                              std::string, int32_t>;
    const std::string live = CGraniteCommunicationsManager::LiveMessengerName(),
                      qq = CGraniteCommunicationsManager::QQName(),
                      callhub = CGraniteCommunicationsManager::CallhubName();
    const Record expected[] = {
        {"chat", "Chat", COMMS_APP_INSTALLED, 1, 0, 0, 0, "", 1},
        {"gone", "Gone", COMMS_APP_MISSING, 0, 1, 0, 1, "", 1},
        {"call", "Call", COMMS_APP_IN_CALL, 1, 1, 0, 2, "", 1},
        {"odd", "Odd", 7, 0, 0, 0, 3, "", 1},
        {live, live, COMMS_APP_LOCAL, 0, 0, 1, 4, "", 1},
        {qq, qq, COMMS_APP_LOCAL, 0, 0, 1, 5, "", 1},
        {callhub, callhub, COMMS_APP_LOCAL, 0, 0, 1, 6, "", 1},
    };
    for (int i = 0; i < 7; ++i) {
        ApplicationInfo a;
        ASSERT_EQ(m->GetApplication(i, &a), S_OK);
        EXPECT_EQ(Record(a.id, a.name, a.type, a.available, a.flag2, a.isLocal, a.index, a.path, a.enabled),
                  expected[i])
            << i;
    }
    m->Release();
}

TEST_F(CommunicationsTest, ARefreshThatFailsPartWayKeepsWhatWasReadAndAddsNoLocalApplications) {
    service.apps = {{"a", "A"}, {"b", "B"}, {"c", "C"}};
    service.failures["GetApplicationVideo(1)"] = E_FAIL;
    IGraniteCommunicationsManager* m = Get();
    EXPECT_EQ(m->RefreshApplications(), E_FAIL);
    EXPECT_EQ(m->GetApplicationCount(), 1);

    service.failures.clear();
    service.failures["RefreshApplications"] = E_FAIL;
    EXPECT_EQ(m->RefreshApplications(), E_FAIL);
    EXPECT_EQ(m->GetApplicationCount(), 0) << "the old records are gone";

    service.failures.clear();
    service.countOverride = -5;
    ASSERT_EQ(m->RefreshApplications(), S_OK);
    EXPECT_EQ(m->GetApplicationCount(), 3) << "a negative count lists only the local applications";
    m->Release();
}

TEST_F(CommunicationsTest, OverlongIdsAndNamesAreCutToTheirLimitWithoutSplittingACharacter) {
    std::string id;
    for (int i = 0; i < 300; ++i)
        id += "\xC3\xA9"; // é, two bytes
    std::string name(600, 'n');
    name.replace(510, 1, "\xE2\x82\xAC"); // a three-byte character straddling nothing: position 510
    service.apps = {{id, name}};
    IGraniteCommunicationsManager* m = Get();
    ASSERT_EQ(m->RefreshApplications(), S_OK);
    ApplicationInfo a;
    ASSERT_EQ(m->GetApplication(0, &a), S_OK);
    EXPECT_EQ(Text::CodePointCount(a.id), ApplicationInfo::kMaxIdChars);
    EXPECT_TRUE(Text::IsValidUtf8(a.id));
    EXPECT_EQ(Text::CodePointCount(a.name), ApplicationInfo::kMaxNameChars);
    EXPECT_TRUE(Text::IsValidUtf8(a.name));
    EXPECT_EQ(a.name.substr(510, 3), "\xE2\x82\xAC");
    m->Release();
}

TEST_F(CommunicationsTest, OnlyTheFirstListenerIsAskedAndItsAnswerSetsEveryRecordsEnabledFlag) {
    service.apps = {{"s", "skype"}, {"y", "Yahoo! Messenger"}, {"t", "AIM Triton"}, {"o", "Other"}};
    IGraniteCommunicationsManager* m = Get();
    CommsRecordingListener first;
    CommsRecordingListener second;
    first.answer = 0;
    m->AddListener(&first, 3);
    m->AddListener(&second, 4);
    ASSERT_EQ(m->RefreshApplications(), S_OK);
    EXPECT_EQ(first.keysAsked,
              (std::vector<std::string>{"SKYPE", "YAHOO_MESSENGER", "AIM_TRITON", "",
                                        "WINDOWS_LIVE_MESSENGER", "TENCENT_QQ", "BRENMOOR_CALLHUB"}));
    EXPECT_TRUE(second.keysAsked.empty());
    for (int i = 0; i < m->GetApplicationCount(); ++i) {
        ApplicationInfo a;
        ASSERT_EQ(m->GetApplication(i, &a), S_OK);
        EXPECT_EQ(a.enabled, 0);
    }
    // The first slot freed: the next listener in slot order answers.
    m->RemoveListener(&first);
    ASSERT_EQ(m->RefreshApplications(), S_OK);
    EXPECT_EQ(second.keysAsked.size(), 7u);
    ApplicationInfo a;
    ASSERT_EQ(m->GetApplication(0, &a), S_OK);
    EXPECT_EQ(a.enabled, 1);
    m->Release();
}

TEST_F(CommunicationsTest, AListenerMayNotStartARefreshFromInsideTheQuestion) {
    service.apps = {{"a", "A"}};
    IGraniteCommunicationsManager* m = Get();
    CommsRecordingListener listener;
    std::vector<HRESULT> inner;
    listener.onQuestion = [&] { inner.push_back(m->RefreshApplications()); };
    m->AddListener(&listener, 1);
    EXPECT_EQ(m->RefreshApplications(), S_OK);
    EXPECT_EQ(inner, std::vector<HRESULT>(4, E_FAIL));
    EXPECT_EQ(m->GetApplicationCount(), 4);
    m->Release();
}

TEST_F(CommunicationsTest, AListenerThatReleasesTheLastReferenceDuringTheQuestionEndsTheRefreshSafely) {
    service.apps = {{"a", "A"}, {"b", "B"}};
    IGraniteCommunicationsManager* m = Get();
    CommsRecordingListener listener;
    listener.onQuestion = [&] {
        if (CGraniteCommunicationsManager::Current() != nullptr)
            m->Release();
    };
    m->AddListener(&listener, 1);
    EXPECT_EQ(m->RefreshApplications(), E_FAIL);
    EXPECT_EQ(CGraniteCommunicationsManager::Current(), nullptr);
    EXPECT_EQ(listener.keysAsked.size(), 1u);
    DrainEvents(); // the facade is freed from the message loop
    IGraniteCommunicationsManager* again = Get();
    EXPECT_NE(again, nullptr);
    again->Release();
}

// --- finding and the operations on one application
// -----------------------------------------------------------------

TEST_F(CommunicationsTest, FindingIgnoresCaseAndRefusesEmptyOrUnknownTexts) {
    service.apps = {{"org.chat", "Chat Pro", true, true, COMMS_APP_RUNNING}};
    IGraniteCommunicationsManager* m = Get();
    ASSERT_EQ(m->RefreshApplications(), S_OK);
    ApplicationInfo a;
    ASSERT_EQ(m->FindApplicationById("ORG.CHAT", &a), S_OK);
    EXPECT_EQ(a.name, "Chat Pro");
    ASSERT_EQ(m->FindApplicationByName("chat pro", &a), S_OK);
    EXPECT_EQ(a.id, "org.chat");
    EXPECT_EQ(m->FindApplicationById("", &a), E_FAIL);
    EXPECT_EQ(m->FindApplicationByName("Chat", &a), E_FAIL);
    EXPECT_EQ(m->FindApplicationById("Chat Pro", &a), E_FAIL) << "the id, not the name, is compared";
    EXPECT_EQ(m->FindApplicationById("org.chat", nullptr), E_INVALIDARG);
    EXPECT_EQ(m->GetApplication(-1, &a), E_INVALIDARG);
    EXPECT_EQ(m->GetApplication(m->GetApplicationCount(), &a), E_INVALIDARG);
    EXPECT_EQ(m->GetApplication(0, nullptr), E_INVALIDARG);
    m->Release();
}

TEST_F(CommunicationsTest, TheDefaultApplicationIsSetAndFoundByName) {
    service.apps = {{"a", "Alpha", false, true, COMMS_APP_INSTALLED},
                    {"b", "Beta", false, true, COMMS_APP_RUNNING}};
    IGraniteCommunicationsManager* m = Get();
    ASSERT_EQ(m->RefreshApplications(), S_OK);
    EXPECT_EQ(m->SetDefaultApplication(1), S_OK);
    EXPECT_EQ(service.defaultName, "Beta");
    EXPECT_EQ(m->SetDefaultApplication(99), E_INVALIDARG);
    service.failures["SetDefaultApplication"] = E_ACCESSDENIED;
    EXPECT_EQ(m->SetDefaultApplication(0), E_FAIL);

    int32_t index = -1;
    service.defaultName = "beta";
    ASSERT_EQ(m->GetDefaultApplicationIndex(&index), S_OK);
    EXPECT_EQ(index, 1);
    service.defaultName = "";
    EXPECT_EQ(m->GetDefaultApplicationIndex(&index), E_FAIL);
    service.defaultName = "Gamma";
    EXPECT_EQ(m->GetDefaultApplicationIndex(&index), E_FAIL);

    int32_t value = 77;
    service.defaultName = "Beta";
    ASSERT_EQ(m->GetDefaultApplicationValue(&value), S_OK);
    EXPECT_EQ(value, COMMS_APP_RUNNING);
    service.failures["GetApplicationStatusByName"] = E_FAIL;
    value = 77;
    EXPECT_EQ(m->GetDefaultApplicationValue(&value), E_FAIL);
    EXPECT_EQ(value, 0);
    m->Release();
}

// Service applications are started and closed by the service, by name; a local application without a
// program is not started at all.
TEST_F(CommunicationsTest, ServiceApplicationsAreStartedByTheServiceAndLocalOnesOnlyWithAProgram) {
    service.apps = {{"a", "Alpha"}};
    IGraniteCommunicationsManager* m = Get();
    ASSERT_EQ(m->RefreshApplications(), S_OK);
    ASSERT_EQ(m->GetApplicationCount(), 4);
    EXPECT_EQ(m->LaunchApplication(0), S_OK);
    EXPECT_EQ(service.apps[0].status, COMMS_APP_RUNNING);
    EXPECT_EQ(m->CloseApplication(0), S_OK);
    EXPECT_EQ(service.apps[0].status, COMMS_APP_INSTALLED);
    EXPECT_EQ(service.launches, 1);
    EXPECT_EQ(m->LaunchApplication(1), E_FAIL) << "the first local application, without a program";
    EXPECT_EQ(service.launches, 1);
    EXPECT_TRUE(launcher.Started().empty());
    service.failures["LaunchApplication"] = E_ACCESSDENIED;
    EXPECT_EQ(m->LaunchApplication(0), E_FAIL);
    EXPECT_EQ(m->LaunchApplication(-1), E_INVALIDARG);
    EXPECT_EQ(m->CloseApplication(42), E_INVALIDARG);
    m->Release();
}

// --- call settings and forwarded operations
// ---------------------------------------------------------------------

TEST_F(CommunicationsTest, EachCallSettingReachesItsOwnNumber) {
    IGraniteCommunicationsManager* m = Get();
    struct Case {
        int32_t which;
        HRESULT (IGraniteCommunicationsManager::*get)(std::string&);
        HRESULT (IGraniteCommunicationsManager::*set)(const std::string&);
    };
    const Case cases[] = {
        {1, &IGraniteCommunicationsManager::GetCallSetting1, &IGraniteCommunicationsManager::SetCallSetting1},
        {2, &IGraniteCommunicationsManager::GetCallSetting2, &IGraniteCommunicationsManager::SetCallSetting2},
        {3, &IGraniteCommunicationsManager::GetCallSetting3, &IGraniteCommunicationsManager::SetCallSetting3},
        {5, &IGraniteCommunicationsManager::GetCallSetting5, &IGraniteCommunicationsManager::SetCallSetting5},
        {6, &IGraniteCommunicationsManager::GetCallSetting6,
         &IGraniteCommunicationsManager::SetCallSetting6}};
    for (const Case& c : cases) {
        std::string text = "value-" + std::to_string(c.which);
        ASSERT_EQ((m->*c.set)(text), S_OK);
        EXPECT_EQ(service.settings[c.which], text);
        std::string read;
        ASSERT_EQ((m->*c.get)(read), S_OK);
        EXPECT_EQ(read, text);

        service.failures["GetCallSetting(" + std::to_string(c.which) + ")"] = E_INVALIDARG;
        std::string untouched = "keep";
        EXPECT_EQ((m->*c.get)(untouched), E_FAIL);
        EXPECT_EQ(untouched, "keep");
        service.failures["SetCallSetting"] = E_INVALIDARG;
        EXPECT_EQ((m->*c.set)("x"), E_FAIL);
        service.failures.clear();
    }
    m->Release();
}

TEST_F(CommunicationsTest, ForwardedOperationsPassTheirArgumentsAndTurnEveryFailureIntoEFail) {
    service.apps = {{"a", "Alpha", true, true, COMMS_APP_RUNNING, "ann"}};
    service.defaultName = "Alpha";
    IGraniteCommunicationsManager* m = Get();
    std::string text;
    int32_t number = 0;
    VARIANT_BOOL flag = VARIANT_FALSE;
    Variant value;

    ASSERT_EQ(m->ServiceCall24(COMMS_OPTION_CALL_VOLUME, Variant::FromI4(55)), S_OK);
    ASSERT_EQ(m->ServiceCall23(COMMS_OPTION_CALL_VOLUME, &value), S_OK);
    EXPECT_EQ(value.GetI4(), 55);
    ASSERT_EQ(m->ServiceCall25(&number), S_OK);
    EXPECT_EQ(number, 1);
    ASSERT_EQ(m->ServiceCall26("Alpha"), S_OK);
    const std::pair<HRESULT (IGraniteCommunicationsManager::*)(const std::string&, std::string*), const char*>
        named[] = {{&IGraniteCommunicationsManager::ServiceCall27, "ann"},
                   {&IGraniteCommunicationsManager::ServiceCall28, "icon-a"},
                   {&IGraniteCommunicationsManager::ServiceCall29, "/usr/bin/a"},
                   {&IGraniteCommunicationsManager::ServiceCall32, "about Alpha"},
                   {&IGraniteCommunicationsManager::ServiceCall36, "a.desktop"}};
    for (const auto& [call, expected] : named) {
        ASSERT_EQ((m->*call)("Alpha", &text), S_OK) << expected;
        EXPECT_EQ(text, expected);
    }
    ASSERT_EQ(m->ServiceCall30("Alpha", &flag), S_OK);
    EXPECT_EQ(flag, VARIANT_TRUE);
    ASSERT_EQ(m->ServiceCall31("Alpha", &number), S_OK);
    EXPECT_EQ(number, 4242);
    ASSERT_EQ(m->ServiceCall33(&text), S_OK);
    EXPECT_EQ(text, "9.9");
    ASSERT_EQ(m->ServiceCall34(&number), S_OK);
    EXPECT_EQ(number, 3);
    ASSERT_EQ(m->ServiceCall35(&text), S_OK);
    EXPECT_EQ(text, "in-call");
    ASSERT_EQ(m->SetServiceText25("away"), S_OK);
    ASSERT_EQ(m->GetServiceText26(text), S_OK);
    EXPECT_EQ(text, "away");

    // Option 9 travels as the 16-bit boolean.
    ASSERT_EQ(m->ServiceCall38(VARIANT_FALSE), S_OK);
    EXPECT_EQ(service.options[COMMS_OPTION_CALLING_PROGRAMS].Type(), VarType::Bool);
    EXPECT_EQ(service.options[COMMS_OPTION_CALLING_PROGRAMS].GetBool(), VARIANT_FALSE);
    flag = VARIANT_TRUE;
    ASSERT_EQ(m->ServiceCall37(&flag), S_OK);
    EXPECT_EQ(flag, VARIANT_FALSE);
    ASSERT_EQ(m->ServiceCall38(VARIANT_TRUE), S_OK);
    ASSERT_EQ(m->ServiceCall37(&flag), S_OK);
    EXPECT_EQ(flag, VARIANT_TRUE);

    // An unknown name fails in the service with E_INVALIDARG; the facade answers E_FAIL.
    EXPECT_EQ(m->ServiceCall27("Nobody", &text), E_FAIL);
    service.failures["GetServiceVersion"] = E_OUTOFMEMORY;
    text = "keep";
    EXPECT_EQ(m->ServiceCall33(&text), E_FAIL);
    EXPECT_EQ(text, "keep");
    EXPECT_EQ(m->ServiceCall23(1, nullptr), E_INVALIDARG);
    EXPECT_EQ(m->ServiceCall27("Alpha", nullptr), E_INVALIDARG);
    m->Release();
}

TEST_F(CommunicationsTest, AVideoCallNeedsARunningVideoApplicationWithSomeoneSignedIn) {
    service.apps = {{"a", "Ready", false, true, COMMS_APP_RUNNING, "ann"},
                    {"b", "InCall", false, true, COMMS_APP_IN_CALL, "bob"},
                    {"c", "Nobody", false, true, COMMS_APP_RUNNING, ""},
                    {"d", "NoVideo", true, false, COMMS_APP_RUNNING, "dan"},
                    {"e", "Stopped", false, true, COMMS_APP_INSTALLED, "eve"}};
    IGraniteCommunicationsManager* m = Get();
    ASSERT_EQ(m->RefreshApplications(), S_OK);
    std::vector<bool> ready;
    for (int i = 0; i < 5; ++i) {
        ApplicationInfo a;
        ASSERT_EQ(m->GetApplication(i, &a), S_OK);
        ready.push_back(IsVideoCallCandidate(*m, a));
    }
    EXPECT_EQ(ready, (std::vector<bool>{true, true, false, false, false}));
    m->Release();
}
