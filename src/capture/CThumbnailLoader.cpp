#include "capture/CThumbnailLoader.h"

#include "capture/CCatalogThumbnail.h"

#include <QMetaObject>
#include <QThreadPool>

#include <algorithm>
#include <mutex>

namespace {

// One pool for every list: movie reads are heavy, and two lists building at once should not double the
// load. It has a little room beyond kMaxRunning for cancelled builds still finishing. It is never
// destroyed before the process ends, so a worker outliving its list always has a pool to finish in.
QThreadPool& Workers() {
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(CThumbnailLoader::kMaxRunning + 2);
        p->setExpiryTimeout(10000);
        return p;
    }();
    return *pool;
}

} // namespace

// What a worker may touch: the loader to post to, or null once the loader is gone. The post happens with
// the lock held, so the loader cannot be destroyed between the check and the post (a posted call whose
// receiver is destroyed later is discarded by Qt).
struct CThumbnailLoader::Shared {
    std::mutex mutex;
    CThumbnailLoader* loader = nullptr;
};

CThumbnailLoader::CThumbnailLoader(Builder builder, QObject* parent)
    : QObject(parent), builder_(std::move(builder)), shared_(std::make_shared<Shared>()) {
    if (!builder_)
        builder_ = [](const std::string& path, const QSize& size) {
            return CCatalogThumbnail::FromFile(path, size);
        };
    shared_->loader = this;
}

CThumbnailLoader::~CThumbnailLoader() {
    const std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->loader = nullptr;
}

void CThumbnailLoader::Request(const std::string& path, const QSize& size) {
    if (path.empty() || size.isEmpty())
        return;
    for (const auto& [id, job] : running_)
        if (!job.cancelled && job.path == path && job.size == size)
            return;
    const auto queued =
        std::find_if(queue_.begin(), queue_.end(), [&](const Job& job) { return job.path == path; });
    if (queued != queue_.end()) {
        // Asked again: it was drawn again, so it moves to the front.
        queue_.erase(queued);
    }
    queue_.push_front(Job{path, size, false});
    if (queue_.size() > static_cast<size_t>(kMaxQueued))
        queue_.pop_back();
    StartNext();
}

bool CThumbnailLoader::IsPending(const std::string& path) const {
    for (const auto& [id, job] : running_)
        if (!job.cancelled && job.path == path)
            return true;
    return std::any_of(queue_.begin(), queue_.end(), [&](const Job& job) { return job.path == path; });
}

int CThumbnailLoader::PendingCount() const {
    return RunningCount() + static_cast<int>(queue_.size());
}

int CThumbnailLoader::RunningCount() const {
    return static_cast<int>(std::count_if(running_.begin(), running_.end(),
                                          [](const auto& entry) { return !entry.second.cancelled; }));
}

void CThumbnailLoader::Cancel(const std::string& path) {
    queue_.erase(
        std::remove_if(queue_.begin(), queue_.end(), [&](const Job& job) { return job.path == path; }),
        queue_.end());
    for (auto& [id, job] : running_)
        if (job.path == path)
            job.cancelled = true;
    StartNext();
}

void CThumbnailLoader::CancelAll() {
    queue_.clear();
    for (auto& [id, job] : running_)
        job.cancelled = true;
}

void CThumbnailLoader::StartNext() {
    while (RunningCount() < kMaxRunning && !queue_.empty()) {
        Job job = std::move(queue_.front());
        queue_.pop_front();
        if (wanted_ && !wanted_(job.path))
            continue;
        const uint64_t id = nextId_++;
        running_.emplace(id, job);
        Workers().start([shared = shared_, builder = builder_, id, path = job.path, size = job.size] {
            const QImage image = builder(path, size);
            const std::lock_guard<std::mutex> lock(shared->mutex);
            if (CThumbnailLoader* loader = shared->loader)
                QMetaObject::invokeMethod(
                    loader, [loader, id, image] { loader->OnFinished(id, image); }, Qt::QueuedConnection);
        });
    }
}

void CThumbnailLoader::OnFinished(uint64_t id, const QImage& image) {
    const auto found = running_.find(id);
    if (found == running_.end())
        return;
    const Job job = std::move(found->second);
    running_.erase(found);
    // The next build starts before the result is handled: the handler may ask for more.
    StartNext();
    if (!job.cancelled && onResult_)
        onResult_(job.path, job.size, image);
}

bool CThumbnailLoader::WaitForWorkers(int timeoutMs) {
    return Workers().waitForDone(timeoutMs);
}
