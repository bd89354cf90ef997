#include "services/DeviceEntry.h"

#include "services/IInProcDeviceManager.h"

#include <utility>

DeviceEntry::DeviceEntry(std::string name_, std::string id_, int32_t productId_, int32_t vendorId_,
                         int32_t revision_)
    : name(std::move(name_)), id(std::move(id_)), productId(productId_), vendorId(vendorId_),
      revision(revision_) {}

DeviceEntry::~DeviceEntry() {
    if (service_ == nullptr)
        return;
    for (int32_t code : kListEventCodes)
        service_->UnsubscribeVideoEvent(id, code, 0);
    service_->Release();
}

void DeviceEntry::SubscribeListEvents(IInProcDeviceManager* service) {
    if (service == nullptr || service_ != nullptr)
        return;
    service_ = service;
    service_->AddRef();
    for (int32_t code : kListEventCodes)
        service_->SubscribeVideoEvent(id, code, 0);
}

bool DeviceEntry::GetValue(const std::string& key, int32_t* value) const {
    auto it = values_.find(key);
    if (it == values_.end())
        return false;
    *value = it->second;
    return true;
}
