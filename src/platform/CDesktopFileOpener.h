#pragma once
// Opens files with the desktop's default application, and offers the desktop's "open with" chooser when no
// application is associated with a file's type.
//
// Whether an application is associated is decided the way the freedesktop desktops do it: the file's MIME
// type (and the types it derives from) is looked up in the users' and the system's mimeapps.list files
// (default and added associations, minus removed ones) and in the applications folders' mimeinfo.cache
// (or, where a folder has no cache, in its desktop entries), and an association counts only when its
// desktop entry exists. The file itself is opened through Qt's desktop services; the chooser is the XDG
// desktop portal's OpenURI.OpenFile with "ask" set, handed a descriptor of the file. Nothing goes through
// a shell.
//
// Tests replace the three desktop actions with a hook.
#include <functional>
#include <string>
#include <vector>

class CDesktopFileOpener {
public:
    enum class Result {
        Opened,        // handed to the default application
        ChooserShown,  // no default application; the desktop's chooser was offered
        NoApplication, // no default application and no chooser: the caller tells the user
        Failed,        // the file could not be handed over
    };

    struct Desktop {
        // Opens a file with its default application; false when the desktop could not.
        std::function<bool(const std::string& path)> openDefault;
        // Whether the desktop portal is on the session bus.
        std::function<bool()> portalAvailable;
        // Offers the portal's chooser for a file; false when the call failed.
        std::function<bool(const std::string& path)> openWithChooser;
    };
    // Replaces the desktop actions whose functions are set; an empty Desktop restores the real ones.
    static void SetDesktopHook(Desktop desktop);

    // Opens a file: its default application when one is associated, otherwise the chooser when the portal
    // is there. NoApplication when neither exists.
    static Result Open(const std::string& path);
    // Offers the chooser for a file; without the portal the file goes to the desktop's own opener, which
    // asks on some desktops. False when neither could take it.
    static bool OpenWith(const std::string& path);

    // The MIME type of a file, from its name and content.
    static std::string MimeTypeOf(const std::string& path);
    // Whether an installed application is associated with a MIME type or one it derives from.
    static bool HasAssociatedApplication(const std::string& mimeType);
    // The desktop entries (ids such as "org.example.Viewer.desktop") associated with one MIME type exactly,
    // defaults first, without removed ones and without entries that are not installed.
    static std::vector<std::string> AssociatedApplications(const std::string& mimeType);

    // The real actions.
    static bool DesktopOpen(const std::string& path);
    static bool PortalAvailable();
    static bool PortalOpenWith(const std::string& path);
};
