#pragma once
// Result codes shared by every fallible operation: 32-bit COM-style values, success when not negative.
#include <cstdint>

using HRESULT = int32_t;

constexpr HRESULT MakeHResult(uint32_t v) {
    return static_cast<HRESULT>(v);
}

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_FAIL = MakeHResult(0x80004005u);
constexpr HRESULT E_INVALIDARG = MakeHResult(0x80070057u);
constexpr HRESULT E_NOTIMPL = MakeHResult(0x80004001u);
constexpr HRESULT E_OUTOFMEMORY = MakeHResult(0x8007000Eu);
constexpr HRESULT E_POINTER = MakeHResult(0x80004003u);
constexpr HRESULT E_NOINTERFACE = MakeHResult(0x80004002u);
constexpr HRESULT E_UNEXPECTED = MakeHResult(0x8000FFFFu);
constexpr HRESULT E_ACCESSDENIED = MakeHResult(0x80070005u);
constexpr HRESULT E_ABORT = MakeHResult(0x80004004u);
constexpr HRESULT E_PENDING = MakeHResult(0x8000000Au);
constexpr HRESULT REGDB_E_CLASSNOTREG = MakeHResult(0x80040154u);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = MakeHResult(0x80040111u);
// The effects engine answers this while it is not ready.
constexpr HRESULT E_EFFECTS_NOT_READY = MakeHResult(0x8004060Bu);

// Platform error numbers that appear inside results.
constexpr uint32_t ERROR_SUCCESS = 0;
constexpr uint32_t ERROR_FILE_NOT_FOUND = 2;
constexpr uint32_t ERROR_ACCESS_DENIED = 5;
constexpr uint32_t ERROR_INVALID_DATA = 13;
constexpr uint32_t ERROR_INVALID_PARAMETER = 87;
constexpr uint32_t ERROR_MORE_DATA = 234;
constexpr uint32_t ERROR_ALREADY_EXISTS = 183;
constexpr uint32_t ERROR_CHILD_MUST_BE_VOLATILE = 1021;
constexpr uint32_t ERROR_TIMEOUT = 1460;

constexpr HRESULT HResultFromWin32(uint32_t error) {
    return error == 0 ? S_OK : MakeHResult((error & 0x0000FFFFu) | 0x80070000u);
}

constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}
