#pragma once
// A new message in the user's mail program, with its subject and text filled in and no recipient: the user
// picks the friend. The mail program is the one chosen in the preferences ("EmailClient"), else the desktop's
// default for mailto addresses, started from an argument list through the process launcher (never a shell).
#include <string>

class CFriendMail {
public:
    // "mailto:?subject=...&body=..." with both texts percent-encoded.
    static std::string Address(const std::string& subject, const std::string& body);
    // False when the desktop names no usable mail program or it could not be started.
    static bool Compose(const std::string& subject, const std::string& body);
};
