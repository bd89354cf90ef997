#pragma once
// The thumbnail list of the galleries: a list in icon mode that draws every item itself from a thumbnail
// made the first time the item is drawn (the picture, or the first frame of a movie, fitted into the
// thumbnail on white with a grey frame; movies are read on worker threads and show the empty frame until
// their thumbnail arrives, so a slow or broken movie never holds up the window), shows a tooltip describing
// the file under the cursor, animates an animated picture under the cursor, and frees the thumbnails of items
// out of sight when it holds many.
//
// Owners (the galleries) derive from it: they order the items (CompareItems) and act on open, context-menu
// and delete requests. While `busy` is set the list ignores selection changes.
//
// Timers run through the process's timer service (ui/ITimerService.h), so tests drive them with a fake
// clock: the hover-leave poll (id 1, 100 ms), the animation (id 16, 33 ms) and the cache trim (id 14,
// 20 s; only with more than 149 items).
#include "capture/CCatalogItem.h"
#include "platform/HResult.h"

#include <QListView>
#include <QtGlobal>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CAnimatedImage;

class CCatalogListCtrl : public QListView {
    Q_OBJECT
public:
    static constexpr int kHoverLeaveTimerId = 1;
    static constexpr int kCacheTrimTimerId = 14;
    static constexpr int kAnimationTimerId = 16;
    static constexpr uint32_t kHoverLeaveIntervalMs = 100;
    static constexpr uint32_t kAnimationIntervalMs = 33;
    static constexpr uint32_t kCacheTrimIntervalMs = 20000;
    // The cache is trimmed only when the list holds more items than this.
    static constexpr int kCacheTrimThreshold = 149;
    static constexpr uint32_t kFrameColour = 0x868686;

    explicit CCatalogListCtrl(QWidget* parent = nullptr);
    ~CCatalogListCtrl() override;

    // The thumbnail size (100 x 75 for the capture galleries); items are spaced 8 pixels more each way.
    void SetThumbnailSize(int width, int height);
    QSize ThumbnailSize() const;

    // Adds every file of `folder` whose name matches `pattern` ("Picture*.jpg"; case is ignored, folders
    // are skipped) to the list, hidden while it fills, then sorts once, focuses the first item and starts
    // the cache trim. E_FAIL when the folder cannot be read (the list is left as it was).
    HRESULT FillFromFolder(const std::string& folder, const std::string& pattern);
    // Adds one file and selects it: nothing happens for a file that cannot be read or is already listed
    // (paths compared ignoring case). The list is sorted again and scrolled to the item. True when added.
    bool AddFile(const std::string& path);
    // Empties the list and stops the timers.
    void Clear();
    // Selects and focuses the first item, scrolls it into view and lays the items out again.
    void Rearrange();

    int ItemCount() const;
    // The item at a list position; null when out of range.
    CCatalogItem* Item(int index) const;
    // The position of a path (ignoring case); -1 when not listed.
    int FindItem(const std::string& path) const;
    // Removes one item and its thumbnail.
    void RemoveItem(int index);
    // Positions of the selected items in list order.
    std::vector<int> SelectedItems() const;
    void SelectItem(int index, bool selected);
    void ClearSelection();
    int FocusedItem() const;
    // The item under the cursor; -1 when none.
    int HotItem() const;

    bool IsBusy() const { return busy_; }
    void SetBusy(bool busy) { busy_ = busy; }

    // The tooltip text of an item: its own text when it has one, else the file's name, type, date and size.
    std::string ToolTipText(int index) const;
    bool HasThumbnail(int index) const;
    // Whether the item's thumbnail is being made in the background (movies are; the item shows the empty
    // frame meanwhile).
    bool IsThumbnailPending(int index) const;

    // Whether one of the timers above (by id) runs.
    bool IsTimerRunning(int timerId) const;
    // Bytes held by the cached thumbnails of all items.
    qint64 ThumbnailBytes() const;
    // The animation of the picture under the cursor; null when the hot item is not an animated picture.
    const CAnimatedImage* HotAnimation() const;

protected:
    // Order of two items: < 0 when a comes first, 0 when equal, > 0 when b comes first. Keeps the order of
    // addition by default.
    virtual int CompareItems(const CCatalogItem& a, const CCatalogItem& b) const;
    // Double-click or Enter on an item.
    virtual void OnOpenRequested() {}
    // Right-click in the list, at a global screen position.
    virtual void OnContextMenuRequested(const QPoint& globalPos) {}
    // The Delete key.
    virtual void OnDeleteRequested() {}

    // Re-sorts with CompareItems (the selection moves with the items).
    void SortItems();

    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
    bool busy_ = false;
};
