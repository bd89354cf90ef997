#include "platform/ErrorText.h"

#include "platform/HResult.h"

#include <cstring>
#include <string_view>

namespace {
struct Entry {
    uint32_t code;
    const char* text;
};

// The platform error numbers the program itself produces.
const Entry kErrors[] = {
    {ERROR_SUCCESS, "The operation completed successfully."},
    {ERROR_FILE_NOT_FOUND, "The file or settings value was not found."},
    {ERROR_ACCESS_DENIED, "Access is denied."},
    {ERROR_INVALID_DATA, "The data is invalid."},
    {ERROR_INVALID_PARAMETER, "A parameter is not valid."},
    {ERROR_ALREADY_EXISTS, "The object already exists."},
    {ERROR_MORE_DATA, "More data is available than fits."},
    {ERROR_CHILD_MUST_BE_VOLATILE, "A key kept only for this session cannot hold permanent keys."},
    {ERROR_TIMEOUT, "The operation did not finish in time."},
};

const Entry kResults[] = {
    {static_cast<uint32_t>(S_FALSE), "The operation completed with nothing to do."},
    {static_cast<uint32_t>(E_FAIL), "The operation failed."},
    {static_cast<uint32_t>(E_NOTIMPL), "This operation is not available."},
    {static_cast<uint32_t>(E_OUTOFMEMORY), "There is not enough memory to complete this operation."},
    {static_cast<uint32_t>(E_POINTER), "A required value is missing."},
    {static_cast<uint32_t>(E_NOINTERFACE), "The object does not support this operation."},
    {static_cast<uint32_t>(E_UNEXPECTED), "An unexpected failure occurred."},
    {static_cast<uint32_t>(E_ABORT), "The operation was cancelled."},
    {static_cast<uint32_t>(E_PENDING), "The data is not available yet."},
    {static_cast<uint32_t>(REGDB_E_CLASSNOTREG), "The component is not installed."},
    {static_cast<uint32_t>(CLASS_E_CLASSNOTAVAILABLE), "The component cannot provide this object."},
    {static_cast<uint32_t>(E_EFFECTS_NOT_READY), "The video effects are not ready yet."},
};

const char* Find(const Entry* begin, const Entry* end, uint32_t code) {
    for (const Entry* e = begin; e != end; ++e)
        if (e->code == code)
            return e->text;
    return nullptr;
}

std::string SystemText(uint32_t number) {
    if (number == 0 || number > 4095)
        return {};
    char buffer[256] = {};
    // The GNU variant returns the text, which may or may not be the buffer.
    const char* text = strerror_r(static_cast<int>(number), buffer, sizeof(buffer));
    if (text == nullptr || std::strncmp(text, "Unknown error", 13) == 0)
        return {};
    return text;
}

std::string FirstLine(std::string text) {
    size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos)
        text.erase(end);
    return text;
}

std::string Lookup(uint32_t code) {
    if (const char* t = Find(std::begin(kResults), std::end(kResults), code))
        return t;
    uint32_t number = code;
    if ((code & 0xFFFF0000u) == 0x80070000u)
        number = code & 0xFFFFu; // a platform error number wrapped in a result code
    else if ((code & 0x80000000u) != 0)
        return {};
    if (const char* t = Find(std::begin(kErrors), std::end(kErrors), number))
        return t;
    return SystemText(number);
}
} // namespace

std::string GetErrorText(uint32_t code) {
    std::string text = FirstLine(Lookup(code));
    return text.empty() ? std::string(kUnknownErrorText) : text;
}
