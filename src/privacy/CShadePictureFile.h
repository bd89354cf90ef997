#pragma once
// The shade picture on disk: reading a stored path (which may still hold a folder placeholder), telling a
// usable picture from a missing, unreadable or broken one, and finding a stand-in in a folder.
//
// A JPEG must be complete (its end marker after its last scan): a file cut off while it was copied decodes
// to a half-grey picture, which would be a poor thing to show in place of somebody's video.
#include <QImage>

#include <string>

class CShadePictureFile {
public:
    enum class Problem { None, Missing, Unreadable, NotAPicture };

    // Files larger than this are not taken for a shade picture.
    static constexpr qint64 kMaxFileBytes = 64ll * 1024 * 1024;

    // The stored value as a path: "<NAME>rest" and "%NAME%" placeholders expanded, "\" made "/".
    static std::string Expand(const std::string& stored);
    // Decodes the picture into `image` (left alone unless the result is Problem::None).
    static Problem Decode(const std::string& path, QImage& image);
    // The first file of the folder matching "*.jp*" (case ignored, in the file system's order) that decodes;
    // `skip` (compared ignoring case) is passed over. Empty when there is none or the folder is unreadable.
    static std::string FirstPictureIn(const std::string& folder, const std::string& skip = {});
    // The picture to show for the stored shade picture: the stored one when it decodes, else the first usable
    // picture of `folder` (stored value expanded first); empty when there is none.
    static std::string Usable(const std::string& stored, const std::string& folder);
    // Whether the bytes of a JPEG file end it properly (the end marker after the last scan).
    static bool IsCompleteJpeg(const QByteArray& bytes);
};
