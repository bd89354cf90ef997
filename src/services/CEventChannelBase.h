#pragma once
// What the event serializers share: a hidden receiver on the user-interface thread, a message queue that
// any thread posts to, one registered message per event, and the records of events posted but not yet
// delivered.
//
// Ownership: the channel is shared. The serializer that made it closes it when it is destroyed; the handles
// it gives to service threads (its Sink()) keep the channel alive, so a service thread can still post
// through one while, or after, the serializer is destroyed: the event is then dropped and its record freed
// at once. Once Close() has returned no event is delivered any more and every pending record is freed.
#include "platform/CMessageQueue.h"

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

class QObject;

class CEventChannelBase : public std::enable_shared_from_this<CEventChannelBase>, private IMessageReceiver {
public:
    // One argument record: a deep copy of every argument of one event.
    struct Record {
        virtual ~Record() = default;
        size_t event = 0;
    };

    // Registers one message per event ("<className><eventName>") and makes the hidden receiver, named
    // "callback<className><interfaceName>", on the user-interface thread.
    CEventChannelBase(const std::string& className, const std::string& interfaceName,
                      const std::vector<std::string>& eventNames);
    ~CEventChannelBase() override;
    CEventChannelBase(const CEventChannelBase&) = delete;
    CEventChannelBase& operator=(const CEventChannelBase&) = delete;

    // Any thread. Queues the record for delivery; false (and the record freed) when the channel is closed.
    bool Post(std::unique_ptr<Record> record);
    // Any thread. An event without arguments: a message without a record.
    bool PostPlain(size_t event);
    // User-interface thread. Frees every pending record; nothing is delivered afterwards.
    void Close();
    bool IsClosed() const;

    // Records posted but not yet delivered.
    size_t PendingCount() const;
    UINT MessageOf(size_t event) const { return messages_.at(event); }
    const std::string& ReceiverName() const { return receiverName_; }
    // Records alive in the whole process (for leak checks in tests).
    static size_t LiveRecords() { return liveRecords_.load(); }

protected:
    // User-interface thread: the event's call on the target. `record` is null for events without arguments.
    virtual void Deliver(size_t event, const Record* record) = 0;
    // Counts records, so tests can see that none is lost or leaked.
    static void RecordMade() { ++liveRecords_; }
    static void RecordFreed() { --liveRecords_; }

private:
    class CReceiver;

    QObject* ReceiverObject() override;
    LRESULT ReceiveMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    mutable std::mutex lock_; // guards pending_ and closed_
    bool closed_ = false;
    std::deque<std::unique_ptr<Record>> pending_;
    std::shared_ptr<CMessageQueue> queue_;
    CReceiver* receiver_ = nullptr;
    std::string receiverName_;
    std::vector<UINT> messages_;
    std::unordered_map<UINT, size_t> events_;
    static std::atomic<size_t> liveRecords_;
};
