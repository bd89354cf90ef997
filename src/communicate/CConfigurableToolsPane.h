#pragma once
// The base of the communicate window's tool panes (edit tools, video blogging, tell a friend): one
// CSectionWnd per section of the pane's tool document, each listing the section's tools that are offered on
// this computer; sections without such a tool are left out. The sections stack one under the other from the
// template's tool place (kToolPlace) down to the bottom of the pane, scrolling when they do not fit.
//
// A click on a tool opens it: the installed program starts, or the download page opens, or the tool's
// prompt is shown; a tool Vidora refuses to start, or one that cannot be opened, is explained in a message.
#include "communicate/ISectionCallback.h"
#include "ui/CDialogBase.h"

#include <functional>
#include <vector>

class CPaneConfigReader;
class CSectionWnd;
class QScrollArea;

class CConfigurableToolsPane : public CDialogBase, public ISectionCallback {
    Q_OBJECT
public:
    // The top-left corner of the tool list; the list reaches down to the pane's bottom.
    static constexpr int kToolPlace = 1182;

    CConfigurableToolsPane(uint32_t templateId, const CPaneConfigReader& document, QWidget* parent = nullptr);
    ~CConfigurableToolsPane() override;

    // The sections shown, in document order.
    const std::vector<CSectionWnd*>& Sections() const { return sections_; }

    void OnToolClicked(const std::string& toolId) override;

protected:
    bool OnInitDialog() override;

private:
    void BuildSections();

    const CPaneConfigReader& document_;
    QScrollArea* scroller_ = nullptr;
    std::vector<CSectionWnd*> sections_;
};
