#pragma once
// The shade window's gallery: the "*.jpg" pictures of one folder as thumbnails, the ones used last first
// (in the order they were used), the others by name. A click or Space on a picture chooses it; opening
// an item (double-click, Enter) does nothing more. It keeps the list of pictures used last; the list is
// read when the gallery is made and written back when a picture is used and when the gallery goes.
#include "capture/CCatalogListCtrl.h"
#include "platform/HResult.h"
#include "privacy/CShadeMruList.h"

#include <string>

class CPrivacyShadeCatalog : public CCatalogListCtrl {
    Q_OBJECT
public:
    static constexpr int kThumbnailWidth = 100;
    static constexpr int kThumbnailHeight = 75;

    explicit CPrivacyShadeCatalog(QWidget* parent = nullptr);
    ~CPrivacyShadeCatalog() override;

    // Lists the folder's pictures instead of what was listed; an empty or unreadable folder leaves the
    // gallery empty (E_FAIL for an unreadable one).
    HRESULT Fill(const std::string& folder);
    // The picture became the shade: it goes to the front of the list of pictures used last.
    void MarkUsed(const std::string& path);
    const CShadeMruList& RecentlyUsed() const { return mru_; }
    // The path of the item at a list position; empty when out of range.
    std::string PathAt(int index) const;

signals:
    // The user chose the item at a list position: a click, or Space on the focused item.
    void pickRequested(int index);

protected:
    int CompareItems(const CCatalogItem& a, const CCatalogItem& b) const override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CShadeMruList mru_;
};
