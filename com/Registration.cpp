// Registration of Quendra.Application under HKEY_CLASSES_ROOT, as regsvr32 asks for it.
// SPDX-License-Identifier: Apache-2.0
#include "Registration.h"

#include "ServerState.h"

#include <oleauto.h>

#include <string>

namespace quendra::com {

const CLSID ClsidApplication = {0xCAA60299, 0x1FFF, 0x497F, {0x82, 0xB2, 0x87, 0xE1, 0x41, 0x6F, 0xD8, 0x9D}};
const CLSID ClsidPlatform = {0x7D3E6A52, 0x1C84, 0x4B0F, {0x9E, 0x27, 0x5A, 0x6C, 0x3D, 0x8B, 0x1F, 0x04}};
const GUID LibidQuendra = {0x93BB3613, 0xC4AF, 0x4EDD, {0x9D, 0x60, 0x3F, 0x8A, 0x27, 0x34, 0x49, 0x00}};
const IID DiidApplication = {0xC42BA17C, 0xF867, 0x418B, {0x85, 0x4C, 0xAF, 0x31, 0x20, 0x8E, 0x45, 0x14}};

namespace {

constexpr const wchar_t* ClassKey = L"CLSID\\{CAA60299-1FFF-497F-82B2-87E1416FD89D}";
constexpr const wchar_t* ClassText = L"{CAA60299-1FFF-497F-82B2-87E1416FD89D}";
constexpr const wchar_t* LibraryText = L"{93BB3613-C4AF-4EDD-9D60-3F8A27344900}";
constexpr const wchar_t* ProgId = L"Quendra.Application";
constexpr const wchar_t* VersionedProgId = L"Quendra.Application.1";
constexpr const wchar_t* Description = L"Quendra.Application";
constexpr const wchar_t* PlatformClassKey = L"CLSID\\{7D3E6A52-1C84-4B0F-9E27-5A6C3D8B1F04}";
constexpr const wchar_t* PlatformClassText = L"{7D3E6A52-1C84-4B0F-9E27-5A6C3D8B1F04}";
constexpr const wchar_t* PlatformProgId = L"Quendra.Platform";
constexpr WORD LibraryMajor = 1;
constexpr WORD LibraryMinor = 0;

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(ServerModule(), path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// Sets a value of a key under HKEY_CLASSES_ROOT, creating the key; name nullptr is the default value.
HRESULT SetText(const std::wstring& key, const wchar_t* name, const std::wstring& text) {
    HKEY handle = nullptr;
    LONG status = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                                  nullptr, &handle, nullptr);
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    status = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return HRESULT_FROM_WIN32(status);
}

HRESULT DeleteTree(const std::wstring& key) {
    LONG status = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    if (status == ERROR_FILE_NOT_FOUND) return S_OK;
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    status = RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(status);
}

SYSKIND ThisSystem() {
    return sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
}

HRESULT WriteKeys(const std::wstring& path) {
    const std::wstring classKey = ClassKey;
    const std::pair<std::wstring, std::pair<const wchar_t*, std::wstring>> values[] = {
        {classKey, {nullptr, Description}},
        {classKey + L"\\InprocServer32", {nullptr, path}},
        {classKey + L"\\InprocServer32", {L"ThreadingModel", L"Apartment"}},
        {classKey + L"\\ProgID", {nullptr, VersionedProgId}},
        {classKey + L"\\VersionIndependentProgID", {nullptr, ProgId}},
        {classKey + L"\\TypeLib", {nullptr, LibraryText}},
        {classKey + L"\\Version", {nullptr, L"1.0"}},
        {ProgId, {nullptr, Description}},
        {std::wstring(ProgId) + L"\\CLSID", {nullptr, ClassText}},
        {std::wstring(ProgId) + L"\\CurVer", {nullptr, VersionedProgId}},
        {VersionedProgId, {nullptr, Description}},
        {std::wstring(VersionedProgId) + L"\\CLSID", {nullptr, ClassText}},
        {PlatformClassKey, {nullptr, PlatformProgId}},
        {std::wstring(PlatformClassKey) + L"\\InprocServer32", {nullptr, path}},
        {std::wstring(PlatformClassKey) + L"\\InprocServer32", {L"ThreadingModel", L"Apartment"}},
        {std::wstring(PlatformClassKey) + L"\\ProgID", {nullptr, PlatformProgId}},
        {PlatformProgId, {nullptr, PlatformProgId}},
        {std::wstring(PlatformProgId) + L"\\CLSID", {nullptr, PlatformClassText}},
    };
    for (const auto& [key, value] : values) {
        HRESULT code = SetText(key, value.first, value.second);
        if (FAILED(code)) return code;
    }
    return S_OK;
}

} // namespace

HRESULT LoadServerTypeLib(ITypeLib** typeLib) {
    if (!typeLib) return E_POINTER;
    std::wstring path = ModulePath();
    if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
    return LoadTypeLibEx(path.c_str(), REGKIND_NONE, typeLib);
}

HRESULT RegisterServer() {
    std::wstring path = ModulePath();
    if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
    ITypeLib* library = nullptr;
    HRESULT code = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library);
    if (SUCCEEDED(code)) {
        code = RegisterTypeLib(library, path.data(), nullptr);
        library->Release();
    }
    if (SUCCEEDED(code)) code = WriteKeys(path);
    // A registration that failed part-way leaves nothing behind.
    if (FAILED(code)) UnregisterServer();
    return code;
}

HRESULT UnregisterServer() {
    HRESULT result = S_OK;
    HRESULT code = UnRegisterTypeLib(LibidQuendra, LibraryMajor, LibraryMinor, LOCALE_NEUTRAL, ThisSystem());
    if (FAILED(code) && code != TYPE_E_REGISTRYACCESS && code != TYPE_E_CANTLOADLIBRARY) result = code;
    // The library's own key goes once no version is left under it (a key with subkeys stays).
    std::wstring libraryKey = std::wstring(L"TypeLib\\") + LibraryText;
    RegDeleteKeyW(HKEY_CLASSES_ROOT, libraryKey.c_str());
    for (const std::wstring& key : {std::wstring(ClassKey), std::wstring(VersionedProgId), std::wstring(ProgId),
                                    std::wstring(PlatformClassKey), std::wstring(PlatformProgId)}) {
        code = DeleteTree(key);
        if (FAILED(code)) result = code;
    }
    return result;
}

} // namespace quendra::com
