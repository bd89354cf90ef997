#pragma once
// A text drawn as a link: accent coloured, underlined under the mouse, a pointing hand. A click (or Space or
// Return while it has the focus) sends BN_CLICKED to the owning dialog and emits clicked(). Its text takes
// one of four colours: pressed while the mouse button is down on it, hover under the mouse, visited once it
// has been clicked, normal otherwise.
#include "ui/CTransparentControlBase.h"

#include <QAbstractButton>
#include <QColor>

class CTransparentTextButton : public QAbstractButton, public CTransparentControlBase {
    Q_OBJECT
public:
    explicit CTransparentTextButton(QWidget* parent = nullptr);

    void SetTextId(uint32_t stringId);
    void SetAlignment(Qt::Alignment alignment);
    // Invalid colours mean the toolkit's link colours (an invalid visited colour: the normal one).
    void SetLinkColors(const QColor& normal, const QColor& visited, const QColor& pressed,
                       const QColor& hover);
    bool IsHovered() const { return hovered_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // The colour of the text in the button's present state.
    QColor TextColor() const;

    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
    QColor normal_;
    QColor visitedColor_;
    QColor pressed_;
    QColor hover_;
    bool hovered_ = false;
    bool visited_ = false;
};
