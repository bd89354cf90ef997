#pragma once
// The base of every window of the program. It gives a Qt dialog what the windows are written against:
// - child controls found by numeric id, built from a dialog template of the resource library
//   (CDialogTemplate) through the control factory (CControlFactory), or registered by code;
// - modal (DoModal / EndDialog) and modeless (Create / DestroyWindow) lifetimes, with OnInitDialog once
//   the controls exist and OnDestroy when the window goes;
// - messages: PostMessage from any thread, delivered on the user-interface thread in posting order;
//   SendMessage; private messages WM_APP + n and registered messages, handled in WindowProc through a
//   message map (MapMessage) or OnMessage; RemovePostedMessages takes queued messages of one kind out;
// - timers by id (SetTimer / KillTimer / OnTimer) through the process's timer service;
// - process-wide window slots (CWindowSlot) that empty themselves when the window goes.
//
// The window "exists" from Create or DoModal until DestroyWindow, the end of DoModal or the destructor.
// Messages posted while it does not exist are refused; messages still queued when it goes are dropped; its
// timers stop with it. The C++ object itself stays until its owner deletes it, unless
// SetDeleteOnDestroy(true) asks the window to delete itself after DestroyWindow.
#include "platform/CMessageQueue.h"
#include "platform/CMessageTarget.h"
#include "platform/WindowMessages.h"
#include "ui/ITimerService.h"

#include <QByteArray>
#include <QDialog>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CWindowSlotBase;

class CDialogBase : public QDialog, private IMessageReceiver {
    Q_OBJECT
public:
    // templateId 0: no template; the window's code makes its controls.
    explicit CDialogBase(uint32_t templateId = 0, QWidget* parent = nullptr);
    ~CDialogBase() override;

    // Uses a template given as bytes instead of the resource library's (before Create or DoModal).
    void SetTemplateData(const QByteArray& xml);
    uint32_t TemplateId() const { return templateId_; }

    // ---- lifetime --------------------------------------------------------------------------------------
    // Makes the window modeless: builds the controls, runs OnInitDialog and shows the window when its
    // template asks for it ("visible"). False when the template cannot be read or names an unknown control
    // class (the window then does not exist), or when the window already exists.
    bool Create(QWidget* parent = nullptr);
    // Runs the window modally until EndDialog; the result given to EndDialog, IDCANCEL when the window was
    // closed otherwise, -1 when it could not be created or already exists.
    intptr_t DoModal();
    // Ends a modal run with this result (also from OnInitDialog, before the window shows); hides a
    // modeless window.
    void EndDialog(intptr_t result);
    // Destroys the window (not the object): OnDestroy, timers stopped, queued messages dropped, slots
    // emptied, hidden. Safe from inside the window's own handlers.
    void DestroyWindow();
    bool IsWindow() const { return created_; }
    bool IsModal() const { return inModal_; }
    // The window deletes itself (later, from the event loop) after DestroyWindow. For windows made with new
    // and owned by nobody.
    void SetDeleteOnDestroy(bool on) { deleteOnDestroy_ = on; }

    // ---- controls --------------------------------------------------------------------------------------
    QWidget* GetDlgItem(int id) const;
    template <class T> T* GetDlgItemAs(int id) const { return qobject_cast<T*>(GetDlgItem(id)); }
    // Makes a child found by id (replacing an earlier one with that id). Ids 0 and below are not looked up.
    void RegisterDlgItem(int id, QWidget* widget);
    bool SetDlgItemText(int id, const std::string& text);
    std::string GetDlgItemText(int id) const;
    // The id a control was registered with; 0 when none.
    static int GetDlgCtrlID(const QWidget* widget);
    // Text of any widget through its "text" (or "plainText", "title") property, the window title otherwise.
    static bool SetWidgetText(QWidget* widget, const std::string& text);
    static std::string GetWidgetText(const QWidget* widget);
    // A string of the resource library, through the OEM text expansion when OEM information is set.
    static std::string LoadString(uint32_t id);

    // ---- messages --------------------------------------------------------------------------------------
    // Any thread. False when the window does not exist; the message is then dropped.
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Handles the message now and returns the handler's result. From another thread the caller waits until
    // the user-interface thread has handled it. 0 when the window does not exist.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Takes every posted message of this kind that is still waiting out of the queue (any thread); the
    // number removed.
    size_t RemovePostedMessages(UINT message);
    // Posted messages of this kind still waiting.
    size_t PendingMessageCount(UINT message) const;
    // A handle other threads can keep and post to after the window has gone.
    CMessageTarget GetSafeHwnd() const { return CMessageTarget(queue_); }

    // Message map: a handler for one message (a WM_APP + n or a registered message id). An empty handler
    // removes the entry. Mapped messages reach the handler before WM_TIMER / WM_CLOSE handling and
    // OnMessage.
    using MessageHandler = std::function<LRESULT(WPARAM wParam, LPARAM lParam)>;
    void MapMessage(UINT message, MessageHandler handler);
    // Every message ends here: the message map, then WM_TIMER (OnTimer) and WM_CLOSE (closes like the close
    // button), then OnMessage.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Sends the message to every existing top-level window of the process (hidden ones included). Windows
    // of the calling thread are handled at once; from another thread the call waits for them at most
    // timeoutMs in all. True when every window answered in time.
    static bool BroadcastMessage(UINT message, WPARAM wParam, LPARAM lParam, uint32_t timeoutMs);
    // Existing top-level windows (user-interface thread).
    static std::vector<CDialogBase*> TopLevelWindows();

    // ---- timers ----------------------------------------------------------------------------------------
    // Starts (or restarts) timer `id` of this window; OnTimer(id) then runs every `elapseMs` (at least 10)
    // on the user-interface thread. Returns the id, or 0 when id is 0 or the window does not exist.
    UINT_PTR SetTimer(UINT_PTR id, uint32_t elapseMs);
    // False when no such timer runs.
    bool KillTimer(UINT_PTR id);
    bool IsTimerRunning(UINT_PTR id) const { return timers_.count(id) != 0; }

    static constexpr uint32_t kMinimumTimerInterval = 10;
    static constexpr uint32_t kMaximumTimerInterval = 0x7FFFFFFF;

protected:
    // Once the controls exist, before the window shows. The return value is kept for the windows' own use.
    virtual bool OnInitDialog() { return true; }
    // The OK and Cancel actions (Enter, Escape, the close button): end the dialog with IDOK / IDCANCEL.
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // The window is going (DestroyWindow or end of DoModal; not called from the destructor).
    virtual void OnDestroy() {}
    virtual void OnTimer(UINT_PTR id) {}
    // Messages the map does not handle; 0 by default.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) { return 0; }

    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }

private:
    friend class CWindowSlotBase;
    struct TimerEntry {
        ITimerService* service = nullptr;
        ITimerService::TimerHandle handle = 0;
    };

    QObject* ReceiverObject() override { return this; }
    LRESULT ReceiveMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    bool CreateWindow();
    bool BuildControls();
    void Teardown(bool fromDestructor);
    void StopAllTimers();
    void OnTimerElapsed(UINT_PTR id);
    void BindSlot(CWindowSlotBase* slot);
    void UnbindSlot(CWindowSlotBase* slot);
    void ClearSlots();
    void RegisterWindow();
    void UnregisterWindow();
    void UpdateTopLevel();

    uint32_t templateId_ = 0;
    std::optional<QByteArray> templateData_;
    bool controlsBuilt_ = false;
    uint32_t style_ = 0;
    bool created_ = false;
    bool inModal_ = false;
    bool endRequested_ = false;
    bool deleteOnDestroy_ = false;
    intptr_t result_ = IDCANCEL;
    std::shared_ptr<CMessageQueue> queue_;
    std::map<int, QPointer<QWidget>> items_;
    std::map<UINT, MessageHandler> handlers_;
    std::map<UINT_PTR, TimerEntry> timers_;
    std::vector<CWindowSlotBase*> slots_;
};

// Shorthand for CDialogBase::BroadcastMessage.
bool BroadcastMessage(UINT message, WPARAM wParam, LPARAM lParam, uint32_t timeoutMs);
