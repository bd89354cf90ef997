#pragma once
// The capture window's live picture: the video display hands it the camera's frames (already scaled) on a
// streaming thread; it keeps the newest and paints it on the user-interface thread. Without frames (no
// camera, camera held elsewhere) it shows a dark field with a camera sign; the window's message captions sit
// on top of it.
#include "services/IVideoDisplay.h"

#include <QImage>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <mutex>

class CLivePicture : public QWidget, public IVideoSurface {
    Q_OBJECT
public:
    static constexpr uint32_t kNoPictureImageId = 225;

    explicit CLivePicture(QWidget* parent = nullptr);

    // Any thread.
    void PresentFrame(const VideoRect& where, const VideoFrame& frame) override;
    // Back to the empty field (the camera stopped).
    void Clear();
    // Frames shown since the last Clear; the newest frame (null when none).
    uint64_t FrameCount() const { return frames_.load(); }
    QImage CurrentFrame() const;

signals:
    void frameArrived();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    mutable std::mutex lock_;
    QImage frame_;
    std::atomic<uint64_t> frames_{0};
    std::atomic<bool> updatePending_{false};
};
