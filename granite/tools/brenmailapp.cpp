// The mail-sending program the camera program starts with the path of a mail description. It checks the
// description and hands subject, body and attachments to the desktop's mail program through xdg-email, as
// an argument list: nothing of the description ever reaches a shell.
//
// Exit codes: 0 the mail program ran and succeeded (otherwise its own code), 2 wrong use, 3 a description
// that is unreadable or malformed, 4 xdg-email could not be started.
#include "granite/mail/CMailDescription.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '\0') {
        std::fprintf(stderr, "usage: brenmailapp.exe <mail description file>\n");
        return 2;
    }
    Granite::CMailDescription description;
    if (!description.Load(argv[1])) {
        std::fprintf(stderr, "brenmailapp: %s: %s; nothing was sent\n", argv[1], description.Error().c_str());
        return 3;
    }
    // The client name the program wrote is the user's choice of mail program; the desktop's default mail
    // program (which xdg-email starts) is what the user chose on this desktop, so it is taken as that.
    std::vector<std::string> command = description.MailCommand();
    std::vector<char*> args;
    for (std::string& arg : command)
        args.push_back(arg.data());
    args.push_back(nullptr);
    std::fflush(nullptr);
    execvp(args[0], args.data());
    std::fprintf(stderr, "brenmailapp: %s could not be started: %s\n", args[0], std::strerror(errno));
    return 4;
}
