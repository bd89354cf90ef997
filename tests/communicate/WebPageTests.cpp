// Opening web pages and mail messages: the desktop's default program started from an argument list, never
// through a shell, and only web and mail addresses handed on.
#include "app/CVidoraSettings.h"
#include "communicate/CFriendMail.h"
#include "platform/WebPage.h"
#include "tests/communicate/CommunicateFixture.h"

using WebPageTest = CommunicateDesktop;

TEST_F(WebPageTest, ExecLinesTakeTheAddressAsOneArgument) {
    const std::string address = "https://example.org/a?q=\"x y\"&z=$(id)\\`;|";
    const struct {
        const char* exec;
        std::vector<std::string> argv;
    } cases[] = {
        {"webby --new-window %u", {"webby", "--new-window", address}},
        {"webby %U --private", {"webby", address, "--private"}},
        {"\"/opt/My Browser/browse\" --url=%u", {"/opt/My Browser/browse", "--url=" + address}},
        {"webby", {"webby", address}},              // no address code: appended
        {"webby %F %i", {"webby", address}},        // other codes removed
        {"webby \"%u\"", {"webby", "%u", address}}, // inside quotes a code is only text
        {"webby 100%% %u", {"webby", "100%", address}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> argv;
        ASSERT_TRUE(WebPage::CommandForExec(c.exec, address, &argv)) << c.exec;
        EXPECT_EQ(argv, c.argv) << c.exec;
    }
    std::vector<std::string> argv;
    EXPECT_FALSE(WebPage::CommandForExec("\"webby %u", address, &argv));
    EXPECT_FALSE(WebPage::CommandForExec("   ", address, &argv));
}

TEST_F(WebPageTest, TheDefaultBrowserOfTheDesktopIsStartedWithoutAShell) {
    env.WriteFile("data/applications/org.example.Webby.desktop",
                  "[Desktop Entry]\nType=Application\nName=Webby\nExec=webby --new-window %u\n");
    env.WriteFile("share/applications/other.desktop",
                  "[Desktop Entry]\nType=Application\nName=Other\nExec=other %U\n"
                  "MimeType=x-scheme-handler/https;x-scheme-handler/http;\n");
    env.WriteFile("config/mimeapps.list",
                  "[Default Applications]\nx-scheme-handler/https=org.example.Webby.desktop\n");
    const std::string address = "https://example.org/p?q=a;b&c=$(id)";
    EXPECT_TRUE(OpenWebPage(address));
    EXPECT_EQ(launcher.Started(),
              (std::vector<std::vector<std::string>>{{"webby", "--new-window", address}}));
    EXPECT_TRUE(opened.empty());
    // An http address goes to the default web browser too, not to a program that merely handles http.
    launcher.Clear();
    EXPECT_TRUE(OpenWebPage("http://example.org/"));
    ASSERT_EQ(launcher.Started().size(), 1u);
    EXPECT_EQ(launcher.Started()[0].front(), "webby");
    // A browser that does not start: the desktop's own opener takes the address.
    launcher.Clear();
    launcher.SetSucceeds(false);
    EXPECT_TRUE(OpenWebPage(address));
    EXPECT_EQ(opened, std::vector<std::string>{address});
}

TEST_F(WebPageTest, WithoutADefaultBrowserTheDesktopOpensTheAddress) {
    EXPECT_TRUE(OpenWebPage("mailto:friend@example.org"));
    EXPECT_TRUE(launcher.Started().empty());
    EXPECT_EQ(opened, std::vector<std::string>{"mailto:friend@example.org"});
    // Addresses other than web and mail addresses are refused before anything is asked.
    opened.clear();
    for (const char* refused : {"file:///etc/passwd", "javascript:alert(1)", "webby --help", ""})
        EXPECT_FALSE(OpenWebPage(refused)) << refused;
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(launcher.Started().empty());
}

TEST_F(WebPageTest, AMessageToAFriendOpensInTheMailProgramChosenInThePreferencesElseTheDesktopDefault) {
    for (const char* name : {"Postie", "Letters"}) {
        env.WriteFile(std::string("share/applications/") + name + ".desktop",
                      std::string("[Desktop Entry]\nType=Application\nName=") + name + "\nExec=" + name +
                          " --compose %u\nMimeType=x-scheme-handler/mailto;\n");
    }
    env.WriteFile("config/mimeapps.list", "[Default Applications]\nx-scheme-handler/mailto=Postie.desktop\n");
    const std::string address = CFriendMail::Address("Hi & hello", "A camera; try it");
    EXPECT_EQ(address, "mailto:?subject=Hi%20%26%20hello&body=A%20camera%3B%20try%20it");
    for (const char* chosen : {"", "letters", "Gone Mail"}) {
        CVidoraSettings::SetEmailClient(chosen);
        launcher.Clear();
        ASSERT_TRUE(CFriendMail::Compose("Hi & hello", "A camera; try it")) << chosen;
        const std::string program = std::string(chosen) == "letters" ? "Letters" : "Postie";
        EXPECT_EQ(launcher.Started(),
                  (std::vector<std::vector<std::string>>{{program, "--compose", address}}))
            << chosen;
    }
}
