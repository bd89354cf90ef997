#include "granite/comms/CCallingProgramCatalogue.h"

namespace Granite {

const std::vector<KnownCallingProgram>& CCallingProgramCatalogue::Programs() {
    // Process names are compared with the kernel's 15-character command name and with the program file's
    // name, so both the long and the cut form work.
    static const std::vector<KnownCallingProgram> programs = {
        {{"skypeforlinux.desktop", "com.skype.Client.desktop", "skype_skypeforlinux.desktop"},
         {"skypeforlinux", "skype"},
         true,
         true},
        {{"Zoom.desktop", "zoom.desktop", "us.zoom.Zoom.desktop", "zoom-client_zoom-client.desktop"},
         {"zoom", "ZoomLauncher"},
         true,
         true},
        {{"teams.desktop", "teams-for-linux.desktop", "com.github.IsmaelMartinez.teams_for_linux.desktop",
          "teams-for-linux_teams-for-linux.desktop"},
         {"teams", "teams-for-linux"},
         true,
         true},
        {{"jitsi-meet.desktop", "org.jitsi.jitsi-meet.desktop"}, {"jitsi-meet"}, true, true},
        {{"signal-desktop.desktop", "org.signal.Signal.desktop", "signal-desktop_signal-desktop.desktop"},
         {"signal-desktop"},
         true,
         true},
        {{"org.telegram.desktop.desktop", "telegramdesktop.desktop",
          "telegram-desktop_telegram-desktop.desktop"},
         {"telegram-desktop", "Telegram"},
         true,
         true},
        {{"discord.desktop", "com.discordapp.Discord.desktop", "discord_discord.desktop"},
         {"Discord", "discord"},
         true,
         true},
        {{"element-desktop.desktop", "im.riot.Riot.desktop", "io.element.Element.desktop"},
         {"element-desktop", "Element"},
         true,
         true},
        {{"slack.desktop", "com.slack.Slack.desktop", "slack_slack.desktop"}, {"slack"}, true, true},
        {{"jami.desktop", "jami-gnome.desktop", "net.jami.Jami.desktop"},
         {"jami", "jami-gnome", "jami-qt"},
         true,
         true},
        {{"linphone.desktop", "com.belledonnecommunications.linphone.desktop"}, {"linphone"}, true, true},
        {{"org.gnome.Ekiga.desktop", "ekiga.desktop"}, {"ekiga"}, true, true},
        {{"empathy.desktop"}, {"empathy"}, true, true},
        {{"im.dino.Dino.desktop", "dino.desktop"}, {"dino"}, true, true},
        {{"webex.desktop", "Webex.desktop"}, {"CiscoCollabHost", "webex"}, true, true},
        {{"viber.desktop", "com.viber.Viber.desktop"}, {"Viber", "viber"}, true, true},
        {{"wire-desktop.desktop", "com.wire.WireDesktop.desktop"}, {"wire-desktop"}, true, true},
        {{"org.gnome.Calls.desktop"}, {"gnome-calls"}, false, false},
        {{"pidgin.desktop", "im.pidgin.Pidgin.desktop"}, {"pidgin"}, false, true},
        {{"org.gajim.Gajim.desktop", "gajim.desktop"}, {"gajim"}, false, true},
        {{"org.kde.neochat.desktop"}, {"neochat"}, false, true},
        {{"mumble.desktop", "info.mumble.Mumble.desktop"}, {"mumble"}, false, true},
        {{"whatsapp-for-linux.desktop", "com.github.eneshecan.WhatsAppForLinux.desktop"},
         {"whatsapp-for-linux"},
         false,
         true},
    };
    return programs;
}

const KnownCallingProgram* CCallingProgramCatalogue::Find(const std::string& desktopId) {
    for (const KnownCallingProgram& program : Programs()) {
        for (const std::string& id : program.desktopIds) {
            if (id == desktopId)
                return &program;
        }
    }
    return nullptr;
}

} // namespace Granite
