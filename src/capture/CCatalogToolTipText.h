#pragma once
// The tooltip of a gallery item: the file's name, what kind of capture it is, when it was taken and how
// big it is, one per line ("Picture 3.jpg", "Type: Photo", "Date taken: 12/7/2026", "Size: 1.5 MB"). Label
// and unit texts come from the resource library.
#include <cstdint>
#include <string>

class CCatalogToolTipText {
public:
    static constexpr uint32_t kPhotoText = 300;
    static constexpr uint32_t kMotionClipText = 301;
    static constexpr uint32_t kVideoText = 302;
    static constexpr uint32_t kTypeLabel = 303;
    static constexpr uint32_t kDateLabel = 304;
    static constexpr uint32_t kKilobytes = 305;
    static constexpr uint32_t kMegabytes = 306;
    static constexpr uint32_t kGigabytes = 307;
    static constexpr uint32_t kSizeLabel = 308;

    // The whole tooltip of a file.
    static std::string Build(const std::string& path, int64_t lastWriteTimeMs, int64_t size);

    // The string id of a file's type text; 0 for files the gallery does not show.
    static uint32_t TypeTextId(const std::string& path);
    // A size in the largest unit that keeps it at 1 or more, truncated (never rounded up) to two decimals,
    // with no decimals from 100 KB on and none when they are both zero; anything below 1 KB shows as 1 KB.
    static std::string SizeText(int64_t size, const std::string& kb, const std::string& mb,
                                const std::string& gb);
    static std::string SizeText(int64_t size);
    // The last change of the file in local time, month/day/four-digit year.
    static std::string DateText(int64_t lastWriteTimeMs);
};
