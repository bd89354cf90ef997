#include "ui/CDialogBase.h"

#include "config/COEMInfo.h"
#include "platform/CResourceLibrary.h"
#include "platform/DebugOutput.h"
#include "ui/CControlFactory.h"
#include "ui/CDialogTemplate.h"
#include "ui/CWindowSlot.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMetaProperty>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <mutex>

namespace {

constexpr const char* kCtrlIdProperty = "vidoraDlgCtrlId";

// The existing windows, for broadcasts. Other threads only read the queues and the top-level flags.
struct WindowEntry {
    CDialogBase* window;
    std::shared_ptr<CMessageQueue> queue;
    bool topLevel;
};
std::mutex g_windowsLock;
std::vector<WindowEntry> g_windows;

bool OnUiThread() {
    QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && app->thread() == QThread::currentThread();
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string ExpandText(const std::string& text) {
    COEMInfo* oem = GetOEMInfo();
    return oem != nullptr ? oem->ExpandText(text) : text;
}

// A writable property of the widget, by name; invalid when it has none.
QMetaProperty WritableProperty(const QObject* object, const char* name) {
    const QMetaObject* meta = object->metaObject();
    int index = meta->indexOfProperty(name);
    if (index < 0)
        return {};
    QMetaProperty p = meta->property(index);
    return p.isWritable() ? p : QMetaProperty();
}

void SetIntProperty(QWidget* widget, const char* name, const std::optional<int>& value) {
    if (value && WritableProperty(widget, name).isValid())
        widget->setProperty(name, *value);
}

} // namespace

CDialogBase::CDialogBase(uint32_t templateId, QWidget* parent)
    : QDialog(parent), templateId_(templateId), queue_(CMessageQueue::Create()) {}

CDialogBase::~CDialogBase() {
    Teardown(true);
    ClearSlots();
}

void CDialogBase::SetTemplateData(const QByteArray& xml) {
    templateData_ = xml;
}

// ---- lifetime --------------------------------------------------------------------------------------------

std::string CDialogBase::LoadString(uint32_t id) {
    return ExpandText(CResourceLibrary::Instance().GetString(id));
}

bool CDialogBase::BuildControls() {
    if (controlsBuilt_)
        return true;
    if (templateId_ == 0 && !templateData_) {
        controlsBuilt_ = true;
        return true;
    }
    std::string error;
    std::optional<CDialogTemplate> t = templateData_ ? CDialogTemplate::Parse(*templateData_, &error)
                                                     : CDialogTemplate::Load(templateId_, &error);
    if (!t) {
        OutputDebugString("CDialogBase: cannot create the window: " + error);
        return false;
    }

    // All controls or none: a window missing some of its controls would fail in ways that are hard to see.
    std::vector<std::pair<const CDialogTemplate::Control*, QWidget*>> made;
    for (const CDialogTemplate::Control& c : t->controls) {
        QWidget* w = CControlFactory::Instance().Create(c, this);
        if (w == nullptr) {
            OutputDebugString("CDialogBase: cannot create the window: unknown control class \"" +
                              c.className + "\"");
            for (auto& [control, widget] : made)
                delete widget;
            return false;
        }
        made.emplace_back(&c, w);
    }

    resize(t->size);
    std::string caption = t->captionId != 0 ? LoadString(t->captionId) : ExpandText(t->caption);
    if (!caption.empty())
        setWindowTitle(Q(caption));
    style_ = t->style;
    if (t->hasStyle) {
        Qt::WindowFlags flags = t->style & CDialogTemplate::StyleToolWindow ? Qt::Tool : Qt::Dialog;
        flags |= Qt::CustomizeWindowHint;
        if ((t->style & CDialogTemplate::StylePopup) && !(t->style & CDialogTemplate::StyleCaption))
            flags |= Qt::FramelessWindowHint;
        if (t->style & CDialogTemplate::StyleCaption)
            flags |= Qt::WindowTitleHint;
        if (t->style & CDialogTemplate::StyleSysMenu)
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (t->style & CDialogTemplate::StyleMinimizeBox)
            flags |= Qt::WindowMinimizeButtonHint;
        if (t->style & CDialogTemplate::StyleMaximizeBox)
            flags |= Qt::WindowMaximizeButtonHint;
        if (t->style & CDialogTemplate::StyleTopMost)
            flags |= Qt::WindowStaysOnTopHint;
        if (t->style & CDialogTemplate::StyleChild)
            flags = Qt::Widget;
        setWindowFlags(flags);
    }

    for (auto& [c, w] : made) {
        w->setGeometry(c->rect);
        std::string text = c->captionId != 0 ? LoadString(c->captionId) : ExpandText(c->text);
        if (!text.empty())
            SetWidgetText(w, text);
        std::string tip = c->tooltipId != 0 ? LoadString(c->tooltipId) : ExpandText(c->tooltipText);
        if (!tip.empty())
            w->setToolTip(Q(tip));
        SetIntProperty(w, "minimum", c->minimum);
        SetIntProperty(w, "maximum", c->maximum);
        SetIntProperty(w, "value", c->value);
        if (c->checked) {
            if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                button->setCheckable(true);
                button->setChecked(true);
            } else if (WritableProperty(w, "checked").isValid()) {
                w->setProperty("checked", true);
            }
        }
        w->setEnabled(!c->disabled);
        if (c->hidden)
            w->setHidden(true);
        // The first control with an id wins, as lookups by id always find the first one.
        if (c->id > 0 && (items_.count(c->id) == 0 || items_[c->id].isNull()))
            RegisterDlgItem(c->id, w);
    }
    controlsBuilt_ = true;
    return true;
}

bool CDialogBase::CreateWindow() {
    if (created_ || inModal_)
        return false;
    if (!BuildControls())
        return false;
    created_ = true;
    endRequested_ = false;
    result_ = IDCANCEL;
    queue_->Open(this);
    RegisterWindow();
    OnInitDialog();
    return true;
}

bool CDialogBase::Create(QWidget* parent) {
    if (created_ || inModal_)
        return false;
    if (parent != nullptr && parent != parentWidget())
        setParent(parent, windowFlags());
    if (!CreateWindow())
        return false;
    if (created_ && (style_ & CDialogTemplate::StyleVisible) && !endRequested_)
        show();
    return true;
}

intptr_t CDialogBase::DoModal() {
    if (created_ || inModal_)
        return kDialogCreateFailed;
    if (!CreateWindow())
        return kDialogCreateFailed;
    inModal_ = true;
    // OnInitDialog may already have ended the dialog (or destroyed the window).
    if (!endRequested_ && created_)
        QDialog::exec();
    inModal_ = false;
    intptr_t result = result_;
    Teardown(false);
    return result;
}

void CDialogBase::EndDialog(intptr_t result) {
    result_ = result;
    endRequested_ = true;
    // Ends exec() when it runs; hides the window otherwise.
    QDialog::done(static_cast<int>(result));
}

void CDialogBase::DestroyWindow() {
    if (!created_)
        return;
    if (inModal_ && !endRequested_)
        EndDialog(IDCANCEL);
    Teardown(false);
    if (deleteOnDestroy_)
        deleteLater();
}

void CDialogBase::Teardown(bool fromDestructor) {
    if (!created_) {
        queue_->Close();
        return;
    }
    created_ = false;
    if (!fromDestructor)
        OnDestroy();
    StopAllTimers();
    // Queued messages are dropped; a message posted from now on is refused.
    queue_->Close();
    UnregisterWindow();
    ClearSlots();
    if (!fromDestructor)
        hide();
}

// ---- controls --------------------------------------------------------------------------------------------

QWidget* CDialogBase::GetDlgItem(int id) const {
    auto it = items_.find(id);
    return it != items_.end() ? it->second.data() : nullptr;
}

void CDialogBase::RegisterDlgItem(int id, QWidget* widget) {
    if (id <= 0)
        return;
    if (widget == nullptr) {
        items_.erase(id);
        return;
    }
    widget->setProperty(kCtrlIdProperty, id);
    items_[id] = widget;
}

bool CDialogBase::SetDlgItemText(int id, const std::string& text) {
    QWidget* w = GetDlgItem(id);
    return w != nullptr && SetWidgetText(w, text);
}

std::string CDialogBase::GetDlgItemText(int id) const {
    QWidget* w = GetDlgItem(id);
    return w != nullptr ? GetWidgetText(w) : std::string();
}

int CDialogBase::GetDlgCtrlID(const QWidget* widget) {
    if (widget == nullptr)
        return 0;
    QVariant v = widget->property(kCtrlIdProperty);
    return v.isValid() ? v.toInt() : 0;
}

bool CDialogBase::SetWidgetText(QWidget* widget, const std::string& text) {
    if (widget == nullptr)
        return false;
    for (const char* name : {"text", "plainText", "title"}) {
        if (WritableProperty(widget, name).isValid())
            return widget->setProperty(name, Q(text));
    }
    widget->setWindowTitle(Q(text));
    return true;
}

std::string CDialogBase::GetWidgetText(const QWidget* widget) {
    if (widget == nullptr)
        return {};
    for (const char* name : {"text", "plainText", "title", "currentText"}) {
        if (widget->metaObject()->indexOfProperty(name) >= 0)
            return widget->property(name).toString().toStdString();
    }
    return widget->windowTitle().toStdString();
}

// ---- messages --------------------------------------------------------------------------------------------

bool CDialogBase::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return queue_->Post(message, wParam, lParam);
}

LRESULT CDialogBase::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!queue_->Send(message, wParam, lParam, -1, &result))
        return 0;
    return result;
}

size_t CDialogBase::RemovePostedMessages(UINT message) {
    return queue_->Remove(message);
}

size_t CDialogBase::PendingMessageCount(UINT message) const {
    return queue_->Count(message);
}

void CDialogBase::MapMessage(UINT message, MessageHandler handler) {
    if (handler)
        handlers_[message] = std::move(handler);
    else
        handlers_.erase(message);
}

LRESULT CDialogBase::ReceiveMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return WindowProc(message, wParam, lParam);
}

LRESULT CDialogBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto it = handlers_.find(message); it != handlers_.end()) {
        MessageHandler handler = it->second; // the handler may unmap itself
        return handler(wParam, lParam);
    }
    switch (message) {
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        return 0;
    case WM_CLOSE:
        close();
        return 0;
    default:
        return OnMessage(message, wParam, lParam);
    }
}

bool CDialogBase::event(QEvent* e) {
    if (CMessageQueue::IsWakeEvent(e)) {
        queue_->DeliverNext();
        return true;
    }
    return QDialog::event(e);
}

void CDialogBase::changeEvent(QEvent* e) {
    if (e->type() == QEvent::ParentChange)
        UpdateTopLevel();
    QDialog::changeEvent(e);
}

void CDialogBase::RegisterWindow() {
    std::lock_guard guard(g_windowsLock);
    g_windows.push_back(WindowEntry{this, queue_, isWindow()});
}

void CDialogBase::UnregisterWindow() {
    std::lock_guard guard(g_windowsLock);
    std::erase_if(g_windows, [this](const WindowEntry& e) { return e.window == this; });
}

void CDialogBase::UpdateTopLevel() {
    std::lock_guard guard(g_windowsLock);
    for (WindowEntry& e : g_windows)
        if (e.window == this)
            e.topLevel = isWindow();
}

std::vector<CDialogBase*> CDialogBase::TopLevelWindows() {
    std::lock_guard guard(g_windowsLock);
    std::vector<CDialogBase*> result;
    for (const WindowEntry& e : g_windows)
        if (e.topLevel)
            result.push_back(e.window);
    return result;
}

bool CDialogBase::BroadcastMessage(UINT message, WPARAM wParam, LPARAM lParam, uint32_t timeoutMs) {
    if (OnUiThread()) {
        // Same thread: every window answers before the call returns.
        for (CDialogBase* window : TopLevelWindows()) {
            // An earlier handler may have destroyed this window.
            std::shared_ptr<CMessageQueue> queue;
            {
                std::lock_guard guard(g_windowsLock);
                auto it = std::find_if(g_windows.begin(), g_windows.end(),
                                       [window](const WindowEntry& e) { return e.window == window; });
                if (it == g_windows.end() || !it->topLevel)
                    continue;
                queue = it->queue;
            }
            queue->Send(message, wParam, lParam, -1, nullptr);
        }
        return true;
    }

    std::vector<std::shared_ptr<CMessageQueue>> queues;
    {
        std::lock_guard guard(g_windowsLock);
        for (const WindowEntry& e : g_windows)
            if (e.topLevel)
                queues.push_back(e.queue);
    }
    std::vector<std::shared_ptr<CSentMessageReply>> replies;
    bool all = true;
    for (auto& queue : queues) {
        std::shared_ptr<CSentMessageReply> reply = queue->SendNoWait(message, wParam, lParam);
        if (reply)
            replies.push_back(std::move(reply));
        else
            all = false; // went away in between
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (auto& reply : replies) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                          std::chrono::steady_clock::now());
        if (!reply->Wait(std::max<int64_t>(0, left.count()), nullptr))
            all = false;
    }
    return all;
}

bool BroadcastMessage(UINT message, WPARAM wParam, LPARAM lParam, uint32_t timeoutMs) {
    return CDialogBase::BroadcastMessage(message, wParam, lParam, timeoutMs);
}

// ---- timers ----------------------------------------------------------------------------------------------

UINT_PTR CDialogBase::SetTimer(UINT_PTR id, uint32_t elapseMs) {
    if (id == 0 || !created_)
        return 0;
    KillTimer(id);
    uint32_t interval = std::clamp(elapseMs, kMinimumTimerInterval, kMaximumTimerInterval);
    ITimerService& service = GetTimerService();
    ITimerService::TimerHandle handle = service.StartTimer(interval, [this, id] { OnTimerElapsed(id); });
    timers_[id] = TimerEntry{&service, handle};
    return id;
}

bool CDialogBase::KillTimer(UINT_PTR id) {
    auto it = timers_.find(id);
    if (it == timers_.end())
        return false;
    TimerEntry entry = it->second;
    timers_.erase(it);
    entry.service->StopTimer(entry.handle);
    return true;
}

void CDialogBase::StopAllTimers() {
    std::map<UINT_PTR, TimerEntry> timers;
    timers.swap(timers_);
    for (auto& [id, entry] : timers)
        entry.service->StopTimer(entry.handle);
}

void CDialogBase::OnTimerElapsed(UINT_PTR id) {
    if (timers_.count(id) != 0)
        WindowProc(WM_TIMER, id, 0);
}

// ---- window slots ----------------------------------------------------------------------------------------

void CDialogBase::BindSlot(CWindowSlotBase* slot) {
    if (std::find(slots_.begin(), slots_.end(), slot) == slots_.end())
        slots_.push_back(slot);
}

void CDialogBase::UnbindSlot(CWindowSlotBase* slot) {
    std::erase(slots_, slot);
}

void CDialogBase::ClearSlots() {
    std::vector<CWindowSlotBase*> bound;
    bound.swap(slots_);
    for (CWindowSlotBase* slot : bound)
        slot->WindowGone();
}
