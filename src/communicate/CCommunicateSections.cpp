#include "communicate/CCommunicateSections.h"

namespace {

constexpr std::array<CCommunicateSections::Info, CCommunicateSections::kCount> kSections{{
    {1174, 306, 125, 1753},
    {1175, 307, 126, 1754},
    {1176, 308, 127, 1755},
    {1177, 309, 128, 1756},
    {1178, 310, 129, 1757},
    // String 364 is taken by a gallery message; the gadgets title has an id of its own.
    {1179, 461, 1750, 1758},
}};

} // namespace

const CCommunicateSections::Info& CCommunicateSections::InfoOf(Section section) {
    return kSections[static_cast<size_t>(section)];
}

bool CCommunicateSections::FromButton(int button, Section& section) {
    for (int i = 0; i < kCount; ++i) {
        if (kSections[static_cast<size_t>(i)].button == button) {
            section = At(i);
            return true;
        }
    }
    return false;
}

std::array<bool, CCommunicateSections::kCount> CCommunicateSections::ShownButtons(const Offers& offers) {
    std::array<bool, kCount> shown{};
    shown[IndexOf(Section::VideoCalling)] = offers.videoCalling;
    shown[IndexOf(Section::EditTools)] = offers.editTools;
    shown[IndexOf(Section::VideoSnap)] = offers.videoSnap;
    shown[IndexOf(Section::VideoBlogging)] = offers.videoBlogging;
    shown[IndexOf(Section::TellAFriend)] = true;
    shown[IndexOf(Section::Gadgets)] = offers.gadgets;
    return shown;
}

std::array<CCommunicateSections::Section, 5> CCommunicateSections::HidingOrder() {
    return {Section::VideoCalling, Section::EditTools, Section::VideoBlogging, Section::VideoSnap,
            Section::Gadgets};
}

CCommunicateSections::Section CCommunicateSections::FirstOpened(const Offers& offers) {
    if (offers.videoCalling)
        return Section::VideoCalling;
    if (offers.videoBlogging)
        return Section::VideoBlogging;
    if (offers.editTools)
        return Section::EditTools;
    if (offers.videoSnap)
        return Section::VideoSnap;
    return Section::TellAFriend;
}
