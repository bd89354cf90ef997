#include "capture/CCatalogListCtrl.h"

#include "capture/CAnimatedImage.h"
#include "capture/CCatalogImageChooser.h"
#include "capture/CCatalogItemDelegate.h"
#include "capture/CCatalogItemModel.h"
#include "capture/CCatalogThumbnail.h"
#include "capture/CCatalogToolTipText.h"
#include "capture/CThumbnailLoader.h"
#include "ui/CToolTip.h"
#include "ui/ITimerService.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <unordered_set>

namespace {

constexpr int kToolTipMaxWidth = 500;
constexpr int kToolTipDisplayMs = 500000;
// Items laid out per step of the view's batched layout.
constexpr int kLayoutBatch = 2000;

static_assert(CCatalogThumbnail::kFrameColour == CCatalogListCtrl::kFrameColour);

} // namespace

struct CCatalogListCtrl::Impl {
    struct Timer {
        ITimerService* service = nullptr;
        ITimerService::TimerHandle handle = 0;
    };

    explicit Impl(CCatalogListCtrl* owner) : q(owner) {}

    QImage PictureFor(int row);
    void StartTimer(int id, uint32_t intervalMs);
    void StopTimer(int id);
    Timer& TimerOf(int id);
    void SetHot(int row);
    void DropHot();
    void RepaintRow(int row);
    void OnHoverLeavePoll();
    void OnAnimation();
    void OnCacheTrim();
    // Files read in the background: movies, whose first frame can take seconds (or a deadline) to come.
    static bool BuildsInBackground(const std::string& path);
    bool IsShown(const std::string& path) const;
    void OnThumbnailBuilt(const std::string& path, const QSize& size, const QImage& image);

    CCatalogListCtrl* q;
    CCatalogItemModel* model = nullptr;
    CCatalogItemDelegate* delegate = nullptr;
    QSize thumbnail{100, 75};
    QImage empty = CCatalogThumbnail::Empty(thumbnail);
    int hot = -1;
    std::unique_ptr<CAnimatedImage> animation;
    Timer hoverTimer, animationTimer, trimTimer;
    // Items whose file gave no picture: drawn as the empty frame without reading the file at every paint.
    std::unordered_set<const CCatalogItem*> undecodable;
    CThumbnailLoader* loader = nullptr;
};

CCatalogListCtrl::Impl::Timer& CCatalogListCtrl::Impl::TimerOf(int id) {
    switch (id) {
    case kHoverLeaveTimerId:
        return hoverTimer;
    case kAnimationTimerId:
        return animationTimer;
    default:
        return trimTimer;
    }
}

void CCatalogListCtrl::Impl::StartTimer(int id, uint32_t intervalMs) {
    StopTimer(id);
    Timer& timer = TimerOf(id);
    timer.service = &GetTimerService();
    std::function<void()> callback;
    switch (id) {
    case kHoverLeaveTimerId:
        callback = [this] { OnHoverLeavePoll(); };
        break;
    case kAnimationTimerId:
        callback = [this] { OnAnimation(); };
        break;
    default:
        callback = [this] { OnCacheTrim(); };
        break;
    }
    timer.handle = timer.service->StartTimer(intervalMs, std::move(callback));
}

void CCatalogListCtrl::Impl::StopTimer(int id) {
    Timer& timer = TimerOf(id);
    if (timer.handle != 0 && timer.service != nullptr)
        timer.service->StopTimer(timer.handle);
    timer = Timer{};
}

QImage CCatalogListCtrl::Impl::PictureFor(int row) {
    CCatalogItem* item = model->Item(row);
    if (item == nullptr)
        return {};
    if (row == hot && animation && animation->IsAnimated()) {
        const QImage& frame = animation->CurrentImage();
        return CCatalogThumbnail::Compose(frame, frame.size(), thumbnail);
    }
    if (item->thumbnail.isNull()) {
        if (undecodable.count(item) != 0)
            return empty;
        if (BuildsInBackground(item->path)) {
            // Drawn as the empty frame until the thumbnail arrives.
            loader->Request(item->path, thumbnail);
            return empty;
        }
        item->thumbnail = CCatalogThumbnail::FromFile(item->path, thumbnail);
        if (item->thumbnail.isNull()) {
            undecodable.insert(item);
            return empty;
        }
    }
    return item->thumbnail;
}

bool CCatalogListCtrl::Impl::BuildsInBackground(const std::string& path) {
    return CCatalogImageChooser::KindOf(path) == CCatalogImageChooser::Kind::Movie;
}

bool CCatalogListCtrl::Impl::IsShown(const std::string& path) const {
    if (!q->isVisible())
        return false;
    const QRect visible = q->viewport()->rect();
    for (int row = 0; row < model->Count(); ++row)
        if (model->Item(row)->path == path && q->visualRect(model->index(row)).intersects(visible))
            return true;
    return false;
}

void CCatalogListCtrl::Impl::OnThumbnailBuilt(const std::string& path, const QSize& size,
                                              const QImage& image) {
    if (size != thumbnail)
        return;
    // The items are found by path: they may have been sorted, removed or listed twice meanwhile.
    for (int row = 0; row < model->Count(); ++row) {
        CCatalogItem* item = model->Item(row);
        if (item->path != path)
            continue;
        item->thumbnail = image;
        if (image.isNull())
            undecodable.insert(item);
        model->NotifyChanged(row);
    }
}

void CCatalogListCtrl::Impl::RepaintRow(int row) {
    if (row >= 0 && row < model->Count())
        q->viewport()->update(q->visualRect(model->index(row)));
}

void CCatalogListCtrl::Impl::DropHot() {
    StopTimer(kHoverLeaveTimerId);
    StopTimer(kAnimationTimerId);
    animation.reset();
    const int previous = hot;
    hot = -1;
    delegate->SetHotRow(-1);
    RepaintRow(previous);
    // No tip over the empty part of the list, nor once the cursor has left.
    if (CToolTip* tip = CToolTip::Find(q->viewport()))
        tip->SetText(std::string());
}

void CCatalogListCtrl::Impl::SetHot(int row) {
    if (row < 0 || row >= model->Count())
        row = -1;
    if (row == hot)
        return;
    DropHot();
    if (row < 0)
        return;
    CToolTip* tip = CToolTip::For(q->viewport());
    hot = row;
    delegate->SetHotRow(row);
    RepaintRow(row);

    tip->SetText(q->ToolTipText(row));
    tip->SetMaxWidth(kToolTipMaxWidth);
    tip->SetDisplayTime(kToolTipDisplayMs);
    tip->SetActive(true);

    // Of the gallery's picture types only GIF animates; other files are not opened again on hover.
    const CCatalogItem* item = model->Item(row);
    if (QFileInfo(QString::fromStdString(item->path))
            .suffix()
            .compare(QLatin1String("gif"), Qt::CaseInsensitive) == 0) {
        auto animated = std::make_unique<CAnimatedImage>();
        if (animated->Load(item->path, thumbnail) && animated->IsAnimated()) {
            animation = std::move(animated);
            StartTimer(kAnimationTimerId, kAnimationIntervalMs);
        }
    }
    StartTimer(kHoverLeaveTimerId, kHoverLeaveIntervalMs);
}

void CCatalogListCtrl::Impl::OnHoverLeavePoll() {
    QWidget* area = q->viewport();
    const bool inside = q->isVisible() && area->rect().contains(area->mapFromGlobal(QCursor::pos()));
    if (!inside)
        DropHot();
}

void CCatalogListCtrl::Impl::OnAnimation() {
    if (hot >= 0 && animation && animation->Advance())
        RepaintRow(hot);
}

void CCatalogListCtrl::Impl::OnCacheTrim() {
    if (model->Count() <= kCacheTrimThreshold)
        return;
    const QRect visible = q->viewport()->rect();
    for (int row = 0; row < model->Count(); ++row) {
        CCatalogItem* item = model->Item(row);
        const bool cached = !item->thumbnail.isNull() || undecodable.count(item) != 0;
        if (!cached || q->visualRect(model->index(row)).intersects(visible))
            continue;
        item->thumbnail = QImage();
        // A file that could not be read is tried again when it comes back into view (it may have been
        // still being written).
        undecodable.erase(item);
    }
}

// ---- the control -------------------------------------------------------------------------------------

CCatalogListCtrl::CCatalogListCtrl(QWidget* parent) : QListView(parent), d_(std::make_unique<Impl>(this)) {
    d_->model = new CCatalogItemModel(this);
    d_->loader = new CThumbnailLoader({}, this);
    d_->loader->SetWantedCheck([impl = d_.get()](const std::string& path) { return impl->IsShown(path); });
    d_->loader->SetResultHandler(
        [impl = d_.get()](const std::string& path, const QSize& size, const QImage& image) {
            impl->OnThumbnailBuilt(path, size, image);
        });
    d_->delegate =
        new CCatalogItemDelegate([impl = d_.get()](int row) { return impl->PictureFor(row); }, this);
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setLayoutMode(QListView::Batched);
    setBatchSize(kLayoutBatch);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setAcceptDrops(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setItemDelegate(d_->delegate);
    setModel(d_->model);
    SetThumbnailSize(100, 75);
}

CCatalogListCtrl::~CCatalogListCtrl() {
    // Builds still running finish on their own; their results go nowhere.
    delete d_->loader;
    d_->loader = nullptr;
    d_->StopTimer(kHoverLeaveTimerId);
    d_->StopTimer(kAnimationTimerId);
    d_->StopTimer(kCacheTrimTimerId);
}

void CCatalogListCtrl::SetThumbnailSize(int width, int height) {
    const QSize size(std::max(1, width), std::max(1, height));
    if (size == d_->thumbnail && gridSize() == d_->delegate->CellSize())
        return;
    d_->thumbnail = size;
    d_->empty = CCatalogThumbnail::Empty(size);
    d_->delegate->SetThumbnailSize(size);
    // Thumbnails of the old size are of no use any more.
    for (int row = 0; row < d_->model->Count(); ++row)
        d_->model->Item(row)->thumbnail = QImage();
    d_->undecodable.clear();
    d_->loader->CancelAll();
    setGridSize(d_->delegate->CellSize());
    setIconSize(size);
    scheduleDelayedItemsLayout();
}

QSize CCatalogListCtrl::ThumbnailSize() const {
    return d_->thumbnail;
}

HRESULT CCatalogListCtrl::FillFromFolder(const std::string& folder, const std::string& pattern) {
    const QFileInfo folderInfo(QString::fromStdString(folder));
    if (folder.empty() || !folderInfo.isDir() || !folderInfo.isReadable() || !folderInfo.isExecutable())
        return E_FAIL;
    QDir dir(folderInfo.absoluteFilePath());
    dir.setNameFilters({QString::fromStdString(pattern)});
    dir.setFilter(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    dir.setSorting(QDir::Unsorted);
    const QFileInfoList files = dir.entryInfoList();

    const bool wasBusy = busy_;
    busy_ = true;
    clearSelection();
    std::vector<std::unique_ptr<CCatalogItem>> items;
    items.reserve(static_cast<size_t>(files.size()));
    for (const QFileInfo& file : files) {
        if (file.isDir())
            continue;
        auto item = std::make_unique<CCatalogItem>();
        item->path =
            QDir::cleanPath(folderInfo.absoluteFilePath() + QLatin1Char('/') + file.fileName()).toStdString();
        item->lastWriteTime = file.lastModified().toMSecsSinceEpoch();
        item->size = file.size();
        item->motionClip = CCatalogImageChooser::IsMotionClipPath(item->path);
        items.push_back(std::move(item));
    }
    // Nothing is drawn while the items go in; they are laid out once, after sorting.
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    d_->model->Append(std::move(items));
    SortItems();
    setUpdatesEnabled(updates);
    clearSelection();
    busy_ = wasBusy;
    Rearrange();
    d_->StartTimer(kCacheTrimTimerId, kCacheTrimIntervalMs);
    return S_OK;
}

bool CCatalogListCtrl::AddFile(const std::string& path) {
    if (path.empty())
        return false;
    const QString name = QString::fromStdString(path);
    const QFileInfo info(name);
    QFile file(name);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    file.close();
    if (d_->model->Find(path) >= 0)
        return false;

    auto item = std::make_unique<CCatalogItem>();
    item->path = path;
    item->lastWriteTime = info.lastModified().toMSecsSinceEpoch();
    item->size = info.size();
    item->motionClip = CCatalogImageChooser::IsMotionClipPath(path);
    clearSelection();
    const int row = d_->model->Append(std::move(item));
    selectionModel()->setCurrentIndex(d_->model->index(row), QItemSelectionModel::ClearAndSelect);
    SortItems();
    // The selection and focus moved with the item: show it where it ended up. That place may lie beyond
    // the first batch of a batched layout, so this once the whole list is laid out in one go.
    setLayoutMode(QListView::SinglePass);
    doItemsLayout();
    setLayoutMode(QListView::Batched);
    scrollTo(currentIndex());
    viewport()->update();
    return true;
}

void CCatalogListCtrl::Clear() {
    const bool wasBusy = busy_;
    busy_ = true;
    d_->DropHot();
    d_->StopTimer(kCacheTrimTimerId);
    d_->undecodable.clear();
    d_->loader->CancelAll();
    d_->model->Clear();
    busy_ = wasBusy;
}

void CCatalogListCtrl::Rearrange() {
    if (d_->model->Count() > 0) {
        const QModelIndex first = d_->model->index(0);
        selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect);
        scrollTo(first);
    }
    scheduleDelayedItemsLayout();
    viewport()->update();
}

int CCatalogListCtrl::ItemCount() const {
    return d_->model->Count();
}

CCatalogItem* CCatalogListCtrl::Item(int index) const {
    return d_->model->Item(index);
}

int CCatalogListCtrl::FindItem(const std::string& path) const {
    return d_->model->Find(path);
}

void CCatalogListCtrl::RemoveItem(int index) {
    CCatalogItem* item = d_->model->Item(index);
    if (item == nullptr)
        return;
    if (index == d_->hot)
        d_->DropHot();
    d_->undecodable.erase(item);
    const std::string path = item->path;
    d_->model->Remove(index);
    // A read no item waits for any more is dropped (the pending check first: deleting many items must not
    // search the list for each).
    if (d_->loader->IsPending(path) && d_->model->Find(path) < 0)
        d_->loader->Cancel(path);
    if (d_->hot > index) {
        --d_->hot;
        d_->delegate->SetHotRow(d_->hot);
    }
}

std::vector<int> CCatalogListCtrl::SelectedItems() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void CCatalogListCtrl::SelectItem(int index, bool selected) {
    if (index < 0 || index >= d_->model->Count())
        return;
    selectionModel()->select(d_->model->index(index),
                             selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

void CCatalogListCtrl::ClearSelection() {
    clearSelection();
}

int CCatalogListCtrl::FocusedItem() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

int CCatalogListCtrl::HotItem() const {
    return d_->hot;
}

std::string CCatalogListCtrl::ToolTipText(int index) const {
    const CCatalogItem* item = d_->model->Item(index);
    if (item == nullptr)
        return {};
    if (!item->toolTip.empty())
        return item->toolTip;
    return CCatalogToolTipText::Build(item->path, item->lastWriteTime, item->size);
}

bool CCatalogListCtrl::HasThumbnail(int index) const {
    const CCatalogItem* item = d_->model->Item(index);
    return item != nullptr && !item->thumbnail.isNull();
}

bool CCatalogListCtrl::IsThumbnailPending(int index) const {
    const CCatalogItem* item = d_->model->Item(index);
    return item != nullptr && d_->loader->IsPending(item->path);
}

bool CCatalogListCtrl::IsTimerRunning(int timerId) const {
    if (timerId != kHoverLeaveTimerId && timerId != kAnimationTimerId && timerId != kCacheTrimTimerId)
        return false;
    return d_->TimerOf(timerId).handle != 0;
}

qint64 CCatalogListCtrl::ThumbnailBytes() const {
    return d_->model->ThumbnailBytes();
}

const CAnimatedImage* CCatalogListCtrl::HotAnimation() const {
    return d_->animation.get();
}

int CCatalogListCtrl::CompareItems(const CCatalogItem&, const CCatalogItem&) const {
    return 0;
}

void CCatalogListCtrl::SortItems() {
    const int hotBefore = d_->hot;
    const CCatalogItem* hotItem = d_->model->Item(hotBefore);
    d_->model->Sort([this](const CCatalogItem& a, const CCatalogItem& b) { return CompareItems(a, b); });
    if (hotItem != nullptr) {
        // The hot item keeps its animation; only its row changed.
        for (int row = 0; row < d_->model->Count(); ++row)
            if (d_->model->Item(row) == hotItem) {
                d_->hot = row;
                d_->delegate->SetHotRow(row);
                break;
            }
    }
}

void CCatalogListCtrl::mouseMoveEvent(QMouseEvent* event) {
    QListView::mouseMoveEvent(event);
    d_->SetHot(indexAt(event->position().toPoint()).row());
}

void CCatalogListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    QListView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        OnOpenRequested();
}

void CCatalogListCtrl::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        OnOpenRequested();
        return;
    case Qt::Key_Delete:
        event->accept();
        OnDeleteRequested();
        return;
    default:
        QListView::keyPressEvent(event);
    }
}

void CCatalogListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    OnContextMenuRequested(event->globalPos());
}

void CCatalogListCtrl::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    // While filling or deleting, item by item repaints are wasted: the list is redrawn when done.
    if (busy_)
        return;
    QListView::selectionChanged(selected, deselected);
}
