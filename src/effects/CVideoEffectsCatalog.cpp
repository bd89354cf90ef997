#include "effects/CVideoEffectsCatalog.h"

#include "effects/CEffectModelFolder.h"
#include "effects/CEffectThumbnail.h"
#include "platform/TextUtil.h"
#include "ui/CDialogBase.h"

#include <QFileInfo>
#include <QMouseEvent>

namespace {

std::string Key(const std::string& path) {
    return Text::ToLower(path);
}

} // namespace

CVideoEffectsCatalog::CVideoEffectsCatalog(CEffectModel::Kind kind, QWidget* parent)
    : CCatalogListCtrl(parent), kind_(kind), mru_(CEffectsMruList::PrefixOf(kind)) {
    SetThumbnailSize(kThumbnailWidth, kThumbnailHeight);
    mru_.Load();
}

CVideoEffectsCatalog::~CVideoEffectsCatalog() {
    mru_.Save();
}

std::string CVideoEffectsCatalog::MruName(const CEffectModel& model) {
    return QFileInfo(QString::fromStdString(model.Folder())).fileName().toStdString();
}

int CVideoEffectsCatalog::Fill(const CEffectModelFolder& folder) {
    Clear();
    models_.clear();
    int added = 0;
    for (const CEffectModel& model : folder.List(kind_))
        added += AddModel(model) ? 1 : 0;
    ClearSelection();
    if (ItemCount() > 0)
        scrollTo(model()->index(0, 0));
    return added;
}

bool CVideoEffectsCatalog::AddModel(const CEffectModel& model) {
    if (model.GetKind() != kind_ || FindModel(model.DescriptionPath()) >= 0)
        return false;
    // Registered before the item exists: the list sorts as soon as the item is added.
    Entry& entry = models_[Key(model.DescriptionPath())];
    entry.model = model;
    if (!AddFile(model.DescriptionPath())) {
        models_.erase(Key(model.DescriptionPath()));
        return false;
    }
    const int index = FindModel(model.DescriptionPath());
    CCatalogItem* item = Item(index);
    CEffectThumbnail::Problem problem = CEffectThumbnail::Problem::None;
    item->thumbnail = CEffectThumbnail::Make(model.ImageFile(), ThumbnailSize(), &problem);
    entry.problem = CEffectThumbnail::ProblemText(problem);
    std::string tip = model.DisplayName();
    if (!model.Description().empty())
        tip += "\n" + model.Description();
    if (entry.problem != 0)
        tip += "\n" + CDialogBase::LoadString(entry.problem);
    item->toolTip = tip;
    return true;
}

const CVideoEffectsCatalog::Entry* CVideoEffectsCatalog::EntryOf(const CCatalogItem& item) const {
    auto it = models_.find(Key(item.path));
    return it != models_.end() ? &it->second : nullptr;
}

const CEffectModel* CVideoEffectsCatalog::ModelAt(int index) const {
    const CCatalogItem* item = Item(index);
    const Entry* entry = item != nullptr ? EntryOf(*item) : nullptr;
    return entry != nullptr ? &entry->model : nullptr;
}

uint32_t CVideoEffectsCatalog::ThumbnailProblem(int index) const {
    const CCatalogItem* item = Item(index);
    const Entry* entry = item != nullptr ? EntryOf(*item) : nullptr;
    return entry != nullptr ? entry->problem : 0;
}

int CVideoEffectsCatalog::FindModel(const std::string& descriptionPath) const {
    return descriptionPath.empty() ? -1 : FindItem(descriptionPath);
}

void CVideoEffectsCatalog::ShowSelected(const std::string& descriptionPath) {
    const bool wasBusy = IsBusy();
    SetBusy(true);
    ClearSelection();
    const int index = FindModel(descriptionPath);
    if (index >= 0) {
        SelectItem(index, true);
        scrollTo(model()->index(index, 0));
    }
    SetBusy(wasBusy);
    viewport()->update();
}

int CVideoEffectsCatalog::CompareItems(const CCatalogItem& a, const CCatalogItem& b) const {
    const Entry* first = EntryOf(a);
    const Entry* second = EntryOf(b);
    if (first == nullptr || second == nullptr)
        return (first == nullptr) - (second == nullptr);
    const auto rank = [this](const CEffectModel& model) {
        const std::vector<std::string>& used = mru_.Entries();
        const std::string name = MruName(model);
        for (size_t i = 0; i < used.size(); ++i) {
            if (Text::EqualsNoCase(used[i], name))
                return static_cast<int>(i);
        }
        return static_cast<int>(used.size());
    };
    const int rankA = rank(first->model);
    const int rankB = rank(second->model);
    if (rankA != rankB)
        return rankA - rankB;
    return QString::fromStdString(first->model.DisplayName())
        .compare(QString::fromStdString(second->model.DisplayName()), Qt::CaseInsensitive);
}

void CVideoEffectsCatalog::Pick(int index) {
    if (const CEffectModel* picked = ModelAt(index))
        emit modelPicked(QString::fromStdString(picked->DescriptionPath()));
}

void CVideoEffectsCatalog::OnOpenRequested() {
    Pick(FocusedItem());
}

void CVideoEffectsCatalog::mouseReleaseEvent(QMouseEvent* event) {
    CCatalogListCtrl::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid())
        Pick(index.row());
}
