#include "communicate/CCommunicationsVideoCallingPane.h"

#include "communicate/CommunicateWeb.h"
#include "services/IGraniteCommunicationsManager.h"
#include "ui/CTransparentStatic.h"
#include "ui/CTransparentTextButton.h"
#include "ui/ControlsNotify.h"
#include "ui/ControlsStyle.h"

#include <QPainter>

namespace {

// Each program's badge colour, in row order.
const QColor kBadgeColors[CCallingAppRows::kRowCount] = {QColor(0, 120, 215),  QColor(30, 150, 90),
                                                         QColor(110, 50, 160), QColor(220, 150, 20),
                                                         QColor(47, 140, 255), QColor(200, 40, 40)};

// A round badge with the program's initial, standing for its icon.
QImage Badge(const QString& name, const QColor& color, int side) {
    const qreal scale = 2.0;
    QImage image(QSize(side, side) * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QRectF(1, 1, side - 2, side - 2));
    QFont font = ControlsStyle::TitleFont();
    font.setPixelSize(side / 2);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, side, side), Qt::AlignCenter, name.left(1).toUpper());
    return image;
}

} // namespace

CCommunicationsVideoCallingPane::CCommunicationsVideoCallingPane(QWidget* parent)
    : CDialogBase(kTemplateId, parent) {}

CCommunicationsVideoCallingPane::~CCommunicationsVideoCallingPane() {
    if (IsWindow())
        DestroyWindow();
    if (manager_ != nullptr)
        manager_->Release();
}

CCommunicationsVideoCallingPane::LinkColors CCommunicationsVideoCallingPane::NotInstalledColors() {
    const QColor red(215, 0, 0);
    return {red, red, red, red};
}

CCommunicationsVideoCallingPane::LinkColors CCommunicationsVideoCallingPane::InstalledColors() {
    return {QColor(0, 128, 0), QColor(146, 146, 146), QColor(64, 64, 64), QColor(0, 128, 0)};
}

std::array<QWidget*, 4> CCommunicationsVideoCallingPane::RowControls(int row) const {
    return {GetDlgItem(kFirstIcon + row), GetDlgItem(kFirstName + row), GetDlgItem(kFirstState + row),
            GetDlgItem(CCallingAppRows::RowAt(row).button)};
}

bool CCommunicationsVideoCallingPane::OnInitDialog() {
    CDialogBase::OnInitDialog();
    for (int row = 0; row < CCallingAppRows::kRowCount; ++row) {
        const QString name = QString::fromStdString(CCallingAppRows::NamesOf(row).back());
        if (auto* label = GetDlgItemAs<CTransparentStatic>(kFirstName + row))
            label->SetText(name);
        if (auto* icon = GetDlgItemAs<CTransparentStatic>(kFirstIcon + row))
            icon->SetImage(Badge(name, kBadgeColors[row], qMin(icon->width(), icon->height())));
        if (auto* link = GetDlgItemAs<CTransparentTextButton>(CCallingAppRows::RowAt(row).button))
            link->SetAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (auto* state = GetDlgItemAs<CTransparentStatic>(kFirstState + row))
            state->SetTextColor(ControlsStyle::SecondaryText());
        if (QWidget* line = GetDlgItem(kFirstSeparator + row)) {
            QPalette palette = line->palette();
            palette.setColor(QPalette::Window, ControlsStyle::Border());
            line->setPalette(palette);
            line->setAutoFillBackground(true);
        }
    }
    manager_ = GetGraniteCommunicationsManager();
    if (manager_ == nullptr || FAILED(manager_->RefreshApplications()))
        return true; // nothing to ask: the rows stay as they are drawn
    for (int row = 0; row < CCallingAppRows::kRowCount; ++row) {
        ApplicationInfo info;
        offered_[static_cast<size_t>(row)] =
            CCallingAppRows::Find(*manager_, row, &info) && info.enabled != 0;
        SetDlgItemText(CCallingAppRows::RowAt(row).button, LoadString(kLinkInstallText));
    }
    Refresh();
    LayOutRows();
    return true;
}

void CCommunicationsVideoCallingPane::OnDestroy() {
    if (manager_ != nullptr) {
        manager_->Release();
        manager_ = nullptr;
    }
    CDialogBase::OnDestroy();
}

void CCommunicationsVideoCallingPane::SetLinkColors(int row, const LinkColors& colors) {
    if (auto* link = GetDlgItemAs<CTransparentTextButton>(CCallingAppRows::RowAt(row).button))
        link->SetLinkColors(colors.normal, colors.visited, colors.pressed, colors.hover);
}

void CCommunicationsVideoCallingPane::Refresh() {
    for (int row = 0; row < CCallingAppRows::kRowCount; ++row) {
        SetLinkColors(row, NotInstalledColors());
        SetDlgItemText(kFirstState + row, LoadString(kNotInstalledText));
    }
    if (manager_ == nullptr)
        return;
    for (int row = 0; row < CCallingAppRows::kRowCount; ++row) {
        ApplicationInfo info;
        if (CCallingAppRows::Find(*manager_, row, &info) && info.available != 0) {
            SetLinkColors(row, InstalledColors());
            SetDlgItemText(CCallingAppRows::RowAt(row).button, LoadString(kLinkStartText));
            SetDlgItemText(kFirstState + row, LoadString(kReadyText));
        }
    }
}

void CCommunicationsVideoCallingPane::LayOutRows() {
    const auto shifts = CCallingAppRows::UpwardShifts(offered_);
    const int last = CCallingAppRows::LastOffered(offered_);
    for (int row = 0; row < CCallingAppRows::kRowCount; ++row) {
        const bool offered = offered_[static_cast<size_t>(row)];
        std::array<QWidget*, 5> controls{};
        const auto rowControls = RowControls(row);
        std::copy(rowControls.begin(), rowControls.end(), controls.begin());
        controls[4] = GetDlgItem(kFirstSeparator + row);
        for (QWidget* control : controls) {
            if (control == nullptr)
                continue;
            control->move(control->x(), control->y() - shifts[static_cast<size_t>(row)]);
            control->setVisible(offered && !(control == controls[4] && row == last));
        }
    }
}

LRESULT CCommunicationsVideoCallingPane::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == ControlsNotify::BN_CLICKED) {
        const int row = CCallingAppRows::IndexOfButton(LOWORD(wParam));
        if (row >= 0) {
            OnLink(row);
            return 0;
        }
    }
    return CDialogBase::OnMessage(message, wParam, lParam);
}

void CCommunicationsVideoCallingPane::OnLink(int row) {
    ApplicationInfo info;
    if (manager_ != nullptr && CCallingAppRows::Find(*manager_, row, &info) && info.available != 0) {
        manager_->LaunchApplication(info.index);
        return;
    }
    // The user goes on in the browser and the communicate window makes way; when no page opened, the user
    // is told and the window stays.
    if (!CommunicateWeb::OpenOrTell(CCallingAppRows::InstallAddress(row)))
        return;
    if (auto* owner = qobject_cast<CDialogBase*>(parentWidget()))
        owner->PostMessage(WM_CLOSE);
}
