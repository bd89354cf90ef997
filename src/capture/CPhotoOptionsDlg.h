#pragma once
// The photo options pop-up: countdown before a photo (on/off and seconds), the date stamp and the picture
// quality. OK writes the four values; closing it any other way keeps what was stored.
#include "capture/COptionsPopup.h"

class CPhotoOptionsDlg : public COptionsPopup {
    Q_OBJECT
public:
    static constexpr uint32_t kTemplateId = 149;
    static constexpr int kUseCountdownId = 1046;
    static constexpr int kCountdownEditId = 1038;
    static constexpr int kCountdownSpinId = 1039;
    static constexpr int kUseTimestampId = 1047;
    static constexpr int kQualitySliderId = 1296;
    static constexpr int kMinimumQuality = 20;
    static constexpr int kMaximumQuality = 100;

    explicit CPhotoOptionsDlg(QWidget* parent = nullptr);

    // Makes a pop-up that deletes itself when it closes, and opens it at `position`. Null when it cannot be
    // opened.
    static CPhotoOptionsDlg* Show(const QPoint& position, QWidget* parent = nullptr,
                                  ClosedCallback closed = {});

protected:
    void LoadSettings() override;
    void SaveSettings() override;
};
