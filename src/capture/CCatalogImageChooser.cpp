#include "capture/CCatalogImageChooser.h"

#include "capture/CCatalogMovieImage.h"
#include "capture/CCatalogPictureImage.h"

#include <QFileInfo>
#include <QString>

namespace {

bool HasExtension(const QString& suffix, std::initializer_list<const char*> extensions) {
    for (const char* extension : extensions)
        if (suffix.compare(QLatin1String(extension), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

CCatalogImageChooser::Kind CCatalogImageChooser::KindOf(const std::string& path) {
    const QString suffix = QFileInfo(QString::fromStdString(path)).suffix();
    if (HasExtension(suffix, {"jpg", "bmp", "gif"}))
        return Kind::Picture;
    if (HasExtension(suffix, {"wmv", "asf"}))
        return Kind::Movie;
    return Kind::None;
}

std::unique_ptr<ICatalogImage> CCatalogImageChooser::Create(const std::string& path) {
    switch (KindOf(path)) {
    case Kind::Picture:
        return std::make_unique<CCatalogPictureImage>();
    case Kind::Movie:
        return std::make_unique<CCatalogMovieImage>();
    case Kind::None:
        break;
    }
    return nullptr;
}

std::unique_ptr<ICatalogImage> CCatalogImageChooser::Open(const std::string& path, const QSize& decodeHint) {
    std::unique_ptr<ICatalogImage> image = Create(path);
    if (!image)
        return nullptr;
    image->SetDecodeHint(decodeHint);
    if (!image->Load(path))
        return nullptr;
    return image;
}

bool CCatalogImageChooser::IsMotionClipPath(const std::string& path) {
    return QString::fromStdString(path).toLower().contains(QLatin1String("/motion "));
}
