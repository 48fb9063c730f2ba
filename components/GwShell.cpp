#include "components/GwShell.h"

#include "components/VersionText.h"
#include "toolkit/Seams.h"
#include "toolkit/SystemLibrary.h"

#include <winver.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace {
const char* const ErrorOpeningFile = "Error opening file";
const char* const NoVersionInfo = "File does not contain version info";
const char* const UnableToRead = "Unable to read version info";
const char* const KeyNotFound = "The specified key cannnot be found in version info";

// Names and query paths go to the platform in buffers of this size, NUL included.
constexpr std::size_t TextBufferSize = 260;
constexpr DWORD ModuleBufferSize = 256;

// version.dll is no KnownDLL: a copy beside the program would be found first, so its functions
// come from the system directory's copy. A missing one fails as its call would.
using FileVersionInfoSizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
using FileVersionInfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
using QueryValueFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
using LanguageNameFn = DWORD(WINAPI*)(DWORD, LPSTR, DWORD);

template <typename Fn> Fn VersionProc(const char* function) {
    return SystemProc<Fn>("version.dll", function);
}

DWORD RealFileVersionInfoSize(LPCSTR fileName, LPDWORD handle) {
    static const auto size = VersionProc<FileVersionInfoSizeFn>("GetFileVersionInfoSizeA");
    if (size == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return 0;
    }
    return size(fileName, handle);
}

BOOL FileVersionInfo(LPCSTR fileName, DWORD handle, DWORD size, LPVOID data) {
    static const auto read = VersionProc<FileVersionInfoFn>("GetFileVersionInfoA");
    return read != nullptr && read(fileName, handle, size, data);
}

BOOL QueryValue(LPCVOID block, LPCSTR path, LPVOID* value, PUINT length) {
    static const auto query = VersionProc<QueryValueFn>("VerQueryValueA");
    return query != nullptr && query(block, path, value, length);
}

DWORD LanguageName(DWORD language, LPSTR buffer, DWORD size) {
    static const auto name = VersionProc<LanguageNameFn>("VerLanguageNameA");
    return name != nullptr ? name(language, buffer, size) : 0;
}

UINT RealSystemDirectory(LPSTR buffer, UINT size) {
    return GetSystemDirectoryA(buffer, size);
}

// A text the platform reads as we hold it: no NUL of its own, and room for the closing one.
bool FitsTextBuffer(const std::string& text) {
    return text.size() < TextBufferSize && text.find('\0') == std::string::npos;
}

bool IsExistingFile(const std::string& name) {
    if (!FitsTextBuffer(name)) {
        return false;
    }
    const DWORD attributes = GetFileAttributesA(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The text in a buffer up to its first NUL, never past its end.
std::string TextOf(const char* buffer, std::size_t size) {
    return std::string(buffer, std::find(buffer, buffer + size, '\0'));
}

// The running program's path; empty when the platform gives none or had to cut it.
std::string ModulePath() {
    std::array<char, ModuleBufferSize> buffer{};
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), ModuleBufferSize);
    if (length == 0 || length >= ModuleBufferSize) {
        return {};
    }
    return TextOf(buffer.data(), length);
}

std::optional<std::string> SystemDirectory() {
    std::array<char, TextBufferSize> buffer{};
    const UINT length = Seam::SystemDirectory(buffer.data(), TextBufferSize);
    if (length == 0 || length >= TextBufferSize) {
        return std::nullopt;
    }
    return TextOf(buffer.data(), length);
}

std::size_t Align4(std::size_t offset) {
    return (offset + 3) & ~std::size_t{3};
}

std::uint32_t ReadUInt32(std::span<const unsigned char> bytes) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data(), sizeof value);
    return value;
}

// The shape check that stands between a file's bytes and the platform's version queries.
//
// VerQueryValueA walks the block by the lengths written inside it and trusts them: a damaged or
// hostile file would send it reading past the buffer, and, for the 8-bit texts of a 32-bit block,
// writing past it. So a block is queried only when it is a sound tree: the root's own length lies
// within the bytes the platform filled (never a formula on the size it asked for, which is
// undocumented), every node lies inside its parent, every key ends inside its node and every value
// fits. Nodes are a length, a value length, (in the 32-bit form) a type, a NUL-terminated key, the
// value and the children, each aligned to four bytes from the node; the 16-bit form has one-byte
// characters and no type word. The walk reads bytes, not structures, so that no odd offset or short
// buffer is ever dereferenced as a wider type, and it is recursive but refuses nesting beyond
// MaxDepth, which no sound block reaches.
class VersionBlockShape {
public:
    // The 32-bit form has a small type word where the 16-bit form has its key's first character.
    explicit VersionBlockShape(std::span<const unsigned char> block)
        : FBlock(block), FWide(block.size() > 4 && block[4] < ' ') {}

    // The root, and so the whole block, lies within the bytes the platform filled.
    bool IsSound() const { return FBlock.size() >= 6 && NodeFits(0, FBlock.size(), MaxDepth); }
    bool IsWide() const { return FWide; }
    std::size_t RootLength() const { return Word(0); }

private:
    // Version blocks nest four levels (root, StringFileInfo, string table, value); one nested far
    // deeper is damaged, and refusing it bounds the recursion.
    static constexpr unsigned MaxDepth = 8;

    std::size_t Word(std::size_t at) const {
        return static_cast<std::size_t>(FBlock[at]) | static_cast<std::size_t>(FBlock[at + 1]) << 8;
    }

    bool NodeFits(std::size_t at, std::size_t end, unsigned levelsLeft) const {
        const std::size_t header = FWide ? 6 : 4;
        const std::size_t charSize = FWide ? 2 : 1;
        if (end - at < header) {
            return false;
        }
        const std::size_t length = Word(at);
        if (length < header || length > end - at) {
            return false;
        }
        const std::size_t nodeEnd = at + length;
        std::size_t key = at + header;
        for (;; key += charSize) {
            if (nodeEnd - key < charSize) {
                return false;
            }
            if (FBlock[key] == 0 && (!FWide || FBlock[key + 1] == 0)) {
                break;
            }
        }
        const std::size_t value = at + Align4(key + charSize - at);
        const bool wideValue = FWide && Word(at + 4) != 0;
        const std::size_t valueBytes = Word(at + 2) * (wideValue ? 2 : 1);
        if (valueBytes != 0 && (value > nodeEnd || nodeEnd - value < valueBytes)) {
            return false;
        }
        std::size_t child = value + Align4(valueBytes);
        if (child < nodeEnd && levelsLeft == 0) {
            return false;
        }
        while (child < nodeEnd) {
            if (!NodeFits(child, nodeEnd, levelsLeft - 1)) {
                return false;
            }
            child += Align4(Word(child));
        }
        return true;
    }

    std::span<const unsigned char> FBlock;
    bool FWide;
};

// One file's version resource, held for the duration of one read.
class VersionBlock {
public:
    explicit VersionBlock(std::size_t size) : FBytes(size) {}

    std::span<unsigned char> Bytes() { return FBytes; }

    // Once the platform has filled the block: false when its shape is not sound. The 8-bit queries
    // of a 32-bit block write their copies of the texts behind the resource, up to its length again
    // and four bytes more; that room is made ours here, whatever size the platform asked for.
    bool PrepareForQueries() {
        const VersionBlockShape shape(FBytes);
        if (!shape.IsSound()) {
            return false;
        }
        if (shape.IsWide()) {
            FBytes.resize(std::max(FBytes.size(), 2 * shape.RootLength() + 4));
        }
        return true;
    }

    // The value at a path, cut to the block; nullopt when the platform has none or points elsewhere.
    std::optional<std::span<const unsigned char>> Query(const std::string& path) {
        if (!FitsTextBuffer(path)) {
            return std::nullopt;
        }
        void* value = nullptr;
        UINT length = 0;
        if (!QueryValue(FBytes.data(), path.c_str(), &value, &length) || value == nullptr) {
            return std::nullopt;
        }
        const auto begin = reinterpret_cast<std::uintptr_t>(FBytes.data());
        const auto at = reinterpret_cast<std::uintptr_t>(value);
        if (at < begin || at - begin > FBytes.size()) {
            return std::nullopt;
        }
        const std::size_t offset = at - begin;
        return std::span<const unsigned char>(FBytes).subspan(
            offset, std::min<std::size_t>(length, FBytes.size() - offset));
    }

    std::optional<std::string> QueryText(const std::string& path) {
        const auto value = Query(path);
        if (!value) {
            return std::nullopt;
        }
        return TextOf(reinterpret_cast<const char*>(value->data()), value->size());
    }

private:
    std::vector<unsigned char> FBytes;
};

std::string LanguageNameOf(std::uint32_t translation) {
    std::array<char, TextBufferSize> buffer{};
    const DWORD length = LanguageName(translation & 0xFFFFu, buffer.data(), TextBufferSize);
    return TextOf(buffer.data(), std::min<std::size_t>(length, TextBufferSize));
}

std::string StringTablePrefix(std::uint32_t translation) {
    std::array<char, 32> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "StringFileInfo\\%04X%04X\\", translation & 0xFFFFu,
                  translation >> 16);
    return buffer.data();
}
} // namespace

namespace Seam {
DWORD (*FileVersionInfoSize)(LPCSTR, LPDWORD) = RealFileVersionInfoSize;
UINT (*SystemDirectory)(LPSTR, UINT) = RealSystemDirectory;
} // namespace Seam

TGwCustomVersionInfo::TGwCustomVersionInfo(TComponent* AOwner) : TComponent(AOwner) {
    SetFileName("");
}

void TGwCustomVersionInfo::Loaded() {
    TComponent::Loaded();
    if (FFileName.empty()) {
        SetFileName("");
    }
}

void TGwCustomVersionInfo::SetFileName(const std::string& value) {
    if (!value.empty() && !IsDesigning() && !IsExistingFile(value)) {
        throw EVersionInfoError(ErrorOpeningFile);
    }
    if (value != FFileName) {
        FInfoRead = false;
    }
    FFileName = value;
    if (FFileName.empty() && !IsDesigning()) {
        FFileName = ModulePath();
    }
}

double TGwCustomVersionInfo::FileVersionNumber() {
    if (!FInfoRead) {
        ReadVersionInfo("");
    }
    return FFileVersionNumber;
}

std::string TGwCustomVersionInfo::ReadVersionInfo(const std::string& Key) {
    // Only reachable with a name stored in design state.
    if (!FitsTextBuffer(FFileName)) {
        throw EVersionInfoError(ErrorOpeningFile);
    }
    DWORD handle = 0;
    SetLastError(ERROR_SUCCESS);
    const DWORD size = Seam::FileVersionInfoSize(FFileName.c_str(), &handle);
    if (size == 0) {
        throw EVersionInfoError(GetLastError() == ERROR_RESOURCE_TYPE_NOT_FOUND ? NoVersionInfo
                                                                                : UnableToRead);
    }
    VersionBlock block(size);
    if (!FileVersionInfo(FFileName.c_str(), handle, size, block.Bytes().data()) ||
        !block.PrepareForQueries()) {
        throw EVersionInfoError(UnableToRead);
    }

    // An empty table has no first entry to name the string table.
    const auto table = block.Query("\\VarFileInfo\\Translation");
    if (!table || table->size() < sizeof(std::uint32_t)) {
        throw EVersionInfoError(UnableToRead);
    }
    FTranslation = ReadUInt32(*table);
    FTranslationCount = static_cast<std::uint32_t>(table->size() / sizeof(std::uint32_t));
    FLanguageName = LanguageNameOf(FTranslation);
    const std::string prefix = StringTablePrefix(FTranslation);

    if (!Key.empty()) {
        auto value = block.QueryText(prefix + Key);
        if (!value) {
            throw EVersionInfoError(KeyNotFound);
        }
        return *value;
    }

    // The platform reports a block without a fixed record as an empty value.
    const auto root = block.Query("\\");
    if (!root || root->empty()) {
        throw EVersionInfoError(UnableToRead);
    }
    VS_FIXEDFILEINFO record{};
    static_assert(sizeof record == 52);
    std::memcpy(&record, root->data(), std::min(root->size(), sizeof record));
    FFileVersionMS = record.dwFileVersionMS;
    FFileVersionLS = record.dwFileVersionLS;
    FProductVersionMS = record.dwProductVersionMS;
    FProductVersionLS = record.dwProductVersionLS;
    FFileFlagsMask = record.dwFileFlagsMask;
    FFileFlags = record.dwFileFlags;
    FFileOS = record.dwFileOS;
    FFileType = record.dwFileType;
    FFileSubtype = record.dwFileSubtype;

    // A missing value and one of length 0 both read as empty.
    auto stringValue = [&](const char* name) {
        const auto value = block.Query(prefix + name);
        if (!value || value->empty()) {
            return std::string();
        }
        return TextOf(reinterpret_cast<const char*>(value->data()), value->size());
    };
    FComments = stringValue("Comments");
    FCompanyName = stringValue("CompanyName");
    FFileDescription = stringValue("FileDescription");
    FFileVersion = stringValue("FileVersion");
    FFileVersionNumber = VersionNumberOf(FFileVersion);
    FInternalName = stringValue("InternalName");
    FLegalCopyright = stringValue("LegalCopyright");
    FLegalTrademarks = stringValue("LegalTrademarks");
    FOriginalFilename = stringValue("OriginalFilename");
    FProductName = stringValue("ProductName");
    FProductVersion = stringValue("ProductVersion");
    FProductVersionNumber = VersionNumberOf(FProductVersion);
    FInfoRead = true;
    return {};
}

TGwShellComponent::TGwShellComponent(TComponent* AOwner) : TComponent(AOwner) {
    const ScopedStartupPhase phase("shell version probe");
    // The probe's reader shares our owner but must not outlive the probe, whatever it raises.
    const auto reader = std::make_unique<TGwVersionInfo>(AOwner);
    const std::optional<std::string> directory = SystemDirectory();
    if (!directory) {
        throw EVersionInfoError(ErrorOpeningFile);
    }
    reader->SetFileName(*directory + "\\shell32.dll");
    FShellVersion = reader->FileVersionNumber();
}
