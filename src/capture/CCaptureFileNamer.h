#pragma once
// Names new captures: "Picture N.jpg" in the picture folder, "Video N.wmv" and "Motion N.wmv" in the movie
// folder, N taken from a per-user counter. The counter keeps the number last used, so the next capture
// starts on a taken number and finds a free one on its second try.
//
// Numbers tried from the counter value i: i, i+1, ..., i+9, then i+20, i+31, i+42, ... (ten numbers in a
// row, then jumps of 11), at most 100 tries. When all of them are taken (a folder full of captures copied
// in from elsewhere), the search goes on after the highest number in the folder.
//
// A name is taken when a file of that name exists in the folder, whatever the case of its letters. The
// name handed out is reserved by creating an empty file exclusively, so two programs capturing into the
// same folder never get the same file; the capture then writes into it.
#include "platform/HResult.h"

#include <cstdint>
#include <functional>
#include <string>

class CCaptureFileNamer {
public:
    enum Kind : int { Picture = 0, Movie = 1, MotionClip = 2 };

    static constexpr int kMaxTries = 100;
    static constexpr int kConsecutiveTries = 10;
    // After the consecutive tries every try moves on by this much (the step of one plus a jump of ten).
    static constexpr int64_t kJump = 10;

    // Where the counters live; the program's settings by default.
    struct CounterStore {
        std::function<uint32_t(int kind)> read;
        std::function<HRESULT(int kind, uint32_t value)> write;
    };

    CCaptureFileNamer(std::string pictureFolder, std::string movieFolder);
    void SetCounterStore(CounterStore store) { counters_ = std::move(store); }

    // The full path of a new, empty capture file of `kind`. E_FAIL for an unknown kind, a folder that is
    // not an absolute path or cannot be made, or when no free name can be had; the counter is then left
    // alone.
    HRESULT NextFileName(int kind, std::string& path) const;

    // "Picture 7.jpg" and the like; empty for an unknown kind.
    static std::string FileName(int kind, int64_t number);
    // The number in a capture file name of `kind` ("picture 12.JPG" -> 12); -1 when the name is not one.
    static int64_t NumberInName(int kind, const std::string& fileName);
    // The program's settings as counter store.
    static CounterStore SettingsCounters();

private:
    enum class Reserve { Created, Taken, Failed };
    static Reserve ReserveFile(const std::string& path);

    std::string pictureFolder_;
    std::string movieFolder_;
    CounterStore counters_;
};
