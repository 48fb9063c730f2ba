#include "components/GwShell.h"
#include "toolkit/Seams.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The libraries named here are built beside this program from tests/components/data.
namespace {
const std::string ErrorOpeningFile = "Error opening file";
const std::string NoVersionInfo = "File does not contain version info";
const std::string UnableToRead = "Unable to read version info";
const std::string KeyNotFound = "The specified key cannnot be found in version info";

std::string ProgramPath() {
    std::array<char, MAX_PATH> buffer{};
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), MAX_PATH);
    return std::string(buffer.data(), length);
}

std::string DataFile(const std::string& name) {
    const std::string program = ProgramPath();
    return program.substr(0, program.find_last_of('\\') + 1) + name;
}

std::string LanguageName(WORD language) {
    std::array<char, 260> buffer{};
    VerLanguageNameA(language, buffer.data(), static_cast<DWORD>(buffer.size()));
    return buffer.data();
}

// The message a read of this file must raise: what the platform says about its version resource.
std::string MessageForUnreadable(const std::string& file) {
    DWORD handle = 0;
    SetLastError(ERROR_SUCCESS);
    if (GetFileVersionInfoSizeA(file.c_str(), &handle) != 0) {
        return "(platform finds a version resource)";
    }
    return GetLastError() == ERROR_RESOURCE_TYPE_NOT_FOUND ? NoVersionInfo : UnableToRead;
}

// The message of the EVersionInfoError that the action raises.
std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EVersionInfoError& e) {
        return e.Message;
    }
    return "(nothing raised)";
}

// A fresh directory under the temporary folder, removed with the files put into it.
class TemporaryDirectory {
public:
    TemporaryDirectory() {
        std::array<char, MAX_PATH> base{};
        GetTempPathA(MAX_PATH, base.data());
        static unsigned counter = 0;
        FPath = std::string(base.data()) + "gwshell-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        EXPECT_TRUE(CreateDirectoryA(FPath.c_str(), nullptr)) << FPath;
    }
    ~TemporaryDirectory() {
        for (const std::string& file : FFiles) {
            DeleteFileA(file.c_str());
        }
        RemoveDirectoryA(FPath.c_str());
    }
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::string& Path() const { return FPath; }

    std::string Copy(const std::string& source, const std::string& name) {
        const std::string file = Add(name);
        EXPECT_TRUE(CopyFileA(source.c_str(), file.c_str(), FALSE)) << source;
        return file;
    }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string file = Add(name);
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }

private:
    std::string Add(const std::string& name) {
        FFiles.push_back(FPath + "\\" + name);
        return FFiles.back();
    }

    std::string FPath;
    std::vector<std::string> FFiles;
};

int SizeQueries = 0;
DWORD CountedSizeQuery(LPCSTR name, LPDWORD handle) {
    ++SizeQueries;
    return GetFileVersionInfoSizeA(name, handle);
}

std::vector<std::string> QueriedNames;
DWORD RecordedSizeQuery(LPCSTR name, LPDWORD handle) {
    QueriedNames.push_back(name);
    return GetFileVersionInfoSizeA(name, handle);
}

std::string ShellDirectory;
UINT ChosenSystemDirectory(LPSTR buffer, UINT size) {
    if (size <= ShellDirectory.size()) {
        return static_cast<UINT>(ShellDirectory.size() + 1);
    }
    std::memcpy(buffer, ShellDirectory.c_str(), ShellDirectory.size() + 1);
    return static_cast<UINT>(ShellDirectory.size());
}

// A reader that has read the library with three translations completely.
std::unique_ptr<TGwVersionInfo> ReaderOfSeveral() {
    auto reader = std::make_unique<TGwVersionInfo>(nullptr);
    reader->SetFileName(DataFile("GwShellSeveral.dll"));
    reader->ReadVersionInfo("");
    return reader;
}

// The values of a full read of GwShellSeveral.dll, unchanged by a failed read after it.
void ExpectValuesOfSeveral(const TGwCustomVersionInfo& reader) {
    EXPECT_EQ(reader.FileVersion(), "4.72.3110.0");
    EXPECT_EQ(reader.CompanyName(), "Brennow Werkstatt");
    EXPECT_EQ(reader.FileVersionMS(), 0x00040048u);
    EXPECT_EQ(reader.ProductVersionLS(), 1u);
    EXPECT_EQ(reader.Translation(), 0x04E40407u);
    EXPECT_EQ(reader.TranslationCount(), 3u);
    EXPECT_EQ(reader.LanguageName(), LanguageName(0x407));
}

TEST(VersionInfoRead, TakesTheFixedRecordAndTheFirstTranslationsValues) {
    TGwVersionInfo reader(nullptr);
    // Values of an earlier file, to see that empty and missing values replace them.
    reader.SetFileName(DataFile("GwShellTexts1.dll"));
    reader.ReadVersionInfo("");
    ASSERT_EQ(reader.Comments(), "filled");
    ASSERT_EQ(reader.LegalTrademarks(), "filled");

    reader.SetFileName(DataFile("GwShellSeveral.dll"));
    EXPECT_EQ(reader.ReadVersionInfo(""), "");
    EXPECT_TRUE(reader.InfoRead());

    EXPECT_EQ(reader.FileVersionMS(), 0x00040048u);
    EXPECT_EQ(reader.FileVersionLS(), 0x0C260000u);
    EXPECT_EQ(reader.ProductVersionMS(), 0x00050000u);
    EXPECT_EQ(reader.ProductVersionLS(), 0x00000001u);
    EXPECT_EQ(reader.FileFlagsMask(), 0x3Fu);
    EXPECT_EQ(reader.FileFlags(), static_cast<std::uint32_t>(VS_FF_PRERELEASE | VS_FF_PATCHED));
    EXPECT_EQ(reader.FileOS(), static_cast<std::uint32_t>(VOS_NT_WINDOWS32));
    EXPECT_EQ(reader.FileType(), static_cast<std::uint32_t>(VFT_DRV));
    EXPECT_EQ(reader.FileSubtype(), static_cast<std::uint32_t>(VFT2_DRV_SYSTEM));

    // German, code page 1252 comes first in the table; its string table is the second in the file.
    EXPECT_EQ(reader.Translation(), 0x04E40407u);
    EXPECT_EQ(reader.TranslationCount(), 3u);
    EXPECT_EQ(reader.LanguageName(), LanguageName(0x407));
    EXPECT_NE(reader.LanguageName(), LanguageName(0x409));

    EXPECT_EQ(reader.Comments(), "");
    EXPECT_EQ(reader.CompanyName(), "Brennow Werkstatt");
    EXPECT_EQ(reader.FileDescription(), "Kalender");
    EXPECT_EQ(reader.FileVersion(), "4.72.3110.0");
    EXPECT_EQ(reader.InternalName(), "several");
    EXPECT_EQ(reader.LegalCopyright(), "(c) Brennow");
    EXPECT_EQ(reader.LegalTrademarks(), "");
    EXPECT_EQ(reader.OriginalFilename(), "GwShellSeveral.dll");
    EXPECT_EQ(reader.ProductName(), "Brennow Kalender");
    EXPECT_EQ(reader.ProductVersion(), "5.0");
    EXPECT_DOUBLE_EQ(reader.FileVersionNumber(), 4.72);
    EXPECT_DOUBLE_EQ(reader.ProductVersionNumber(), 5.0);
}

TEST(VersionInfoRead, VersionTextsBecomeNumbers) {
    struct Case {
        const char* file;
        const char* fileVersion;
        double fileNumber;
        const char* productVersion;
        double productNumber;
    };
    // In this order each file replaces the values of the one before.
    const Case cases[] = {
        {"GwShellTexts1.dll", "5.0", 5.0, "1e1", 10.0},
        {"GwShellTexts2.dll", "4.72.3110.0", 4.72, "6.00.2900.2180 (build tag)", 6.0},
        {"GwShellTexts3.dll", "5.0 beta", 0.0, "1.2.", 1.2},
        {"GwShellTexts4.dll", "..5", 0.0, "", 0.0},
        // A part before the first dot too long for the number text.
        {"GwShellTexts5.dll", "", 0.0, "1234567.1.0", 0.0},
    };
    TGwVersionInfo reader(nullptr);
    for (const Case& c : cases) {
        reader.SetFileName(DataFile(c.file));
        EXPECT_DOUBLE_EQ(reader.FileVersionNumber(), c.fileNumber) << c.file;
        EXPECT_EQ(reader.FileVersion(), c.fileVersion) << c.file;
        EXPECT_EQ(reader.ProductVersion(), c.productVersion) << c.file;
        EXPECT_DOUBLE_EQ(reader.ProductVersionNumber(), c.productNumber) << c.file;
    }
}

TEST(VersionInfoRead, ShortFixedRecordIsTakenAsFarAsItGoes) {
    const auto reader = ReaderOfSeveral();
    reader->SetFileName(DataFile("GwShellShortFixedRecord.dll"));
    EXPECT_DOUBLE_EQ(reader->FileVersionNumber(), 3.2);
    EXPECT_EQ(reader->FileVersionMS(), 0x00030002u);
    EXPECT_EQ(reader->FileVersionLS(), 0x00010000u);
    EXPECT_EQ(reader->ProductVersionMS(), 0x00070008u);
    // The bytes behind the record belong to the string table, not to these words.
    EXPECT_EQ(reader->ProductVersionLS(), 0u);
    EXPECT_EQ(reader->FileFlagsMask(), 0u);
    EXPECT_EQ(reader->FileFlags(), 0u);
    EXPECT_EQ(reader->FileOS(), 0u);
    EXPECT_EQ(reader->FileType(), 0u);
    EXPECT_EQ(reader->FileSubtype(), 0u);
    // Six bytes of translation table: one entry, the rest dropped.
    EXPECT_EQ(reader->TranslationCount(), 1u);
    EXPECT_EQ(reader->Translation(), 0x04B00409u);
}

TEST(VersionInfoLookup, ReturnsOneValueOfTheFirstTranslation) {
    TGwVersionInfo reader(nullptr);
    reader.SetFileName(DataFile("GwShellSeveral.dll"));
    EXPECT_EQ(reader.ReadVersionInfo("CompanyName"), "Brennow Werkstatt");
    EXPECT_EQ(reader.ReadVersionInfo("Comments"), "");
    // Present only in the second translation.
    EXPECT_EQ(ErrorOf([&] { reader.ReadVersionInfo("LegalTrademarks"); }), KeyNotFound);
    EXPECT_EQ(ErrorOf([&] { reader.ReadVersionInfo(std::string(300, 'K')); }), KeyNotFound);

    // A lookup takes the translation but no other value, and counts as no full read.
    EXPECT_EQ(reader.Translation(), 0x04E40407u);
    EXPECT_EQ(reader.TranslationCount(), 3u);
    EXPECT_EQ(reader.LanguageName(), LanguageName(0x407));
    EXPECT_EQ(reader.CompanyName(), "");
    EXPECT_EQ(reader.FileVersionMS(), 0u);
    EXPECT_FALSE(reader.InfoRead());
    EXPECT_DOUBLE_EQ(reader.FileVersionNumber(), 4.72);
    EXPECT_TRUE(reader.InfoRead());

    // The string values need no fixed record.
    reader.SetFileName(DataFile("GwShellNoFixedRecord.dll"));
    EXPECT_EQ(reader.ReadVersionInfo("FileVersion"), "7.5");
}

TEST(VersionInfoFailure, UnreadableResourcesLeaveTheValuesOfTheLastRead) {
    TemporaryDirectory directory;
    const std::string textFile = directory.Write("notes.txt", "FileVersion 5.0\r\n");
    struct Case {
        std::string file;
        std::string message;
    };
    const Case cases[] = {
        {textFile, MessageForUnreadable(textFile)},
        {DataFile("GwShellNoVersion.dll"), MessageForUnreadable(DataFile("GwShellNoVersion.dll"))},
        {DataFile("GwShellNoTranslation.dll"), UnableToRead},
        {DataFile("GwShellEmptyTranslation.dll"), UnableToRead},
        // Lengths inside the resource that point past its end are refused before any query.
        {DataFile("GwShellDamaged1.dll"), UnableToRead},
        {DataFile("GwShellDamaged2.dll"), UnableToRead},
    };
    const auto reader = ReaderOfSeveral();
    for (const Case& c : cases) {
        reader->SetFileName(c.file);
        EXPECT_EQ(ErrorOf([&] { reader->FileVersionNumber(); }), c.message) << c.file;
        EXPECT_EQ(ErrorOf([&] { reader->ReadVersionInfo("FileVersion"); }), c.message) << c.file;
        EXPECT_FALSE(reader->InfoRead()) << c.file;
        ExpectValuesOfSeveral(*reader);
    }
}

TEST(VersionInfoFailure, NoFixedRecordAfterTheTranslationWasTaken) {
    const auto reader = ReaderOfSeveral();
    reader->SetFileName(DataFile("GwShellNoFixedRecord.dll"));
    EXPECT_EQ(ErrorOf([&] { reader->FileVersionNumber(); }), UnableToRead);
    EXPECT_FALSE(reader->InfoRead());
    EXPECT_EQ(reader->Translation(), 0x04B00409u);
    EXPECT_EQ(reader->TranslationCount(), 1u);
    EXPECT_EQ(reader->LanguageName(), LanguageName(0x409));
    EXPECT_EQ(reader->FileVersion(), "4.72.3110.0");
    EXPECT_EQ(reader->FileVersionMS(), 0x00040048u);
    EXPECT_DOUBLE_EQ(reader->ProductVersionNumber(), 5.0);
}

TEST(VersionInfoFailure, SizeQueryErrorChoosesTheMessage) {
    const auto reader = ReaderOfSeveral();
    reader->SetFileName(DataFile("GwShellTexts1.dll"));
    const std::pair<DWORD, std::string> cases[] = {
        {ERROR_RESOURCE_TYPE_NOT_FOUND, NoVersionInfo},
        {ERROR_SUCCESS, UnableToRead},
        {ERROR_RESOURCE_DATA_NOT_FOUND, UnableToRead},
        {ERROR_FILE_NOT_FOUND, UnableToRead},
    };
    static DWORD error = 0;
    ScopedSeam refuse(
        Seam::FileVersionInfoSize, +[](LPCSTR, LPDWORD) -> DWORD {
            SetLastError(error);
            return 0;
        });
    for (const auto& [code, message] : cases) {
        error = code;
        EXPECT_EQ(ErrorOf([&] { reader->FileVersionNumber(); }), message) << code;
        ExpectValuesOfSeveral(*reader);
    }
}

TEST(VersionInfoRead, TheBlockIsBoundByItsOwnLengthNotByTheSizeThePlatformGives) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
    ASSERT_NE(found, nullptr);
    static DWORD size = 0;
    const DWORD resource = SizeofResource(nullptr, found);
    ScopedSeam exact(
        Seam::FileVersionInfoSize, +[](LPCSTR, LPDWORD handle) -> DWORD {
            *handle = 0;
            return size;
        });
    // Exactly as large as the resource: nothing of the file is missing.
    size = resource;
    TGwVersionInfo reader(nullptr);
    EXPECT_DOUBLE_EQ(reader.FileVersionNumber(), 2.5);
    EXPECT_EQ(reader.FileVersion(), "2.5.0.1");
    EXPECT_EQ(reader.FileVersionLS(), 1u);
    EXPECT_EQ(reader.ReadVersionInfo("ProductName"), "GwShellTest");
    // Shorter than the block says it is: refused, the values of the last read kept.
    size = resource - 4;
    EXPECT_EQ(ErrorOf([&] { reader.ReadVersionInfo(""); }), UnableToRead);
    EXPECT_EQ(reader.FileVersion(), "2.5.0.1");
}

TEST(VersionInfoFileName, ReaderStartsWithTheProgramsOwnPath) {
    TComponent owner(nullptr);
    auto* reader = new TGwVersionInfo(&owner);
    ASSERT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(reader->FileName(), ProgramPath());
    EXPECT_FALSE(reader->InfoRead());
    EXPECT_DOUBLE_EQ(reader->FileVersionNumber(), 2.5);
    EXPECT_EQ(reader->ProductName(), "GwShellTest");
}

TEST(VersionInfoFileName, NamesOfNoExistingFileAreRefusedAndChangeNothing) {
    TemporaryDirectory directory;
    const auto reader = ReaderOfSeveral();
    const std::string stored = reader->FileName();
    const std::string names[] = {
        directory.Path() + "\\missing.dll",
        directory.Path(),
        // A name the platform cannot take, though the file exists under its first 259 characters.
        DataFile("GwShellSeveral.dll") + std::string(1, '\0') + "x",
        directory.Path() + "\\" + std::string(300, 'n'),
    };
    for (const std::string& name : names) {
        EXPECT_EQ(ErrorOf([&] { reader->SetFileName(name); }), ErrorOpeningFile) << name;
        EXPECT_EQ(reader->FileName(), stored);
        EXPECT_TRUE(reader->InfoRead());
    }
}

TEST(VersionInfoFileName, ReadsOnlyOncePerNameUnlessAskedTo) {
    ScopedSeam count(Seam::FileVersionInfoSize, CountedSizeQuery);
    SizeQueries = 0;
    TGwVersionInfo reader(nullptr);
    reader.SetFileName(DataFile("GwShellTexts1.dll"));
    EXPECT_DOUBLE_EQ(reader.FileVersionNumber(), 5.0);
    EXPECT_DOUBLE_EQ(reader.FileVersionNumber(), 5.0);
    EXPECT_EQ(SizeQueries, 1);

    // The same name again keeps the flag and the values.
    reader.SetFileName(DataFile("GwShellTexts1.dll"));
    EXPECT_TRUE(reader.InfoRead());
    EXPECT_DOUBLE_EQ(reader.FileVersionNumber(), 5.0);
    EXPECT_EQ(SizeQueries, 1);

    // An explicit full read always reads.
    reader.ReadVersionInfo("");
    EXPECT_EQ(SizeQueries, 2);

    // A different name clears the flag but not the values, until the next read.
    reader.SetFileName(DataFile("GwShellTexts2.dll"));
    EXPECT_FALSE(reader.InfoRead());
    EXPECT_EQ(reader.FileVersion(), "5.0");
    EXPECT_DOUBLE_EQ(reader.ProductVersionNumber(), 10.0);
    EXPECT_DOUBLE_EQ(reader.FileVersionNumber(), 4.72);
    EXPECT_EQ(SizeQueries, 3);

    // A failed read leaves the flag clear, so the next access tries again.
    reader.SetFileName(DataFile("GwShellNoTranslation.dll"));
    EXPECT_EQ(ErrorOf([&] { reader.FileVersionNumber(); }), UnableToRead);
    EXPECT_EQ(ErrorOf([&] { reader.FileVersionNumber(); }), UnableToRead);
    EXPECT_EQ(SizeQueries, 5);
}

TEST(VersionInfoFileName, EmptyNameStandsForTheProgram) {
    TGwVersionInfo reader(nullptr);
    reader.ReadVersionInfo("");
    ASSERT_TRUE(reader.InfoRead());
    // The empty text differs from the stored path, so the flag goes, and the path comes back.
    reader.SetFileName("");
    EXPECT_FALSE(reader.InfoRead());
    EXPECT_EQ(reader.FileName(), ProgramPath());

    reader.SetFileName(DataFile("GwShellTexts1.dll"));
    reader.SetFileName("");
    EXPECT_EQ(reader.FileName(), ProgramPath());
    EXPECT_DOUBLE_EQ(reader.FileVersionNumber(), 2.5);
}

TEST(VersionInfoFileName, DesignStateStoresAnyNameAndLoadingFillsAnEmptyOne) {
    TGwVersionInfo reader(nullptr);
    reader.SetDesigning(true);
    reader.SetFileName("C:\\nowhere\\missing.dll");
    EXPECT_EQ(reader.FileName(), "C:\\nowhere\\missing.dll");
    reader.SetFileName("");
    EXPECT_EQ(reader.FileName(), "");
    reader.Loaded();
    EXPECT_EQ(reader.FileName(), "");

    reader.SetDesigning(false);
    reader.BeginLoading();
    reader.Loaded();
    EXPECT_FALSE(reader.IsLoading());
    EXPECT_EQ(reader.FileName(), ProgramPath());

    // Loading keeps a name that the description set.
    reader.SetFileName(DataFile("GwShellTexts1.dll"));
    reader.BeginLoading();
    reader.Loaded();
    EXPECT_EQ(reader.FileName(), DataFile("GwShellTexts1.dll"));

    // A name the platform cannot take, stored in design state, is never handed to it.
    reader.SetDesigning(true);
    reader.SetFileName(std::string(300, 'n'));
    reader.SetDesigning(false);
    EXPECT_EQ(ErrorOf([&] { reader.FileVersionNumber(); }), ErrorOpeningFile);
}

TEST(ShellComponent, KnowsTheShellLibrarysVersion) {
    TComponent owner(nullptr);
    auto* shell = new TGwShellComponent(&owner);
    // Wine's shell32.dll has the file version 6.0.2900.6242.
    EXPECT_DOUBLE_EQ(shell->ShellVersion(), 6.0);
    // The probe's reader is gone.
    ASSERT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components()[0], shell);
}

TEST(ShellComponent, ProbesShell32InTheSystemDirectory) {
    TemporaryDirectory directory;
    const std::string library = directory.Copy(DataFile("GwShellTexts2.dll"), "shell32.dll");
    ShellDirectory = directory.Path();
    ScopedSeam system(Seam::SystemDirectory, ChosenSystemDirectory);
    ScopedSeam record(Seam::FileVersionInfoSize, RecordedSizeQuery);
    QueriedNames.clear();
    TComponent owner(nullptr);
    auto* shell = new TGwShellComponent(&owner);
    EXPECT_EQ(QueriedNames, std::vector<std::string>{library});
    // Wine reads any file of that name as its own shell32.dll, whose resource says 6.0.2900.6242;
    // the copied library's own resource says 4.72.3110.0.
    EXPECT_DOUBLE_EQ(shell->ShellVersion(), 6.0);
    EXPECT_EQ(owner.ComponentCount(), 1);
}

TEST(ShellComponent, FailedProbeLeavesNothingBehind) {
    TemporaryDirectory withoutShell;
    ScopedSeam system(Seam::SystemDirectory, ChosenSystemDirectory);
    // No file there; no directory from the platform; one too long for the name behind it; one too
    // long to take.
    for (const std::string& directory :
         {withoutShell.Path(), std::string(), std::string(250, 'd'), std::string(300, 'd')}) {
        ShellDirectory = directory;
        TComponent owner(nullptr);
        EXPECT_EQ(ErrorOf([&] { new TGwShellComponent(&owner); }), ErrorOpeningFile) << directory;
        EXPECT_EQ(owner.ComponentCount(), 0) << directory;
    }
}

TEST(ShellComponent, LibraryWithoutVersionResourceFailsTheConstruction) {
    // Wine reports every file without one as 1812, never as this code.
    ScopedSeam refuse(
        Seam::FileVersionInfoSize, +[](LPCSTR, LPDWORD) -> DWORD {
            SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
            return 0;
        });
    TComponent owner(nullptr);
    EXPECT_EQ(ErrorOf([&] { new TGwShellComponent(&owner); }), NoVersionInfo);
    EXPECT_EQ(owner.ComponentCount(), 0);
}
} // namespace
