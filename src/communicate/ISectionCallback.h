#pragma once
// What a tool section (CSectionWnd) tells the pane it belongs to: the user clicked one of its tools.
#include <string>

class ISectionCallback {
public:
    virtual ~ISectionCallback() = default;
    // `toolId` is the tool's identifier in its document.
    virtual void OnToolClicked(const std::string& toolId) = 0;
};
