#pragma once
// The queue of messages waiting for one receiver (a window, or the hidden receiver of an event serializer).
// Any thread may post; the receiver's thread delivers. Each post puts the message in the queue and posts one
// wake-up event to the receiver's object; each wake-up delivers the oldest queued message. The queue, not the
// event loop, keeps the order, so messages of one kind can be taken out again exactly (RemovePostedMessages)
// and a receiver that is gone simply finds nothing more to deliver.
//
// Lifetime: the queue is shared. Whoever holds it (a CWindowHandle) can post safely after the receiver is
// gone: once Close() has returned, posts fail and no other thread touches the receiver again.
#include "platform/WindowMessages.h"

#include <QEvent>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

class QObject;

// What a queue delivers to.
class IMessageReceiver {
public:
    // The object that gets the wake-up events; it lives on the delivering thread and must hand every event
    // for which CMessageQueue::IsWakeEvent is true to CMessageQueue::DeliverNext.
    virtual QObject* ReceiverObject() = 0;
    virtual LRESULT ReceiveMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

protected:
    virtual ~IMessageReceiver() = default;
};

// The answer to a message sent from another thread; shared by the sender and the queue so that either may
// go away first.
class CSentMessageReply {
public:
    void Complete(LRESULT result);
    // The receiver went away before handling the message.
    void Cancel();
    // Waits for the answer; a negative timeout waits without limit. True when the message was handled in
    // time, with its result.
    bool Wait(int64_t timeoutMs, LRESULT* result);

private:
    enum class State { Waiting, Answered, Cancelled };
    std::mutex lock_;
    std::condition_variable changed_;
    State state_ = State::Waiting;
    LRESULT result_ = 0;
};

struct QueuedMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::shared_ptr<CSentMessageReply> reply; // set when another thread waits for the answer
};

class CMessageQueue : public std::enable_shared_from_this<CMessageQueue> {
public:
    static std::shared_ptr<CMessageQueue> Create();
    ~CMessageQueue();

    // Starts accepting messages for the receiver. Call on the receiver's thread.
    void Open(IMessageReceiver* receiver);
    // Stops accepting messages, drops what is queued and cancels waiting senders. Call on the receiver's
    // thread before the receiver goes away; afterwards no other thread reaches the receiver through this
    // queue.
    void Close();
    bool IsOpen() const;

    // Any thread. False (and nothing queued) when the queue is closed.
    bool Post(UINT message, WPARAM wParam, LPARAM lParam);
    // Any thread: delivers the message and waits for its answer at most timeoutMs (negative: no limit).
    // On the receiver's own thread the receiver is called directly. False when the queue is closed, the
    // receiver went away first or the time ran out.
    bool Send(UINT message, WPARAM wParam, LPARAM lParam, int64_t timeoutMs, LRESULT* result);
    // Any thread: takes every posted (not sent) message of this kind out of the queue; the number removed.
    size_t Remove(UINT message);
    // Any thread other than the receiver's: queues a message whose answer the caller collects from the
    // returned reply; null when the queue is closed.
    std::shared_ptr<CSentMessageReply> SendNoWait(UINT message, WPARAM wParam, LPARAM lParam);
    // Posted messages of this kind still waiting; Size() counts every queued message.
    size_t Count(UINT message) const;
    size_t Size() const;

    static QEvent::Type WakeEventType();
    static bool IsWakeEvent(const QEvent* event);
    // Receiver's thread: delivers the oldest queued message, if any. The queue may be closed or the receiver
    // destroyed by the message's handler.
    void DeliverNext();

private:
    CMessageQueue() = default;
    bool Enqueue(QueuedMessage message);
    bool OnReceiverThread() const;

    mutable std::mutex lock_;
    std::deque<QueuedMessage> queue_;
    IMessageReceiver* receiver_ = nullptr;
    QObject* object_ = nullptr;
};
