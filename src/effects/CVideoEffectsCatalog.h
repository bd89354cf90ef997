#pragma once
// The gallery of the installed effect models of one kind. Each item is a model (its description file),
// drawn as the model's thumbnail with its name and description as the tooltip; a model whose picture is
// missing or unreadable shows a question mark and says why in its tooltip. The recently used models come
// first, newest first, then the others by name.
//
// The catalog keeps the kind's recently used list: read when it is made, written when it goes.
#include "capture/CCatalogListCtrl.h"
#include "effects/CEffectModel.h"
#include "effects/CEffectsMruList.h"

#include <QString>

#include <map>
#include <optional>
#include <string>

class CEffectModelFolder;

class CVideoEffectsCatalog : public CCatalogListCtrl {
    Q_OBJECT
public:
    static constexpr int kThumbnailWidth = 64;
    static constexpr int kThumbnailHeight = 64;

    CVideoEffectsCatalog(CEffectModel::Kind kind, QWidget* parent = nullptr);
    ~CVideoEffectsCatalog() override;

    CEffectModel::Kind Kind() const { return kind_; }

    // Lists the folder's models of the catalog's kind (the list is emptied first). The number listed.
    int Fill(const CEffectModelFolder& folder);
    // Adds one model of the catalog's kind; false for another kind or a model already listed.
    bool AddModel(const CEffectModel& model);
    // The model at a list position.
    const CEffectModel* ModelAt(int index) const;
    // The list position of a model's description (ignoring case); -1 when not listed.
    int FindModel(const std::string& descriptionPath) const;
    // Selects the model's item without telling anyone (nothing is selected for a model not listed).
    void ShowSelected(const std::string& descriptionPath);
    // Why the model's picture could not be shown (a string resource), 0 when it could.
    uint32_t ThumbnailProblem(int index) const;

    CEffectsMruList& Mru() { return mru_; }
    // The name a model has in the recently used lists: its folder's name.
    static std::string MruName(const CEffectModel& model);

signals:
    // The user picked a model (click, Enter or double-click).
    void modelPicked(const QString& descriptionPath);

protected:
    int CompareItems(const CCatalogItem& a, const CCatalogItem& b) const override;
    void OnOpenRequested() override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Entry {
        CEffectModel model;
        uint32_t problem = 0;
    };
    const Entry* EntryOf(const CCatalogItem& item) const;
    void Pick(int index);

    CEffectModel::Kind kind_;
    CEffectsMruList mru_;
    std::map<std::string, Entry> models_; // by lower-cased description path
};
