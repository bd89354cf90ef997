#pragma once
// Makes thumbnails on worker threads, so a file that is slow to read (a movie's first frame goes through a
// media pipeline that can take seconds, a broken one until its deadline) never holds up the window.
//
// Requests wait in a bounded queue of their own, newest first (what was drawn last is what the user looks
// at), and at most kMaxRunning are built at a time. Before a queued request starts, the owner is asked
// whether it still wants it (the item may have been scrolled away or removed); a cancelled request is
// dropped, and the result of a cancelled running one is thrown away. Results come back on the loader's
// thread, by path, in a queued call: the owner finds its items by path again, since they may have been
// re-sorted meanwhile.
//
// Workers never touch the loader: they hand their result to a small shared state that the loader detaches
// itself from when it goes, so a loader (and the list that owns it) may be destroyed while a worker still
// runs.
#include <QImage>
#include <QObject>
#include <QSize>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>

class CThumbnailLoader : public QObject {
    Q_OBJECT
public:
    // Builds one thumbnail; runs on a worker thread. A null image means the file gave no picture.
    using Builder = std::function<QImage(const std::string& path, const QSize& size)>;
    // Whether a queued request is still worth building, asked just before it starts.
    using WantedCheck = std::function<bool(const std::string& path)>;
    // A finished thumbnail (null when the file gave none), delivered on the loader's thread.
    using ResultHandler =
        std::function<void(const std::string& path, const QSize& size, const QImage& image)>;

    static constexpr int kMaxRunning = 2;
    // Queued requests kept; beyond this the oldest go (they were drawn screens ago, and are asked for
    // again should they come back into view).
    static constexpr int kMaxQueued = 100;

    // Without a builder, thumbnails are made from the file (CCatalogThumbnail::FromFile).
    explicit CThumbnailLoader(Builder builder = {}, QObject* parent = nullptr);
    ~CThumbnailLoader() override;

    void SetWantedCheck(WantedCheck check) { wanted_ = std::move(check); }
    void SetResultHandler(ResultHandler handler) { onResult_ = std::move(handler); }

    // Queues a thumbnail of `path` at `size`; nothing when one is already queued or being built.
    void Request(const std::string& path, const QSize& size);
    // Whether a thumbnail of `path` is queued or being built (and not cancelled).
    bool IsPending(const std::string& path) const;
    // Requests queued or being built, cancelled ones not counted.
    int PendingCount() const;
    // Forgets one path: dropped from the queue, its running build's result ignored.
    void Cancel(const std::string& path);
    void CancelAll();

    // Waits (boundedly) until no worker of any loader runs; for shutdown and tests. True when idle.
    static bool WaitForWorkers(int timeoutMs);

private:
    struct Shared;
    struct Job {
        std::string path;
        QSize size;
        bool cancelled = false;
    };

    void StartNext();
    void OnFinished(uint64_t id, const QImage& image);
    int RunningCount() const;

    Builder builder_;
    WantedCheck wanted_;
    ResultHandler onResult_;
    std::shared_ptr<Shared> shared_;
    std::deque<Job> queue_;
    std::map<uint64_t, Job> running_;
    uint64_t nextId_ = 1;
};
