#include "ui/CToolTip.h"

#include "config/COEMInfo.h"
#include "platform/CResourceLibrary.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QTextLayout>
#include <QToolTip>
#include <QWidget>

#include <algorithm>

namespace {
constexpr const char* kObjectName = "vidora_tooltip";
}

CToolTip::CToolTip(QWidget* widget) : QObject(widget), widget_(widget) {
    setObjectName(kObjectName);
    widget->installEventFilter(this);
}

CToolTip* CToolTip::Find(QWidget* widget) {
    if (widget == nullptr)
        return nullptr;
    return widget->findChild<CToolTip*>(kObjectName, Qt::FindDirectChildrenOnly);
}

CToolTip* CToolTip::For(QWidget* widget) {
    if (widget == nullptr)
        return nullptr;
    if (CToolTip* existing = Find(widget))
        return existing;
    return new CToolTip(widget);
}

QString CToolTip::ResourceText(uint32_t stringId) {
    std::string text = CResourceLibrary::Instance().GetString(stringId);
    if (COEMInfo* oem = GetOEMInfo(); oem != nullptr && !text.empty())
        text = oem->ExpandText(text);
    return QString::fromStdString(text);
}

void CToolTip::SetTextId(uint32_t stringId) {
    SetText(ResourceText(stringId));
}

void CToolTip::SetText(const std::string& text) {
    SetText(QString::fromStdString(text));
}

void CToolTip::SetText(const QString& text) {
    if (widget_)
        widget_->setToolTip(text);
}

QString CToolTip::Text() const {
    return widget_ ? widget_->toolTip() : QString();
}

void CToolTip::SetMaxWidth(int pixels) {
    maxWidth_ = std::max(40, pixels);
}

QString CToolTip::WrappedText() const {
    const QFont font = QToolTip::font();
    QStringList lines;
    const QStringList paragraphs = Text().split(QLatin1Char('\n'));
    for (const QString& paragraph : paragraphs) {
        if (paragraph.isEmpty()) {
            lines << QString();
            continue;
        }
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (;;) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(maxWidth_);
        }
        layout.endLayout();
        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine line = layout.lineAt(i);
            QString piece = paragraph.mid(line.textStart(), line.textLength());
            while (piece.endsWith(QLatin1Char(' ')))
                piece.chop(1);
            lines << piece;
        }
    }
    return lines.join(QLatin1Char('\n'));
}

void CToolTip::ShowAt(const QPoint& globalPos) {
    if (!active_ || Text().isEmpty() || !widget_) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(globalPos, WrappedText(), widget_, QRect(), displayTime_);
}

bool CToolTip::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget_ && event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        ShowAt(help->globalPos());
        return true; // our wrapped tip replaces the widget's own
    }
    return QObject::eventFilter(watched, event);
}
