#include "capture/CCameraMessageText.h"

#include "platform/TextUtil.h"
#include "services/IGraniteDeviceManager.h"
#include "ui/CDialogBase.h"

namespace {

constexpr uint32_t kCameraBusy = 153;
constexpr uint32_t kCloseOtherProgram = 351;
constexpr uint32_t kBusyWithName = 370;
constexpr uint32_t kCloseNamedProgram = 371;
constexpr uint32_t kHolderUnknown = 152;
constexpr uint32_t kNoCamera = 234;
constexpr uint32_t kConnectCamera = 233;

// The byte length of the first `count` code points of a UTF-8 text (the whole text when shorter). A
// continuation byte never starts a code point, so a name is never cut inside a character.
size_t PrefixBytes(const std::string& text, size_t count) {
    size_t points = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) != 0x80) {
            if (points == count)
                return i;
            ++points;
        }
    }
    return text.size();
}

std::string WithName(uint32_t id, const std::string& quotedName) {
    return Text::ReplaceAll(CDialogBase::LoadString(id), "%s", quotedName);
}

} // namespace

std::string CCameraMessageText::QuotedHolderName(const std::string& name) {
    std::string shown = name;
    if (Text::CodePointCount(name) > kMaxHolderNameChars)
        shown = name.substr(0, PrefixBytes(name, kMaxHolderNameChars)) + "...";
    return "\"" + shown + "\"";
}

CameraMessageTexts CCameraMessageText::Busy(IGraniteDeviceManager* deviceManager, uint32_t platformMajor,
                                            uint32_t platformMinor) {
    CameraMessageTexts texts{CDialogBase::LoadString(kCameraBusy), {}};
    if (platformMajor >= 5 && platformMinor != 0) {
        texts.second = CDialogBase::LoadString(kCloseOtherProgram);
        return texts;
    }
    // Strings 0 of the current camera: the program holding it, then its executable.
    std::string holder, executable;
    if (deviceManager == nullptr || FAILED(deviceManager->GetDeviceStrings(0, holder, executable)) ||
        Text::Trim(holder).empty()) {
        texts.second = CDialogBase::LoadString(kHolderUnknown);
        return texts;
    }
    const std::string quoted = QuotedHolderName(holder);
    texts.first = WithName(kBusyWithName, quoted);
    texts.second = WithName(kCloseNamedProgram, quoted);
    return texts;
}

CameraMessageTexts CCameraMessageText::NoCamera() {
    return {CDialogBase::LoadString(kNoCamera), CDialogBase::LoadString(kConnectCamera)};
}
