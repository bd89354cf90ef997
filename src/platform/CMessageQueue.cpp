#include "platform/CMessageQueue.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>

#include <chrono>

// Qt hands a posted event from the posting thread to the receiving one under its own lock, which the thread
// sanitizer cannot see (it is not built into Qt); these annotations tell it about that hand-over.
#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
#define HANDED_OVER(event) __tsan_release(const_cast<QEvent*>(event))
#define TAKEN_OVER(event) __tsan_acquire(const_cast<QEvent*>(event))
#else
#define HANDED_OVER(event) ((void)(event))
#define TAKEN_OVER(event) ((void)(event))
#endif

void CSentMessageReply::Complete(LRESULT result) {
    {
        std::lock_guard guard(lock_);
        if (state_ != State::Waiting)
            return;
        state_ = State::Answered;
        result_ = result;
    }
    changed_.notify_all();
}

void CSentMessageReply::Cancel() {
    {
        std::lock_guard guard(lock_);
        if (state_ != State::Waiting)
            return;
        state_ = State::Cancelled;
    }
    changed_.notify_all();
}

bool CSentMessageReply::Wait(int64_t timeoutMs, LRESULT* result) {
    std::unique_lock guard(lock_);
    auto done = [this] { return state_ != State::Waiting; };
    if (timeoutMs < 0)
        changed_.wait(guard, done);
    else
        changed_.wait_for(guard, std::chrono::milliseconds(timeoutMs), done);
    if (state_ != State::Answered)
        return false;
    if (result != nullptr)
        *result = result_;
    return true;
}

std::shared_ptr<CMessageQueue> CMessageQueue::Create() {
    return std::shared_ptr<CMessageQueue>(new CMessageQueue());
}

CMessageQueue::~CMessageQueue() {
    for (QueuedMessage& m : queue_)
        if (m.reply)
            m.reply->Cancel();
}

bool CMessageQueue::IsWakeEvent(const QEvent* event) {
    TAKEN_OVER(event);
    return event->type() == WakeEventType();
}

QEvent::Type CMessageQueue::WakeEventType() {
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void CMessageQueue::Open(IMessageReceiver* receiver) {
    std::lock_guard guard(lock_);
    receiver_ = receiver;
    object_ = receiver != nullptr ? receiver->ReceiverObject() : nullptr;
}

void CMessageQueue::Close() {
    std::deque<QueuedMessage> dropped;
    {
        std::lock_guard guard(lock_);
        receiver_ = nullptr;
        object_ = nullptr;
        dropped.swap(queue_);
    }
    // Wake-up events already posted stay in the event loop until the receiver's object is destroyed (which
    // removes them) or are delivered and find the queue empty.
    for (QueuedMessage& m : dropped)
        if (m.reply)
            m.reply->Cancel();
}

bool CMessageQueue::IsOpen() const {
    std::lock_guard guard(lock_);
    return receiver_ != nullptr;
}

bool CMessageQueue::Enqueue(QueuedMessage message) {
    std::lock_guard guard(lock_);
    if (object_ == nullptr)
        return false;
    queue_.push_back(std::move(message));
    // Posted while the lock is held: Close() cannot complete, so the object cannot be destroyed, in between.
    auto* wake = new QEvent(WakeEventType());
    HANDED_OVER(wake);
    QCoreApplication::postEvent(object_, wake);
    return true;
}

bool CMessageQueue::Post(UINT message, WPARAM wParam, LPARAM lParam) {
    return Enqueue(QueuedMessage{message, wParam, lParam, nullptr});
}

bool CMessageQueue::OnReceiverThread() const {
    std::lock_guard guard(lock_);
    return object_ != nullptr && object_->thread() == QThread::currentThread();
}

bool CMessageQueue::Send(UINT message, WPARAM wParam, LPARAM lParam, int64_t timeoutMs, LRESULT* result) {
    if (OnReceiverThread()) {
        // Only this thread closes the queue, so the receiver stays valid until the call.
        IMessageReceiver* receiver;
        {
            std::lock_guard guard(lock_);
            receiver = receiver_;
        }
        if (receiver == nullptr)
            return false;
        LRESULT r = receiver->ReceiveMessage(message, wParam, lParam);
        if (result != nullptr)
            *result = r;
        return true;
    }
    std::shared_ptr<CSentMessageReply> reply = SendNoWait(message, wParam, lParam);
    return reply && reply->Wait(timeoutMs, result);
}

std::shared_ptr<CSentMessageReply> CMessageQueue::SendNoWait(UINT message, WPARAM wParam, LPARAM lParam) {
    auto reply = std::make_shared<CSentMessageReply>();
    if (!Enqueue(QueuedMessage{message, wParam, lParam, reply}))
        return nullptr;
    return reply;
}

size_t CMessageQueue::Remove(UINT message) {
    std::lock_guard guard(lock_);
    size_t before = queue_.size();
    std::erase_if(queue_, [message](const QueuedMessage& m) { return m.message == message && !m.reply; });
    return before - queue_.size();
}

size_t CMessageQueue::Count(UINT message) const {
    std::lock_guard guard(lock_);
    size_t n = 0;
    for (const QueuedMessage& m : queue_)
        n += (m.message == message && !m.reply) ? 1 : 0;
    return n;
}

size_t CMessageQueue::Size() const {
    std::lock_guard guard(lock_);
    return queue_.size();
}

void CMessageQueue::DeliverNext() {
    // The handler may close the queue or destroy the receiver (and with it the receiver's reference to this
    // queue); keep the queue alive until we are done with it.
    std::shared_ptr<CMessageQueue> self = shared_from_this();
    QueuedMessage message;
    IMessageReceiver* receiver;
    {
        std::lock_guard guard(lock_);
        if (queue_.empty() || receiver_ == nullptr)
            return;
        message = std::move(queue_.front());
        queue_.pop_front();
        receiver = receiver_;
    }
    LRESULT result = receiver->ReceiveMessage(message.message, message.wParam, message.lParam);
    if (message.reply)
        message.reply->Complete(result);
}
