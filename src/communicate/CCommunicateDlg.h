#pragma once
// The communicate window (the calling programs and companion tools of this desktop): a column of section
// buttons beside the place of one sub-pane. Pressing a button shows that section's pane, made on demand;
// every other section's pane is destroyed, so at most one exists at a time. Sections whose configuration
// document offers nothing lose their button and the buttons below close up. The window docks beside the
// ribbon, floats, and closes by the ribbon's rules (CAttachablePane).
#include "communicate/CCommunicateSections.h"
#include "ui/CAttachablePane.h"

#include <memory>

class CCommunicateDocuments;

class CCommunicateDlg : public CAttachablePane {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 305;
    static constexpr uint32_t kTitleText = 273;
    // The top-left corner of the sub-pane.
    static constexpr int kPanePlace = 1180;

    using Section = CCommunicateSections::Section;

    // Reads the configuration documents.
    explicit CCommunicateDlg(QWidget* parent = nullptr);
    ~CCommunicateDlg() override;

    // Shows the section's pane, making it when it does not exist yet and destroying every other pane.
    void OpenSection(Section section);
    Section CurrentSection() const { return current_; }
    // The pane shown now; null before the window is made.
    CDialogBase* CurrentPane() const { return ExistingPane(current_); }
    static CDialogBase* ExistingPane(Section section);
    const CCommunicateDocuments& Documents() const { return *documents_; }

protected:
    bool OnInitDialog() override;
    void OnDestroy() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void SetUpButtons();
    void HideButton(Section section, int pitch);
    CDialogBase* MakePane(Section section);
    static void DestroyPane(Section section);
    void MarkSelected(Section section);

    std::unique_ptr<CCommunicateDocuments> documents_;
    Section current_ = Section::TellAFriend;
};
