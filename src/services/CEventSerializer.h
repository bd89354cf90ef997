#pragma once
// Common part of the four event serializers. A serializer implements the same event interface as its
// target: every call it receives, on any thread, becomes a record with copies of the arguments and a posted
// message carrying the event's registered name; on the user-interface thread the message loop delivers it
// by calling the same operation on the target, in posting order, and frees the record.
//
// Make the serializer on the user-interface thread and destroy it there. Service threads should post
// through a Sink(): a handle that stays valid after the serializer is gone (its events are then dropped),
// so a service still finishing a callback while its owner shuts down touches nothing that was freed.
#include "services/CEventChannel.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

template <class Interface> class CEventSerializer : public Interface {
public:
    using Channel = CEventChannel<Interface>;

    ~CEventSerializer() override {
        if (owner_)
            channel_->Close(); // frees pending records; nothing is delivered afterwards
    }
    CEventSerializer(const CEventSerializer&) = delete;
    CEventSerializer& operator=(const CEventSerializer&) = delete;

    // The object events are delivered to; null (the default) makes them vanish.
    void SetTarget(Interface* target) { channel_->SetTarget(target); }
    Interface* Target() const { return channel_->Target(); }
    // Events posted and not yet delivered (events without arguments are not counted).
    size_t PendingCount() const { return channel_->PendingCount(); }
    // The registered message of an event (by its place in the interface).
    UINT MessageOf(size_t event) const { return channel_->MessageOf(event); }
    // Name of the hidden receiver: "callback", the class name and the interface name.
    const std::string& ReceiverName() const { return channel_->ReceiverName(); }

protected:
    CEventSerializer(const std::string& className, const std::string& interfaceName,
                     const std::vector<std::string>& eventNames)
        : channel_(std::make_shared<Channel>(className, interfaceName, eventNames)), owner_(true) {}
    // A sink: posts into the same channel and leaves it open when destroyed.
    explicit CEventSerializer(std::shared_ptr<Channel> channel)
        : channel_(std::move(channel)), owner_(false) {}

    template <class... Params, class... Args>
    void Post(size_t event, void (Interface::*operation)(Params...), Args&&... args) {
        channel_->PostCall(event, operation, std::forward<Args>(args)...);
    }
    void PostPlain(size_t event) { channel_->PostPlain(event); }

    std::shared_ptr<Channel> channel_;

private:
    bool owner_;
};
