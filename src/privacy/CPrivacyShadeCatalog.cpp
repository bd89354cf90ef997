#include "privacy/CPrivacyShadeCatalog.h"

#include "platform/TextUtil.h"

#include <QFileInfo>
#include <QKeyEvent>

CPrivacyShadeCatalog::CPrivacyShadeCatalog(QWidget* parent)
    : CCatalogListCtrl(parent), mru_(CShadeMruList::Load()) {
    SetThumbnailSize(kThumbnailWidth, kThumbnailHeight);
    setAccessibleName(QStringLiteral("Shade pictures"));
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit pickRequested(index.row());
    });
}

void CPrivacyShadeCatalog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && FocusedItem() >= 0) {
        emit pickRequested(FocusedItem());
        event->accept();
        return;
    }
    CCatalogListCtrl::keyPressEvent(event);
}

CPrivacyShadeCatalog::~CPrivacyShadeCatalog() {
    mru_.Save();
}

HRESULT CPrivacyShadeCatalog::Fill(const std::string& folder) {
    Clear();
    if (folder.empty())
        return S_OK;
    return FillFromFolder(folder, "*.jpg");
}

void CPrivacyShadeCatalog::MarkUsed(const std::string& path) {
    mru_.Promote(path);
    mru_.Save();
}

std::string CPrivacyShadeCatalog::PathAt(int index) const {
    const CCatalogItem* item = Item(index);
    return item != nullptr ? item->path : std::string();
}

int CPrivacyShadeCatalog::CompareItems(const CCatalogItem& a, const CCatalogItem& b) const {
    const int ra = mru_.IndexOf(a.path);
    const int rb = mru_.IndexOf(b.path);
    if (ra >= 0 || rb >= 0) {
        if (ra < 0)
            return 1;
        if (rb < 0)
            return -1;
        return ra - rb;
    }
    const std::string na = QFileInfo(QString::fromStdString(a.path)).fileName().toStdString();
    const std::string nb = QFileInfo(QString::fromStdString(b.path)).fileName().toStdString();
    if (const int byName = Text::CompareNoCase(na, nb); byName != 0)
        return byName;
    return na.compare(nb);
}
