#pragma once
// Shows the wait cursor for as long as it lives, while something the user asked for may take a moment
// (starting a program or a service). Without a graphical user interface it does nothing.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    bool shown_;
};
