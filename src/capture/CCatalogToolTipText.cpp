#include "capture/CCatalogToolTipText.h"

#include "capture/CCatalogImageChooser.h"
#include "ui/CDialogBase.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QString>

#include <cinttypes>
#include <cstdio>

namespace {

constexpr int64_t kKiB = 1024;
constexpr int64_t kMiB = kKiB * 1024;
constexpr int64_t kGiB = kMiB * 1024;

std::string Format(const char* format, int64_t whole, int64_t hundredths, const std::string& unit) {
    char text[96];
    std::snprintf(text, sizeof text, format, whole, hundredths, unit.c_str());
    return text;
}

std::string WithTwoDecimals(int64_t size, int64_t unitBytes, const std::string& unit) {
    // Truncated: 1.999 MB shows as 1.99 MB.
    const int64_t whole = size / unitBytes;
    const int64_t hundredths = (size % unitBytes) * 100 / unitBytes;
    if (hundredths == 0) {
        char text[96];
        std::snprintf(text, sizeof text, "%" PRId64 " %s", whole, unit.c_str());
        return text;
    }
    return Format("%" PRId64 ".%02" PRId64 " %s", whole, hundredths, unit);
}

} // namespace

std::string CCatalogToolTipText::SizeText(int64_t size, const std::string& kb, const std::string& mb,
                                          const std::string& gb) {
    if (size < kKiB)
        return "1 " + kb;
    if (size < kMiB) {
        if (size >= 100 * kKiB) {
            char text[96];
            std::snprintf(text, sizeof text, "%" PRId64 " %s", size / kKiB, kb.c_str());
            return text;
        }
        return WithTwoDecimals(size, kKiB, kb);
    }
    if (size < kGiB)
        return WithTwoDecimals(size, kMiB, mb);
    return WithTwoDecimals(size, kGiB, gb);
}

std::string CCatalogToolTipText::SizeText(int64_t size) {
    return SizeText(size, CDialogBase::LoadString(kKilobytes), CDialogBase::LoadString(kMegabytes),
                    CDialogBase::LoadString(kGigabytes));
}

uint32_t CCatalogToolTipText::TypeTextId(const std::string& path) {
    switch (CCatalogImageChooser::KindOf(path)) {
    case CCatalogImageChooser::Kind::Picture:
        return kPhotoText;
    case CCatalogImageChooser::Kind::Movie:
        // Motion clips are saved as "Motion <n>.wmv"; "Motion1.wmv" is an ordinary movie someone named so.
        return QFileInfo(QString::fromStdString(path))
                       .completeBaseName()
                       .toLower()
                       .contains(QLatin1String("motion "))
                   ? kMotionClipText
                   : kVideoText;
    case CCatalogImageChooser::Kind::None:
        break;
    }
    return 0;
}

std::string CCatalogToolTipText::DateText(int64_t lastWriteTimeMs) {
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(lastWriteTimeMs).toLocalTime();
    return QLocale().toString(local.date(), QStringLiteral("M'/'d'/'yyyy")).toStdString();
}

std::string CCatalogToolTipText::Build(const std::string& path, int64_t lastWriteTimeMs, int64_t size) {
    const QFileInfo file(QString::fromStdString(path));
    const std::string name = file.completeBaseName().toStdString();
    const QString suffix = file.suffix();
    const std::string extension = suffix.isEmpty() ? std::string() : "." + suffix.toStdString();
    const uint32_t typeId = TypeTextId(path);
    const std::string type = typeId != 0 ? CDialogBase::LoadString(typeId) : std::string();
    return name + extension + "\n" + CDialogBase::LoadString(kTypeLabel) + ": " + type + "\n" +
           CDialogBase::LoadString(kDateLabel) + ": " + DateText(lastWriteTimeMs) + "\n" +
           CDialogBase::LoadString(kSizeLabel) + ": " + SizeText(size);
}
