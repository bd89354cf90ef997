#include "effects/CEffectThumbnail.h"

#include "capture/CCatalogThumbnail.h"

#include <QColor>
#include <QFileInfo>
#include <QFont>
#include <QImageReader>
#include <QPainter>

namespace {

QImage Fallback(const QSize& size) {
    QImage image = CCatalogThumbnail::Empty(size);
    QPainter painter(&image);
    QFont font = painter.font();
    font.setPixelSize(std::max(8, size.height() / 2));
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(CCatalogThumbnail::kFrameColour));
    painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, QStringLiteral("?"));
    return image;
}

} // namespace

QImage CEffectThumbnail::Make(const std::string& imageFile, const QSize& size, Problem* problem) {
    Problem found = Problem::None;
    QImage picture;
    const QFileInfo info(QString::fromStdString(imageFile));
    if (imageFile.empty() || !info.isFile()) {
        found = Problem::Missing;
    } else {
        QImageReader reader(info.filePath());
        reader.setAutoTransform(true);
        const QSize stored = reader.size();
        if (stored.isValid() && static_cast<qint64>(stored.width()) * stored.height() <= kMaxPixels)
            picture = reader.read();
        if (picture.isNull())
            found = Problem::Unreadable;
    }
    if (problem != nullptr)
        *problem = found;
    if (picture.isNull())
        return Fallback(size);
    return CCatalogThumbnail::Compose(picture, picture.size(), size);
}

uint32_t CEffectThumbnail::ProblemText(Problem problem) {
    switch (problem) {
    case Problem::Missing:
        return kMissingText;
    case Problem::Unreadable:
        return kUnreadableText;
    case Problem::None:
        break;
    }
    return 0;
}
