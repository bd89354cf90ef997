#pragma once
// The typed part of an event serializer's channel: records that call one operation of the target interface
// with copies of the arguments, and the target itself.
#include "services/CEventChannelBase.h"

#include <atomic>
#include <exception>
#include <new>
#include <tuple>
#include <type_traits>
#include <utility>

template <class Interface> class CEventChannel : public CEventChannelBase {
public:
    using CEventChannelBase::CEventChannelBase;

    // Any thread; null makes delivered events vanish.
    void SetTarget(Interface* target) { target_.store(target, std::memory_order_release); }
    Interface* Target() const { return target_.load(std::memory_order_acquire); }

    // Any thread: copies the arguments into a record and posts it. The arguments are copied by value
    // (strings and variants deeply), so the caller may free its own at once. An event whose record cannot
    // be made is lost.
    template <class... Params, class... Args>
    void PostCall(size_t event, void (Interface::*operation)(Params...), Args&&... args) {
        std::unique_ptr<Record> record;
        try {
            record = std::make_unique<Invocation<Params...>>(event, operation, std::forward<Args>(args)...);
        } catch (const std::exception&) {
            return;
        }
        Post(std::move(record));
    }

    // Any thread: an event without arguments; `operation` is what its delivery calls.
    void SetPlainOperation(size_t event, void (Interface::*operation)()) {
        if (plain_.size() <= event)
            plain_.resize(event + 1, nullptr);
        plain_[event] = operation;
    }

protected:
    void Deliver(size_t event, const Record* record) override {
        Interface* target = Target();
        if (target == nullptr)
            return;
        if (record != nullptr)
            static_cast<const TypedRecord*>(record)->Invoke(*target);
        else if (event < plain_.size() && plain_[event] != nullptr)
            (target->*plain_[event])();
    }

private:
    struct TypedRecord : Record {
        virtual void Invoke(Interface& target) const = 0;
    };

    template <class... Params> struct Invocation final : TypedRecord {
        template <class... Args>
        Invocation(size_t eventIndex, void (Interface::*op)(Params...), Args&&... args)
            : operation(op), values(std::forward<Args>(args)...) {
            this->event = eventIndex;
            RecordMade();
        }
        ~Invocation() override { RecordFreed(); }
        void Invoke(Interface& target) const override {
            std::apply([&](const auto&... v) { (target.*operation)(v...); }, values);
        }
        void (Interface::*operation)(Params...);
        std::tuple<std::decay_t<Params>...> values;
    };

    std::atomic<Interface*> target_{nullptr};
    std::vector<void (Interface::*)()> plain_; // set at construction, before any event is posted
};
