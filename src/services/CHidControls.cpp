// HID devices: the mode switch, its reports and the device's value.
#include "services/CHidControls.h"

#include <vector>

using namespace GdmProperty;

namespace {

// The HID report that switches the device's mode: report id 1, then the command byte, zero-padded.
constexpr size_t kHidReportSize = 33;

std::vector<uint8_t> HidReport(uint8_t command) {
    std::vector<uint8_t> report(kHidReportSize, 0);
    report[0] = 1;
    report[1] = command;
    return report;
}

} // namespace

CHidControls::CHidControls(IInProcDeviceManager* const& service, CDevicePropertyAccess& props)
    : service_(service), props_(props) {}

HRESULT CHidControls::DisableHidProperty5(const std::string& hidId) {
    return props_.SetHidValue(hidId, HidSwitch5, Variant::FromBool(false));
}

HRESULT CHidControls::EnableHidProperty5(const std::string& hidId) {
    return props_.SetHidValue(hidId, HidSwitch5, Variant::FromBool(true));
}

HRESULT CHidControls::SetHidProperty4(const std::string& hidId) {
    return props_.SetHidValue(hidId, HidReport4, Variant::FromBytes(HidReport(0x20)));
}

HRESULT CHidControls::SetHidProperty4b(const std::string& hidId) {
    return props_.SetHidValue(hidId, HidReport4, Variant::FromBytes(HidReport(0x25)));
}

bool CHidControls::IsHidProperty5Supported(const std::string& hidId) {
    return service_ != nullptr && !hidId.empty() && props_.IsAvailable(Kind::Hid, hidId, HidSwitch5);
}

bool CHidControls::GetHidProperty5(const std::string& hidId) {
    int32_t value = 0;
    return service_ != nullptr && !hidId.empty() &&
           SUCCEEDED(props_.ReadLong(Kind::Hid, hidId, HidSwitch5, &value)) && value != 0;
}

HRESULT CHidControls::SetHidProperty6(const std::string& hidId, int32_t value) {
    return props_.SetHidValue(hidId, HidValue6, Variant::FromI4(value));
}

HRESULT CHidControls::GetHidProperty6(const std::string& hidId, int32_t* value) {
    if (service_ == nullptr || hidId.empty() || value == nullptr)
        return E_FAIL;
    return props_.ReadLong(Kind::Hid, hidId, HidValue6, value);
}
