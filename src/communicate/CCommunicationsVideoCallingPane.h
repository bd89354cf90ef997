#pragma once
// The video-calling section of the communicate window: one row per calling program (its picture, name,
// state and a link). The link of a program that can be used starts it through the communications manager;
// the link of any other program opens the page to install it from and closes the communicate window.
// Rows of programs the calling-applications list does not offer are hidden and the rows below close up.
#include "communicate/CCallingAppRows.h"
#include "ui/CDialogBase.h"

#include <QColor>

#include <array>

class IGraniteCommunicationsManager;

class CCommunicationsVideoCallingPane : public CDialogBase {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 306;
    // Per row, from the row's index: picture, name, state text and the line under the row.
    static constexpr int kFirstIcon = 1211;
    static constexpr int kFirstName = 1221;
    static constexpr int kFirstState = 1231;
    static constexpr int kFirstSeparator = 1241;

    static constexpr uint32_t kLinkInstallText = 131;
    static constexpr uint32_t kLinkStartText = 132;
    static constexpr uint32_t kReadyText = 1751;
    static constexpr uint32_t kNotInstalledText = 1752;

    // The link's colours in the order of its states: normal, visited, pressed, hover.
    struct LinkColors {
        QColor normal, visited, pressed, hover;
        bool operator==(const LinkColors&) const = default;
    };
    static LinkColors NotInstalledColors();
    static LinkColors InstalledColors();

    explicit CCommunicationsVideoCallingPane(QWidget* parent = nullptr);
    ~CCommunicationsVideoCallingPane() override;

    // Reads every row's program again and shows whether it can be started.
    void Refresh();
    // Whether the row's program is offered (known to the manager and allowed by the calling list).
    bool IsOffered(int row) const { return offered_[static_cast<size_t>(row)]; }

protected:
    bool OnInitDialog() override;
    void OnDestroy() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void SetLinkColors(int row, const LinkColors& colors);
    void LayOutRows();
    void OnLink(int row);
    std::array<QWidget*, 4> RowControls(int row) const;

    IGraniteCommunicationsManager* manager_ = nullptr;
    std::array<bool, CCallingAppRows::kRowCount> offered_{};
};
