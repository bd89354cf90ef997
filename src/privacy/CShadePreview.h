#pragma once
// The picture in use, drawn fitted into the window's picture frame (never stretched, centred, thin grey
// border). Shows nothing while it has no picture: the frame behind it says so.
#include <QImage>
#include <QWidget>

class CShadePreview : public QWidget {
    Q_OBJECT
public:
    explicit CShadePreview(QWidget* parent = nullptr);

    void SetPicture(const QImage& picture);
    bool HasPicture() const { return !picture_.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Rescale();

    QImage picture_;
    QImage scaled_;
};
