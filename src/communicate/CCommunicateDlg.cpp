#include "communicate/CCommunicateDlg.h"

#include "app/CVidoraSettings.h"
#include "communicate/CCommunicateDocuments.h"
#include "communicate/CCommunicateSectionArt.h"
#include "communicate/CCommunicationsEditToolsPane.h"
#include "communicate/CCommunicationsGadgetsPane.h"
#include "communicate/CCommunicationsTellAFriendPane.h"
#include "communicate/CCommunicationsVLoggingPane.h"
#include "communicate/CCommunicationsVideoCallingPane.h"
#include "communicate/CCommunicationsVideoSnapPane.h"
#include "communicate/CommunicatePanes.h"
#include "ui/CTransparentImageButton.h"

#include <type_traits>

namespace {

using Section = CCommunicateSections::Section;

// A section's handler runs once at a time, whichever communicate window presses it.
std::array<bool, CCommunicateSections::kCount> g_opening{};

// Calls f with the slot of the section's pane, typed by the pane's class.
template <class F> decltype(auto) WithSlot(Section section, F&& f) {
    switch (section) {
    case Section::VideoCalling:
        return f(CommunicatePanes::VideoCalling());
    case Section::EditTools:
        return f(CommunicatePanes::EditTools());
    case Section::VideoSnap:
        return f(CommunicatePanes::VideoSnap());
    case Section::VideoBlogging:
        return f(CommunicatePanes::VideoBlogging());
    case Section::TellAFriend:
        return f(CommunicatePanes::TellAFriend());
    case Section::Gadgets:
        break;
    }
    return f(CommunicatePanes::Gadgets());
}

CTransparentImageButton* ButtonOf(const CDialogBase& dialog, Section section) {
    return dialog.GetDlgItemAs<CTransparentImageButton>(CCommunicateSections::InfoOf(section).button);
}

} // namespace

CCommunicateDlg::CCommunicateDlg(QWidget* parent)
    : CAttachablePane(kTemplateId, CVidoraSettings::GetSettingsRoot(), "CommunicateXPos", "CommunicateYPos",
                      parent),
      documents_(std::make_unique<CCommunicateDocuments>()) {}

CCommunicateDlg::~CCommunicateDlg() {
    if (IsWindow())
        DestroyWindow();
}

bool CCommunicateDlg::OnInitDialog() {
    CAttachablePane::OnInitDialog();
    setWindowTitle(QString::fromStdString(LoadString(kTitleText)));
    SetUpButtons();

    // Buttons of sections with nothing to offer go; the ones below close the gap.
    QWidget* first = GetDlgItem(CCommunicateSections::InfoOf(Section::VideoCalling).button);
    QWidget* second = GetDlgItem(CCommunicateSections::InfoOf(Section::EditTools).button);
    const int pitch = first != nullptr && second != nullptr ? second->y() - first->y() : 0;
    const CCommunicateSections::Offers offers = documents_->Offers();
    const auto shown = CCommunicateSections::ShownButtons(offers);
    for (Section section : CCommunicateSections::HidingOrder()) {
        if (section != Section::Gadgets &&
            !shown[static_cast<size_t>(CCommunicateSections::IndexOf(section))])
            HideButton(section, pitch);
    }
    OpenSection(CCommunicateSections::FirstOpened(offers));
    if (!offers.gadgets)
        HideButton(Section::Gadgets, pitch);
    return true;
}

void CCommunicateDlg::SetUpButtons() {
    for (int i = 0; i < CCommunicateSections::kCount; ++i) {
        const Section section = CCommunicateSections::At(i);
        const CCommunicateSections::Info& info = CCommunicateSections::InfoOf(section);
        CTransparentImageButton* button = ButtonOf(*this, section);
        if (button == nullptr)
            continue;
        const QString label = QString::fromStdString(LoadString(info.label));
        using Look = CCommunicateSectionArt::Look;
        using State = CTransparentImageButton::State;
        button->SetImage(State::Normal,
                         CCommunicateSectionArt::Render(section, Look::Normal, button->size(), label));
        button->SetImage(State::Hover,
                         CCommunicateSectionArt::Render(section, Look::Hover, button->size(), label));
        button->SetImage(State::Pressed,
                         CCommunicateSectionArt::Render(section, Look::Selected, button->size(), label));
        button->SetImage(State::Disabled,
                         CCommunicateSectionArt::Render(section, Look::Disabled, button->size(), label));
        button->SetToolTipText(LoadString(info.title));
        button->setAccessibleName(label);
    }
}

void CCommunicateDlg::HideButton(Section section, int pitch) {
    QWidget* hidden = ButtonOf(*this, section);
    if (hidden == nullptr || hidden->isHidden())
        return;
    hidden->hide();
    for (int i = 0; i < CCommunicateSections::kCount; ++i) {
        QWidget* button = ButtonOf(*this, CCommunicateSections::At(i));
        if (button != nullptr && button != hidden && button->y() > hidden->y())
            button->move(button->x(), button->y() - pitch);
    }
}

void CCommunicateDlg::OnDestroy() {
    for (Section section : {Section::VideoCalling, Section::EditTools, Section::TellAFriend,
                            Section::VideoSnap, Section::VideoBlogging, Section::Gadgets})
        DestroyPane(section);
    CAttachablePane::OnDestroy();
}

LRESULT CCommunicateDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    Section section;
    if (message == WM_COMMAND && CCommunicateSections::FromButton(LOWORD(wParam), section)) {
        OpenSection(section);
        return 0;
    }
    return CAttachablePane::OnMessage(message, wParam, lParam);
}

void CCommunicateDlg::OpenSection(Section section) {
    bool& opening = g_opening[static_cast<size_t>(CCommunicateSections::IndexOf(section))];
    if (opening || !IsWindow())
        return;
    opening = true;
    for (int i = 0; i < CCommunicateSections::kCount; ++i) {
        if (CCommunicateSections::At(i) != section)
            DestroyPane(CCommunicateSections::At(i));
    }
    current_ = section;
    if (ExistingPane(section) == nullptr) {
        setWindowTitle(QString::fromStdString(LoadString(CCommunicateSections::InfoOf(section).title)));
        if (CDialogBase* pane = MakePane(section)) {
            if (QWidget* place = GetDlgItem(kPanePlace))
                pane->move(place->pos());
            pane->show();
        }
    }
    MarkSelected(section);
    opening = false;
}

CDialogBase* CCommunicateDlg::MakePane(Section section) {
    CCommunicateDocuments& documents = *documents_;
    return WithSlot(section, [&](auto& slot) -> CDialogBase* {
        using Pane = std::remove_pointer_t<decltype(slot.Get())>;
        Pane* pane = nullptr;
        if constexpr (std::is_constructible_v<Pane, CCommunicateDocuments&, QWidget*>)
            pane = new Pane(documents, this);
        else
            pane = new Pane(this);
        slot = pane;
        pane->SetDeleteOnDestroy(true);
        if (!pane->Create(this)) {
            slot.Clear();
            delete pane;
            return nullptr;
        }
        return pane;
    });
}

CDialogBase* CCommunicateDlg::ExistingPane(Section section) {
    return WithSlot(section, [](auto& slot) -> CDialogBase* { return slot.Get(); });
}

void CCommunicateDlg::DestroyPane(Section section) {
    if (CDialogBase* pane = ExistingPane(section)) {
        WithSlot(section, [](auto& slot) { slot.Clear(); });
        pane->DestroyWindow();
    }
}

void CCommunicateDlg::MarkSelected(Section section) {
    for (int i = 0; i < CCommunicateSections::kCount; ++i) {
        if (CTransparentImageButton* button = ButtonOf(*this, CCommunicateSections::At(i))) {
            button->SetPressedLook(CCommunicateSections::At(i) == section);
            button->update();
        }
    }
}
