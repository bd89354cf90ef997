#pragma once
// A process-wide pointer to a window that may or may not exist (the capture window, the settings window,
// ...). The window empties its slot itself when it is destroyed, so the slot never points at a window that
// is gone. User-interface thread only.
class CDialogBase;

class CWindowSlotBase {
public:
    CWindowSlotBase() = default;
    ~CWindowSlotBase();
    CWindowSlotBase(const CWindowSlotBase&) = delete;
    CWindowSlotBase& operator=(const CWindowSlotBase&) = delete;

    bool IsEmpty() const { return window_ == nullptr; }
    // Forgets the window without destroying it.
    void Clear() { Set(nullptr); }

protected:
    void Set(CDialogBase* window);
    CDialogBase* Window() const { return window_; }

private:
    friend class CDialogBase;
    // Called by the window as it is destroyed.
    void WindowGone() { window_ = nullptr; }

    CDialogBase* window_ = nullptr;
};

template <class T> class CWindowSlot : public CWindowSlotBase {
public:
    // Puts a window in the slot (replacing the one held, which is left alone).
    void Set(T* window) { CWindowSlotBase::Set(window); }
    CWindowSlot& operator=(T* window) {
        Set(window);
        return *this;
    }
    T* Get() const { return static_cast<T*>(Window()); }
    T* operator->() const { return Get(); }
    explicit operator bool() const { return !IsEmpty(); }
};
