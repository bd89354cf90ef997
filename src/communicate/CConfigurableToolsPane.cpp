#include "communicate/CConfigurableToolsPane.h"

#include "communicate/CPaneConfigReader.h"
#include "communicate/CSectionWnd.h"
#include "communicate/CToolOpener.h"
#include "platform/TextUtil.h"
#include "ui/CCustomMessageBoxOK.h"

#include <QScrollArea>
#include <QScrollBar>

CConfigurableToolsPane::CConfigurableToolsPane(uint32_t templateId, const CPaneConfigReader& document,
                                               QWidget* parent)
    : CDialogBase(templateId, parent), document_(document) {}

CConfigurableToolsPane::~CConfigurableToolsPane() {
    if (IsWindow())
        DestroyWindow();
}

bool CConfigurableToolsPane::OnInitDialog() {
    CDialogBase::OnInitDialog();
    BuildSections();
    return true;
}

void CConfigurableToolsPane::BuildSections() {
    QWidget* place = GetDlgItem(kToolPlace);
    const QPoint origin = place != nullptr ? place->pos() : QPoint(10, 10);
    scroller_ = new QScrollArea(this);
    scroller_->setFrameShape(QFrame::NoFrame);
    scroller_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller_->setGeometry(origin.x(), origin.y(), width() - 2 * origin.x(), height() - origin.y() - 4);
    scroller_->viewport()->setAutoFillBackground(false);
    auto* list = new QWidget();
    list->setAutoFillBackground(false);

    // Room for a scroll bar is kept so that the links do not move when one appears.
    const int listWidth = scroller_->width() - scroller_->verticalScrollBar()->sizeHint().width();
    int y = 0;
    for (const CPaneConfigReader::Section& section : document_.Sections()) {
        const std::vector<const CToolData*> tools = section.ShownTools();
        if (tools.empty())
            continue;
        const int32_t logo = Text::ParseIntAutoBase(section.logo);
        auto* window = new CSectionWnd(logo > 0 ? static_cast<uint32_t>(logo) : 0u, this, list);
        for (const CToolData* tool : tools)
            window->AddTool(tool->GetId(), tool->label);
        window->LayOut(listWidth);
        window->move(0, y);
        y += window->height() + 12;
        sections_.push_back(window);
    }
    list->resize(listWidth, qMax(0, y - 12));
    scroller_->setWidget(list);
    // The list is drawn on the pane's own background (setWidget would fill it).
    list->setAutoFillBackground(false);
    scroller_->show();
}

void CConfigurableToolsPane::OnToolClicked(const std::string& toolId) {
    const CToolData* tool = document_.Find(toolId);
    if (tool == nullptr)
        return;
    const CToolOpener::Result result = CToolOpener::Open(*tool);
    if (result.message.empty())
        return;
    using Kind = CToolOpener::Result::Kind;
    const MessageBoxIcon icon =
        result.kind == Kind::Prompt ? MessageBoxIcon::Information : MessageBoxIcon::Warning;
    // Not a child of the pane: the pane may go (its window closed by the ribbon) while the box is open.
    CCustomMessageBoxOK box(result.message, icon);
    box.Run();
}
