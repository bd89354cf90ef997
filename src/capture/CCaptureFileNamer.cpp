#include "capture/CCaptureFileNamer.h"

#include "app/CVidoraSettings.h"
#include "app/Folders.h"

#include <QDir>
#include <QString>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <limits>
#include <set>
#include <unistd.h>

namespace {

struct KindInfo {
    const char* prefix; // the file name up to the number, without the blank
    const char* extension;
};

const KindInfo* Info(int kind) {
    static const KindInfo kinds[] = {{"Picture", ".jpg"}, {"Video", ".wmv"}, {"Motion", ".wmv"}};
    if (kind < 0 || kind > 2)
        return nullptr;
    return &kinds[kind];
}

QString Lower(const std::string& s) {
    return QString::fromStdString(s).toLower();
}

// The names in a folder, lower-cased; files only.
std::set<QString> NamesIn(const std::string& folder) {
    std::set<QString> names;
    const QDir dir(QString::fromStdString(folder));
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        names.insert(name.toLower());
    return names;
}

} // namespace

CCaptureFileNamer::CCaptureFileNamer(std::string pictureFolder, std::string movieFolder)
    : pictureFolder_(std::move(pictureFolder)), movieFolder_(std::move(movieFolder)),
      counters_(SettingsCounters()) {}

CCaptureFileNamer::CounterStore CCaptureFileNamer::SettingsCounters() {
    CounterStore store;
    store.read = [](int kind) -> uint32_t {
        switch (kind) {
        case Picture:
            return CVidoraSettings::GetPictureIndex();
        case Movie:
            return CVidoraSettings::GetMovieIndex();
        default:
            return CVidoraSettings::GetMotionIndex();
        }
    };
    store.write = [](int kind, uint32_t value) -> HRESULT {
        switch (kind) {
        case Picture:
            return CVidoraSettings::SetPictureIndex(value);
        case Movie:
            return CVidoraSettings::SetMovieIndex(value);
        default:
            return CVidoraSettings::SetMotionIndex(value);
        }
    };
    return store;
}

std::string CCaptureFileNamer::FileName(int kind, int64_t number) {
    const KindInfo* info = Info(kind);
    if (info == nullptr)
        return {};
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s %lld%s", info->prefix, static_cast<long long>(number),
                  info->extension);
    return buffer;
}

int64_t CCaptureFileNamer::NumberInName(int kind, const std::string& fileName) {
    const KindInfo* info = Info(kind);
    if (info == nullptr)
        return -1;
    const QString name = Lower(fileName);
    const QString prefix = QString::fromLatin1(info->prefix).toLower() + QLatin1Char(' ');
    const QString extension = QString::fromLatin1(info->extension);
    if (!name.startsWith(prefix) || !name.endsWith(extension))
        return -1;
    const QString digits = name.mid(prefix.size(), name.size() - prefix.size() - extension.size());
    if (digits.isEmpty() || digits.size() > 18)
        return -1;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
    }
    return digits.toLongLong();
}

CCaptureFileNamer::Reserve CCaptureFileNamer::ReserveFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0) {
        ::close(fd);
        return Reserve::Created;
    }
    // Somebody else created it between our look at the folder and now (or it is a dangling link).
    return errno == EEXIST ? Reserve::Taken : Reserve::Failed;
}

HRESULT CCaptureFileNamer::NextFileName(int kind, std::string& path) const {
    if (Info(kind) == nullptr)
        return E_FAIL;
    const std::string& folder = kind == Picture ? pictureFolder_ : movieFolder_;
    if (folder.empty() || folder.front() != '/' || !EnsureFolder(folder))
        return E_FAIL;
    std::set<QString> taken = NamesIn(folder);
    constexpr int64_t kMaxNumber = std::numeric_limits<uint32_t>::max();

    // One try: false to go on with the next number; `done` with the result when the search ends here.
    HRESULT result = E_FAIL;
    auto attempt = [&](int64_t number, bool& done) {
        if (number < 0 || number > kMaxNumber)
            return;
        const std::string name = FileName(kind, number);
        if (taken.count(Lower(name)) != 0)
            return;
        const std::string candidate = folder + "/" + name;
        switch (ReserveFile(candidate)) {
        case Reserve::Created:
            if (counters_.write)
                counters_.write(kind, static_cast<uint32_t>(number));
            path = candidate;
            result = S_OK;
            done = true;
            return;
        case Reserve::Taken:
            taken.insert(Lower(name));
            return;
        case Reserve::Failed:
            // The folder refuses new files (read-only, full): no other number will do better.
            done = true;
            return;
        }
    };

    int64_t i = counters_.read ? counters_.read(kind) : 1;
    bool done = false;
    for (int t = 1; t <= kMaxTries && !done; ++t, ++i) {
        if (t > kConsecutiveTries)
            i += kJump;
        attempt(i, done);
    }
    if (done)
        return result;

    // Every tried number is taken: go on after the highest number in the folder.
    int64_t highest = 0;
    for (const QString& name : taken)
        highest = std::max(highest, NumberInName(kind, name.toStdString()));
    for (int64_t n = highest + 1, end = highest + 1 + kMaxTries; n < end && !done; ++n)
        attempt(n, done);
    return result;
}
