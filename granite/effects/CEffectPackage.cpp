#include "granite/effects/CEffectPackage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>

namespace Granite {
namespace {

// Larger overlays are of no use on a camera picture and would only cost memory.
constexpr int kMaxOverlaySide = 4096;

struct FilterName {
    const char* name;
    EffectFilter filter;
};
constexpr FilterName kFilters[] = {{"grayscale", EffectFilter::Grayscale},
                                   {"sepia", EffectFilter::Sepia},
                                   {"mirror", EffectFilter::Mirror},
                                   {"vivid", EffectFilter::Vivid}};

HRESULT Refuse(std::string* why, const std::string& text) {
    if (why != nullptr)
        *why = text;
    return E_INVALIDARG;
}

// A fraction read from the overlay: absent gives the fallback, anything but a number in [low, high] fails.
bool ReadFraction(const QJsonObject& object, const char* key, double low, double high, double* value) {
    const QJsonValue v = object.value(QLatin1String(key));
    if (v.isUndefined())
        return true;
    if (!v.isDouble() || v.toDouble() < low || v.toDouble() > high)
        return false;
    *value = v.toDouble();
    return true;
}

} // namespace

HRESULT CEffectPackage::Load(const std::string& path, CEffectPackage* package, std::string* why) {
    if (package == nullptr)
        return E_POINTER;
    const QString file = QString::fromStdString(path);
    QFile in(file);
    if (path.empty() || !QFileInfo(file).isFile() || !in.open(QIODevice::ReadOnly))
        return Refuse(why, "the package cannot be opened");
    if (in.size() > kMaxSize)
        return Refuse(why, "the package is too large");
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(in.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return Refuse(why, "the package is not an effect package");
    const QJsonObject root = document.object();
    if (root.value("format").toInt(-1) != kFormat)
        return Refuse(why, "the package has an unknown format");

    CEffectPackage read;
    const QJsonValue filter = root.value("filter");
    if (!filter.isUndefined()) {
        const std::string name = filter.toString().toLower().toStdString();
        for (const FilterName& known : kFilters) {
            if (name == known.name)
                read.filter_ = known.filter;
        }
        if (read.filter_ == EffectFilter::None)
            return Refuse(why, "the package names an unknown filter");
    }
    const QJsonValue overlay = root.value("overlay");
    if (!overlay.isUndefined()) {
        if (!overlay.isObject())
            return Refuse(why, "the package's overlay is not an object");
        const QJsonObject o = overlay.toObject();
        EffectOverlay& placed = read.overlay_;
        if (!ReadFraction(o, "centerX", -1.0, 2.0, &placed.centerX) ||
            !ReadFraction(o, "centerY", -1.0, 2.0, &placed.centerY) ||
            !ReadFraction(o, "width", 0.01, 4.0, &placed.width) ||
            !ReadFraction(o, "opacity", 0.0, 1.0, &placed.opacity))
            return Refuse(why, "the package places its overlay out of range");
        const QString image = o.value("image").toString();
        if (image.isEmpty())
            return Refuse(why, "the package's overlay names no picture");
        // The picture sits beside the package; a package never reaches outside its model's folder.
        const QString imagePath = QFileInfo(file).dir().filePath(image);
        if (QDir::isAbsolutePath(image) || image.contains(QLatin1String("..")))
            return Refuse(why, "the package's overlay picture lies outside its folder");
        QImageReader reader(imagePath);
        const QSize size = reader.size();
        if (!size.isValid() || size.width() > kMaxOverlaySide || size.height() > kMaxOverlaySide)
            return Refuse(why, "the package's overlay picture cannot be read");
        placed.image = reader.read();
        if (placed.image.isNull())
            return Refuse(why, "the package's overlay picture cannot be read");
        placed.image = placed.image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    if (!read.HasOverlay() && read.filter_ == EffectFilter::None)
        return Refuse(why, "the package has neither an overlay nor a filter");
    *package = std::move(read);
    return S_OK;
}

} // namespace Granite
