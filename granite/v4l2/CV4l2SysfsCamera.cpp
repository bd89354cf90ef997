#include "granite/v4l2/CV4l2SysfsCamera.h"

#include "platform/TextUtil.h"

#include <cctype>
#include <filesystem>
#include <fstream>

namespace Granite {
namespace {
namespace fs = std::filesystem;

std::string ReadLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return Text::Trim(line);
}

bool ReadHex(const fs::path& file, uint16_t& value) {
    const std::string text = ReadLine(file);
    if (text.empty() || text.size() > 4 ||
        text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    value = static_cast<uint16_t>(std::stoul(text, nullptr, 16));
    return true;
}

// Letters and digits only: the instance must not carry the id's own separators.
std::string Clean(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.')
            out += c;
    }
    return out.substr(0, 64);
}
} // namespace

bool CV4l2SysfsCamera::Read(const std::string& sysfsRoot, const std::string& node, V4l2SysfsCamera& camera) {
    if (node.empty() || node.find('/') != std::string::npos || node.find("..") != std::string::npos)
        return false;
    const fs::path dir = fs::path(sysfsRoot) / "class" / "video4linux" / node;
    std::error_code error;
    if (!fs::exists(dir, error))
        return false;
    camera = V4l2SysfsCamera{};
    camera.node = node;
    camera.name = ReadLine(dir / "name");
    // The device link points at the USB interface; its parent is the USB device.
    const fs::path interface = fs::canonical(dir / "device", error);
    if (!error) {
        const fs::path usb = interface.parent_path();
        uint16_t vid = 0, pid = 0;
        if (ReadHex(usb / "idVendor", vid) && ReadHex(usb / "idProduct", pid)) {
            camera.vendorId = vid;
            camera.productId = pid;
            ReadHex(usb / "bcdDevice", camera.release);
            camera.serial = Clean(ReadLine(usb / "serial"));
            camera.port = Clean(usb.filename().string());
            uint16_t number = 0;
            if (ReadHex(interface / "bInterfaceNumber", number))
                camera.interfaceNumber = number;
        }
    }
    camera.id = MakeId(camera);
    return true;
}

std::string CV4l2SysfsCamera::MakeId(const V4l2SysfsCamera& c) {
    std::string instance;
    if (!c.serial.empty())
        instance = "sn-" + c.serial;
    else if (!c.port.empty())
        instance = "port-" + c.port;
    else
        instance = "node-" + c.node; // not on USB: nothing steadier to go by
    return Text::Format("\\\\?\\usb#vid_%04x&pid_%04x&mi_%02x#", c.vendorId, c.productId, c.interfaceNumber) +
           instance + "\\v4l2";
}

} // namespace Granite
