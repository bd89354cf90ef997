#pragma once
// One group of tools in a tools pane of the communicate window: the group's logo (an image of the resource
// library, by number; none when the number names no image) above a list of tool links. A click on a link
// tells the pane's callback which tool it was.
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

class CTransparentStatic;
class CTransparentTextButton;
class ISectionCallback;

class CSectionWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kLinkHeight = 24;
    static constexpr int kLogoMaxHeight = 48;

    CSectionWnd(uint32_t logo, ISectionCallback* callback, QWidget* parent = nullptr);

    void AddTool(const std::string& toolId, const std::string& label);
    int ToolCount() const { return static_cast<int>(tools_.size()); }
    // The link of the tool at `index` (document order).
    CTransparentTextButton* ToolLink(int index) const;
    const std::string& ToolId(int index) const { return tools_[static_cast<size_t>(index)].id; }
    // Places the logo and the links for the given width and takes the height they need.
    void LayOut(int width);

private:
    struct Tool {
        std::string id;
        CTransparentTextButton* link;
    };
    ISectionCallback* callback_;
    CTransparentStatic* logo_ = nullptr;
    std::vector<Tool> tools_;
};
