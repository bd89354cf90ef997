#include "communicate/CSectionWnd.h"

#include "communicate/ISectionCallback.h"
#include "ui/CImageCache.h"
#include "ui/CTransparentStatic.h"
#include "ui/CTransparentTextButton.h"

CSectionWnd::CSectionWnd(uint32_t logo, ISectionCallback* callback, QWidget* parent)
    : QWidget(parent), callback_(callback) {
    QImage image;
    if (logo != 0 && CImageCache::Instance().GetImage(logo, image) && !image.isNull()) {
        logo_ = new CTransparentStatic(this);
        logo_->SetImage(image);
    }
}

void CSectionWnd::AddTool(const std::string& toolId, const std::string& label) {
    auto* link = new CTransparentTextButton(this);
    link->setText(QString::fromStdString(label));
    link->setAccessibleName(link->text());
    // A long name is cut to the pane's width; the tip shows all of it.
    link->SetToolTipText(label);
    tools_.push_back({toolId, link});
    // The id is copied: the callback may rebuild the pane and this section with it.
    connect(link, &QAbstractButton::clicked, this, [this, toolId] {
        if (callback_ != nullptr)
            callback_->OnToolClicked(toolId);
    });
}

CTransparentTextButton* CSectionWnd::ToolLink(int index) const {
    return index >= 0 && index < ToolCount() ? tools_[static_cast<size_t>(index)].link : nullptr;
}

void CSectionWnd::LayOut(int width) {
    int y = 0;
    if (logo_ != nullptr) {
        QSizeF size = logo_->Image().deviceIndependentSize();
        if (size.height() > kLogoMaxHeight || size.width() > width)
            size.scale(QSizeF(width, kLogoMaxHeight), Qt::KeepAspectRatio);
        logo_->setGeometry(0, 0, width, static_cast<int>(size.height()));
        y = logo_->height() + 4;
    }
    for (const Tool& tool : tools_) {
        tool.link->setGeometry(12, y, width - 12, kLinkHeight);
        y += kLinkHeight;
    }
    resize(width, y);
}
