#include "support/CFakeV4l2Camera.h"

#include <filesystem>
#include <fstream>

std::unique_ptr<Granite::IV4l2Device> CFakeV4l2Opener::Open(const std::string& devnode) {
    struct Handle : Granite::IV4l2Device {
        std::shared_ptr<CFakeV4l2Camera> camera;
        int Ioctl(unsigned long request, void* argument) override { return camera->Ioctl(request, argument); }
        bool WaitForEvent(std::chrono::milliseconds timeout) override {
            return camera->WaitForEvent(timeout);
        }
    };
    auto it = nodes.find(devnode);
    if (it == nodes.end())
        return nullptr;
    auto handle = std::make_unique<Handle>();
    handle->camera = it->second;
    return handle;
}

void WriteFakeSysfsNode(const std::string& root, const std::string& node, const std::string& name,
                        const std::string& port, const std::string& vendor, const std::string& product,
                        const std::string& serial) {
    namespace fs = std::filesystem;
    auto write = [](const fs::path& file, const std::string& text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text << "\n";
    };
    const fs::path usb = fs::path(root) / "devices" / "usb1" / port, interface = usb / (port + ":1.0");
    write(usb / "idVendor", vendor);
    write(usb / "idProduct", product);
    write(usb / "bcdDevice", "0011");
    if (!serial.empty())
        write(usb / "serial", serial);
    write(interface / "bInterfaceNumber", "00");
    const fs::path dir = fs::path(root) / "class" / "video4linux" / node;
    write(dir / "name", name);
    fs::create_directory_symlink(interface, dir / "device");
}
