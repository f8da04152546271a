// The resources of fortune-data-patch.exe as Windows reads them: the version
// information names the application, the icon is there, and the manifest asks
// for administrator rights, the current common controls and per-monitor DPI.

#include "wide_text.h"

#include "ui/window_description.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::wstring kProgram = win32ui::toWide(FORTUNE_DATA_PATCH_EXE);

std::wstring versionString(const std::vector<BYTE>& block, const wchar_t* name) {
    struct Translation {
        WORD language;
        WORD codePage;
    }* translations = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &size) ||
        size < sizeof(Translation))
        return {};
    wchar_t path[128];
    swprintf(path, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translations[0].language, translations[0].codePage, name);
    wchar_t* value = nullptr;
    if (!VerQueryValueW(block.data(), path, reinterpret_cast<void**>(&value), &size)) return {};
    return std::wstring(value, size > 0 ? size - 1 : 0);
}

class ProgramResources : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExW(kProgram.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << "cannot open " << FORTUNE_DATA_PATCH_EXE;
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
    }
    std::string manifest() const {
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24) /* RT_MANIFEST */);
        if (!found) return {};
        const auto* text = static_cast<const char*>(LockResource(LoadResource(module, found)));
        return text ? std::string(text, SizeofResource(module, found)) : std::string();
    }
    HMODULE module = nullptr;
};

TEST_F(ProgramResources, VersionInformationNamesTheApplication) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(kProgram.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(kProgram.c_str(), 0, size, block.data()));
    const std::wstring title = win32ui::toWide(ui::applicationTitle());
    EXPECT_EQ(versionString(block, L"FileDescription"), title);
    EXPECT_EQ(versionString(block, L"ProductName"), title);
    EXPECT_EQ(versionString(block, L"OriginalFilename"), L"fortune-data-patch.exe");
}

TEST_F(ProgramResources, CarriesTheIconAndThePictures) {
    EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */), nullptr);
    for (const wchar_t* picture : {L"CONTACT", L"PAYMENT", L"NAMING", L"PAY_NORMAL", L"PAY_HOT"})
        EXPECT_NE(FindResourceW(module, picture, MAKEINTRESOURCEW(10) /* RT_RCDATA */), nullptr) << picture;
}

TEST_F(ProgramResources, ManifestAsksForAdministratorCommonControlsAndPerMonitorDpi) {
    const std::string text = manifest();
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.find(R"(level="requireAdministrator")"), std::string::npos);
    EXPECT_NE(text.find(R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")"), std::string::npos);
    EXPECT_NE(text.find("PerMonitorV2"), std::string::npos);
    EXPECT_NE(text.find("true/pm"), std::string::npos);
}

}  // namespace
