#pragma once
// The communicate window's six sections and the rules for which of them a user is offered, without any
// window: the section buttons in column order, which buttons stay, and which section opens first.
#include <array>
#include <cstddef>
#include <cstdint>

class CCommunicateSections {
public:
    // In the order of the button column, top to bottom.
    enum class Section { VideoCalling = 0, EditTools, VideoSnap, VideoBlogging, TellAFriend, Gadgets };
    static constexpr int kCount = 6;

    struct Info {
        int button;            // the section button's control id
        uint32_t paneTemplate; // the sub-pane's dialog template
        uint32_t title;        // the window title while the section is open
        uint32_t label;        // the short name drawn on the button
    };
    static const Info& InfoOf(Section section);
    static Section At(int index) { return static_cast<Section>(index); }
    static int IndexOf(Section section) { return static_cast<int>(section); }
    // The section of a button id; false for any other id.
    static bool FromButton(int button, Section& section);

    // What the configuration documents and the OEM switches offer.
    struct Offers {
        bool videoCalling = true; // the calling-applications list was read
        bool editTools = true;    // each tool document has a tool to show
        bool videoBlogging = true;
        bool videoSnap = true;
        bool gadgets = true; // the OEM feature "GadgetsPane"
    };
    // The buttons the window keeps (indexed by section). Tell a friend is always kept.
    static std::array<bool, kCount> ShownButtons(const Offers& offers);
    // The buttons to hide, in the order the window hides them (every button below a hidden one moves up).
    static std::array<Section, 5> HidingOrder();
    // The section opened with the window: the first offered of video calling, video blogging, edit tools and
    // video snap, else tell a friend.
    static Section FirstOpened(const Offers& offers);
};
