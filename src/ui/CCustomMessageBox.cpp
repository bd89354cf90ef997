#include "ui/CCustomMessageBox.h"

#include "config/COEMInfo.h"
#include "ui/CImageCache.h"
#include "ui/CTransparentImageButton.h"
#include "ui/CTransparentStatic.h"
#include "ui/CVidoraSkin.h"
#include "ui/ControlsStyle.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <mutex>

namespace {

constexpr int kMargin = 20;
constexpr int kIconSize = 32;
constexpr int kGap = 16;
constexpr int kButtonHeight = 30;
constexpr int kButtonMinWidth = 88;
constexpr int kMinTextWidth = 280;
constexpr int kMaxTextWidth = 440;
// Beyond this a text is cut off rather than making the box taller than a screen.
constexpr int kMaxTextHeight = 360;

std::mutex g_hookLock;
CCustomMessageBox::AnswerHook& HookSlot() {
    static CCustomMessageBox::AnswerHook hook;
    return hook;
}

QPointer<CCustomMessageBox>& CurrentSlot(CCustomMessageBox::Kind kind) {
    static QPointer<CCustomMessageBox> openBoxes[2];
    return openBoxes[static_cast<int>(kind)];
}

QString StandardButtonText(QDialogButtonBox::StandardButton which) {
    // The desktop's own (translated) wording for the standard answers.
    QDialogButtonBox box(which);
    QPushButton* button = box.button(which);
    return button != nullptr ? button->text() : QString();
}

// Drawn when the image cache has no icon (or is off).
QImage PaintedIcon(MessageBoxIcon icon) {
    QImage image(kIconSize * 2, kIconSize * 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(2, 2);
    const QRectF disc(2, 2, 28, 28);
    switch (icon) {
    case MessageBoxIcon::Warning: {
        QPainterPath triangle;
        triangle.moveTo(16, 3.5);
        triangle.lineTo(30, 29);
        triangle.lineTo(2, 29);
        triangle.closeSubpath();
        p.fillPath(triangle, ControlsStyle::Warning());
        p.setPen(QPen(ControlsStyle::WindowBackground(), 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 12), QPointF(16, 19.5));
        p.drawPoint(QPointF(16, 24.2));
        break;
    }
    case MessageBoxIcon::Error:
        p.setPen(Qt::NoPen);
        p.setBrush(ControlsStyle::Error());
        p.drawEllipse(disc);
        p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11, 11), QPointF(21, 21));
        p.drawLine(QPointF(21, 11), QPointF(11, 21));
        break;
    case MessageBoxIcon::Question:
    case MessageBoxIcon::Information: {
        p.setPen(Qt::NoPen);
        p.setBrush(ControlsStyle::Accent());
        p.drawEllipse(disc);
        QFont font = ControlsStyle::TitleFont();
        font.setPixelSize(20);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(disc, Qt::AlignCenter,
                   icon == MessageBoxIcon::Question ? QStringLiteral("?") : QStringLiteral("i"));
        break;
    }
    case MessageBoxIcon::None:
        break;
    }
    p.end();
    image.setDevicePixelRatio(2.0);
    return image;
}

} // namespace

CCustomMessageBox::CCustomMessageBox(Kind kind, std::string text, MessageBoxIcon icon, QWidget* parent)
    : CDialogBase(0, parent), kind_(kind), text_(std::move(text)), icon_(icon) {}

CCustomMessageBox::~CCustomMessageBox() {
    ReleaseSlot();
    if (IsWindow() && !IsModal())
        DestroyWindow();
}

std::string CCustomMessageBox::ResourceText(uint32_t stringId) {
    return LoadString(stringId);
}

void CCustomMessageBox::SetAnswerHook(AnswerHook hook) {
    std::lock_guard guard(g_hookLock);
    HookSlot() = std::move(hook);
}

bool CCustomMessageBox::HasAnswerHook() {
    std::lock_guard guard(g_hookLock);
    return static_cast<bool>(HookSlot());
}

CCustomMessageBox* CCustomMessageBox::Current(Kind kind) {
    return CurrentSlot(kind).data();
}

bool CCustomMessageBox::EndCurrent(Kind kind, intptr_t result) {
    CCustomMessageBox* box = Current(kind);
    if (box == nullptr)
        return false;
    box->End(result);
    return true;
}

int CCustomMessageBox::EndAll() {
    int ended = 0;
    ended += EndCurrent(Kind::OK, IDCANCEL) ? 1 : 0;
    ended += EndCurrent(Kind::YesNo, IDNO) ? 1 : 0;
    return ended;
}

QImage CCustomMessageBox::IconImage(MessageBoxIcon icon) {
    uint32_t id = 0;
    switch (icon) {
    case MessageBoxIcon::None:
        return {};
    case MessageBoxIcon::Information:
        id = kIconInformationId;
        break;
    case MessageBoxIcon::Warning:
        id = kIconWarningId;
        break;
    case MessageBoxIcon::Error:
        id = kIconErrorId;
        break;
    case MessageBoxIcon::Question:
        id = kIconQuestionId;
        break;
    }
    QImage image = CImageCache::Instance().GetImage(id);
    if (image.isNull())
        return PaintedIcon(icon);
    // The library's icons are drawn at twice their size.
    if (image.width() > kIconSize)
        image.setDevicePixelRatio(double(image.width()) / kIconSize);
    return image;
}

// ---- one box of each kind
// -------------------------------------------------------------------------------------

void CCustomMessageBox::TakeSlot() {
    QPointer<CCustomMessageBox>& slot = CurrentSlot(kind_);
    if (slot && slot.data() != this) {
        CCustomMessageBox* old = slot.data();
        slot = nullptr;
        old->End(IDCANCEL);
    }
}

void CCustomMessageBox::ReleaseSlot() {
    QPointer<CCustomMessageBox>& slot = CurrentSlot(kind_);
    if (slot.data() == this)
        slot = nullptr;
}

// ---- running
// --------------------------------------------------------------------------------------------------

intptr_t CCustomMessageBox::Run() {
    if (started_)
        return result_ != 0 ? result_ : IDCANCEL;
    started_ = true;
    TakeSlot();
    AnswerHook hook;
    {
        std::lock_guard guard(g_hookLock);
        hook = HookSlot();
    }
    if (hook) {
        result_ = hook(kind_, text_, icon_);
        return result_;
    }
    open_ = true;
    CurrentSlot(kind_) = this;
    const intptr_t modal = DoModal();
    open_ = false;
    ReleaseSlot();
    if (result_ == 0)
        result_ = modal == kDialogCreateFailed ? IDCANCEL : modal;
    return result_;
}

bool CCustomMessageBox::Open(std::function<void(intptr_t)> onAnswer) {
    if (started_ || HasAnswerHook())
        return false;
    started_ = true;
    TakeSlot();
    onAnswer_ = std::move(onAnswer);
    open_ = true;
    CurrentSlot(kind_) = this;
    if (!Create()) {
        open_ = false;
        ReleaseSlot();
        result_ = IDCANCEL;
        return false;
    }
    show();
    raise();
    activateWindow();
    return true;
}

void CCustomMessageBox::End(intptr_t result) {
    if (open_)
        Finish(result);
}

void CCustomMessageBox::Finish(intptr_t result) {
    if (!open_)
        return;
    open_ = false;
    result_ = result;
    ReleaseSlot();
    if (IsModal()) {
        EndDialog(result);
        return;
    }
    EndDialog(result);
    DestroyWindow();
    // Last: the answer's receiver may delete this box.
    auto callback = std::move(onAnswer_);
    onAnswer_ = nullptr;
    if (callback)
        callback(result);
}

void CCustomMessageBox::OnOK() {
    Finish(kind_ == Kind::OK ? IDOK : IDYES);
}

void CCustomMessageBox::OnCancel() {
    Finish(DismissResult());
}

void CCustomMessageBox::OnDestroy() {
    // Destroyed from outside while still open: the question stays unanswered.
    if (open_) {
        open_ = false;
        result_ = IDCANCEL;
        ReleaseSlot();
        auto callback = std::move(onAnswer_);
        onAnswer_ = nullptr;
        if (callback)
            callback(IDCANCEL);
    }
}

void CCustomMessageBox::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && accept_ != nullptr) {
        accept_->click();
        event->accept();
        return;
    }
    CDialogBase::keyPressEvent(event);
}

// ---- building
// -------------------------------------------------------------------------------------------------

bool CCustomMessageBox::OnInitDialog() {
    BuildControls();
    return true;
}

void CCustomMessageBox::BuildControls() {
    std::string title = LoadString(kTitleStringId);
    if (GetOEMInfo() == nullptr || title.empty())
        title = "Vidora";
    setWindowTitle(QString::fromStdString(title));

    const QString text = QString::fromStdString(text_);
    const QFontMetrics metrics(ControlsStyle::ControlFont());
    const int singleLine = metrics.horizontalAdvance(text);
    const int textWidth = std::clamp(singleLine + 4, kMinTextWidth, kMaxTextWidth);
    const QRect needed = metrics.boundingRect(QRect(0, 0, textWidth, 100000), Qt::TextWordWrap, text);
    const int textHeight = std::min(std::max(needed.height(), metrics.height()), kMaxTextHeight);

    const bool hasIcon = icon_ != MessageBoxIcon::None;
    const int textLeft = hasIcon ? kMargin + kIconSize + kGap : kMargin;
    const int contentHeight = std::max(hasIcon ? kIconSize : 0, textHeight);

    if (hasIcon) {
        auto* icon = new CTransparentStatic(this);
        icon->SetImage(IconImage(icon_));
        icon->SetAlignment(Qt::AlignCenter);
        icon->setGeometry(kMargin, kMargin, kIconSize, kIconSize);
    }
    auto* label = new CTransparentStatic(this);
    label->SetWordWrap(true);
    label->SetAlignment(Qt::AlignLeft | (textHeight < kIconSize ? Qt::AlignVCenter : Qt::AlignTop));
    label->SetText(text);
    label->setGeometry(textLeft, kMargin, textWidth, std::max(textHeight, hasIcon ? kIconSize : 0));

    const int clientWidth = textLeft + textWidth + kMargin;
    const int buttonTop = kMargin + contentHeight + kMargin;
    auto makeButton = [this, &metrics](const QString& caption, int id, bool accent) {
        auto* button = new CTransparentImageButton(this);
        button->setText(caption);
        button->SetAccent(accent);
        RegisterDlgItem(id, button);
        const int width =
            std::max(kButtonMinWidth, metrics.horizontalAdvance(QString(caption).remove('&')) + 32);
        button->resize(width, kButtonHeight);
        return button;
    };
    if (kind_ == Kind::OK) {
        accept_ = makeButton(StandardButtonText(QDialogButtonBox::Ok), static_cast<int>(IDOK), true);
        connect(accept_, &QAbstractButton::clicked, this, [this] { Finish(IDOK); });
    } else {
        accept_ = makeButton(StandardButtonText(QDialogButtonBox::Yes), static_cast<int>(IDYES), true);
        reject_ = makeButton(StandardButtonText(QDialogButtonBox::No), static_cast<int>(IDNO), false);
        connect(accept_, &QAbstractButton::clicked, this, [this] { Finish(IDYES); });
        connect(reject_, &QAbstractButton::clicked, this, [this] { Finish(IDNO); });
    }
    // Buttons sit at the bottom right, the accented one last (nearest the corner the eye ends on).
    int right = clientWidth - kMargin;
    accept_->move(right - accept_->width(), buttonTop);
    right -= accept_->width() + 8;
    if (reject_ != nullptr)
        reject_->move(right - reject_->width(), buttonTop);
    accept_->setFocusPolicy(Qt::StrongFocus);
    accept_->setFocus();

    resize(clientWidth, buttonTop + kButtonHeight + kMargin);
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
    skin_ = new CVidoraSkin("app_titlename_inactive.png", "app_titlename.png", CVidoraSkin::FrameStyle::Popup,
                            this);
    skin_->Attach(this);
    setFixedSize(size());
}
