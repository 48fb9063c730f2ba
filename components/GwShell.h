#pragma once
// The file version reader and the shell component that probes the shell library's version with it.
#include "toolkit/Component.h"
#include "toolkit/Exception.h"

#include <windows.h>

#include <cstdint>
#include <string>

class EVersionInfoError : public Exception {
public:
    using Exception::Exception;
};

namespace Seam {
// GetFileVersionInfoSizeA; the caller reads GetLastError after it.
extern DWORD (*FileVersionInfoSize)(LPCSTR fileName, LPDWORD handle);
// GetSystemDirectoryA.
extern UINT (*SystemDirectory)(LPSTR buffer, UINT size);
} // namespace Seam

// Reads a file's version resource: the fixed record's words, the first translation's string values
// and the two version texts as numbers.
class TGwCustomVersionInfo : public TComponent {
public:
    // FileName starts as the running program's path.
    explicit TGwCustomVersionInfo(TComponent* AOwner);
    ~TGwCustomVersionInfo() override = default;

    // An empty FileName left by the window description becomes the program's path.
    void Loaded() override;

    const std::string& Comments() const { return FComments; }
    const std::string& CompanyName() const { return FCompanyName; }
    const std::string& FileDescription() const { return FFileDescription; }
    std::uint32_t FileFlags() const { return FFileFlags; }
    std::uint32_t FileFlagsMask() const { return FFileFlagsMask; }
    std::uint32_t FileVersionMS() const { return FFileVersionMS; }
    std::uint32_t FileVersionLS() const { return FFileVersionLS; }
    const std::string& FileName() const { return FFileName; }
    // Raises "Error opening file" for a name that is no existing file, changing nothing. Outside
    // design state the empty name stands for the program's path. A different name clears InfoRead.
    void SetFileName(const std::string& value);
    std::uint32_t FileOS() const { return FFileOS; }
    std::uint32_t FileType() const { return FFileType; }
    std::uint32_t FileSubtype() const { return FFileSubtype; }
    const std::string& FileVersion() const { return FFileVersion; }
    // Reads the file first unless InfoRead is set.
    double FileVersionNumber();
    const std::string& InternalName() const { return FInternalName; }
    std::uint32_t TranslationCount() const { return FTranslationCount; }
    const std::string& LanguageName() const { return FLanguageName; }
    const std::string& LegalCopyright() const { return FLegalCopyright; }
    const std::string& LegalTrademarks() const { return FLegalTrademarks; }
    const std::string& OriginalFilename() const { return FOriginalFilename; }
    std::uint32_t ProductVersionMS() const { return FProductVersionMS; }
    std::uint32_t ProductVersionLS() const { return FProductVersionLS; }
    const std::string& ProductName() const { return FProductName; }
    const std::string& ProductVersion() const { return FProductVersion; }
    double ProductVersionNumber() const { return FProductVersionNumber; }
    // Language identifier in the low 16 bits, code page in the high 16 bits.
    std::uint32_t Translation() const { return FTranslation; }
    // Set only by a full read that completed.
    bool InfoRead() const { return FInfoRead; }

    // An empty key reads every value and returns the empty text; any other key returns that one
    // string value of the first translation. Failures raise EVersionInfoError.
    std::string ReadVersionInfo(const std::string& Key);

private:
    std::string FComments;
    std::string FCompanyName;
    std::string FFileDescription;
    std::uint32_t FFileFlags = 0;
    std::uint32_t FFileFlagsMask = 0;
    std::uint32_t FFileVersionMS = 0;
    std::uint32_t FFileVersionLS = 0;
    std::string FFileName;
    std::uint32_t FFileOS = 0;
    std::uint32_t FFileType = 0;
    std::uint32_t FFileSubtype = 0;
    std::string FFileVersion;
    double FFileVersionNumber = 0;
    std::string FInternalName;
    std::uint32_t FTranslationCount = 0;
    std::string FLanguageName;
    std::string FLegalCopyright;
    std::string FLegalTrademarks;
    std::string FOriginalFilename;
    std::uint32_t FProductVersionMS = 0;
    std::uint32_t FProductVersionLS = 0;
    std::string FProductName;
    std::string FProductVersion;
    double FProductVersionNumber = 0;
    std::uint32_t FTranslation = 0;
    bool FInfoRead = false;
};

// The reader a window description holds; FileName is the property it stores.
class TGwVersionInfo : public TGwCustomVersionInfo {
public:
    using TGwCustomVersionInfo::TGwCustomVersionInfo;
};

// Knows the shell library's version from the moment it is built.
class TGwShellComponent : public TComponent {
public:
    // Reads the version of shell32.dll in the system directory; a failure of that read leaves the
    // constructor as the reader's EVersionInfoError.
    explicit TGwShellComponent(TComponent* AOwner);

    double ShellVersion() const { return FShellVersion; }

private:
    double FShellVersion = 0;
};
