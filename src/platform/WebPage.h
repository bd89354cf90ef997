#pragma once
// Opening a web address in the user's default browser. The browser is the desktop's default application
// for the address's scheme (x-scheme-handler/https and so on in the mimeapps.list files); its desktop
// entry's Exec line is started through the process launcher with the address as one argument in place of
// %u or %U (appended when the line has neither), other field codes removed, never through a shell. When
// there is no default application, or it cannot be started, the address goes to the desktop's own opener
// (DesktopLinks). Only http, https and mailto addresses are opened.
#include <string>
#include <vector>

// True when the address was handed to a browser or to the desktop; false when it is refused or nothing
// could take it.
bool OpenWebPage(const std::string& address);

namespace WebPage {

// The argument list that starts the default application for the address; false when there is none (no
// default, its entry missing or unusable, or a refused address).
bool DefaultBrowserCommand(const std::string& address, std::vector<std::string>* argv);
// The argument list of an Exec line (string escapes undone) with the address in place of its %u/%U: the
// address is one argument, whatever it contains. False when the line cannot be started.
bool CommandForExec(const std::string& exec, const std::string& address, std::vector<std::string>* argv);

} // namespace WebPage
