#include "services/CEventChannelBase.h"

#include "platform/CMessageRegistry.h"
#include "platform/DebugOutput.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>

std::atomic<size_t> CEventChannelBase::liveRecords_{0};

// The hidden receiver: gets the wake-up events on the user-interface thread and hands them to the queue.
class CEventChannelBase::CReceiver : public QObject {
public:
    explicit CReceiver(std::shared_ptr<CMessageQueue> queue) : queue_(std::move(queue)) {}

    bool event(QEvent* e) override {
        if (!CMessageQueue::IsWakeEvent(e))
            return QObject::event(e);
        ++depth_;
        std::shared_ptr<CMessageQueue> queue = queue_; // the handler may destroy the channel
        queue->DeliverNext();
        if (--depth_ == 0 && orphaned_)
            deleteLater();
        return true;
    }

    // The channel is closing. Deleted now unless a delivery through it is still running.
    void Release() {
        if (thread() != QThread::currentThread())
            deleteLater();
        else if (depth_ > 0)
            orphaned_ = true;
        else
            delete this;
    }

private:
    std::shared_ptr<CMessageQueue> queue_;
    int depth_ = 0;
    bool orphaned_ = false;
};

CEventChannelBase::CEventChannelBase(const std::string& className, const std::string& interfaceName,
                                     const std::vector<std::string>& eventNames)
    : queue_(CMessageQueue::Create()), receiverName_("callback" + className + interfaceName) {
    for (size_t i = 0; i < eventNames.size(); ++i) {
        UINT message = RegisterWindowMessage(className + eventNames[i]);
        messages_.push_back(message);
        events_.emplace(message, i);
    }
    receiver_ = new CReceiver(queue_);
    receiver_->setObjectName(QString::fromStdString(receiverName_));
    // The receiver belongs to the user-interface thread whichever thread makes the serializer.
    if (QCoreApplication* app = QCoreApplication::instance();
        app != nullptr && receiver_->thread() != app->thread())
        receiver_->moveToThread(app->thread());
    queue_->Open(this);
}

CEventChannelBase::~CEventChannelBase() {
    Close();
}

QObject* CEventChannelBase::ReceiverObject() {
    return receiver_;
}

bool CEventChannelBase::Post(std::unique_ptr<Record> record) {
    if (!record || record->event >= messages_.size())
        return false;
    std::lock_guard guard(lock_);
    if (closed_)
        return false;
    LPARAM key = reinterpret_cast<LPARAM>(record.get());
    // Queued under the lock, so the pending order is the delivery order and Close cannot slip in between.
    if (!queue_->Post(messages_[record->event], 0, key))
        return false;
    pending_.push_back(std::move(record));
    return true;
}

bool CEventChannelBase::PostPlain(size_t event) {
    if (event >= messages_.size())
        return false;
    std::lock_guard guard(lock_);
    return !closed_ && queue_->Post(messages_[event], 0, 0);
}

void CEventChannelBase::Close() {
    std::deque<std::unique_ptr<Record>> dropped;
    CReceiver* receiver = nullptr;
    {
        std::lock_guard guard(lock_);
        if (closed_)
            return;
        closed_ = true;
        dropped.swap(pending_);
        receiver = receiver_;
        receiver_ = nullptr;
    }
    // After this no thread reaches the receiver and no queued message is delivered.
    queue_->Close();
    if (receiver != nullptr)
        receiver->Release();
    // `dropped` frees the records here, outside the lock.
}

bool CEventChannelBase::IsClosed() const {
    std::lock_guard guard(lock_);
    return closed_;
}

size_t CEventChannelBase::PendingCount() const {
    std::lock_guard guard(lock_);
    return pending_.size();
}

LRESULT CEventChannelBase::ReceiveMessage(UINT message, WPARAM, LPARAM lParam) {
    // The target may destroy the serializer, and with it the last other reference to this channel.
    std::shared_ptr<CEventChannelBase> self = shared_from_this();
    auto it = events_.find(message);
    if (it == events_.end())
        return 0;
    const size_t event = it->second;
    std::unique_ptr<Record> record;
    {
        std::lock_guard guard(lock_);
        if (closed_)
            return 0;
        if (lParam != 0) {
            // Nearly always the first entry: records are delivered in the order they were posted.
            for (auto p = pending_.begin(); p != pending_.end(); ++p) {
                if (reinterpret_cast<LPARAM>(p->get()) == lParam) {
                    record = std::move(*p);
                    pending_.erase(p);
                    break;
                }
            }
            // Not pending means already freed: there is nothing safe to deliver.
            if (!record)
                return 0;
        }
    }
    if (record && record->event != event) {
        OutputDebugString("CEventChannelBase: a record arrived with another event's message; dropped");
        return 0;
    }
    Deliver(event, record.get());
    return 0;
}
