// What the file's properties and inventory tools read from Tilewick.exe: its
// version resource, through the system's own version API.
#include "bench.h"

#include <gtest/gtest.h>

#include <vector>

using namespace bench;

namespace {

std::vector<BYTE> versionBlock() {
    const std::wstring exe = tilewickExe();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    std::vector<BYTE> block(size);
    if (size == 0 || !GetFileVersionInfoW(exe.c_str(), 0, size, block.data()))
        block.clear();
    return block;
}

// The value at `path` as text, or "(none)".
std::wstring stringValue(std::vector<BYTE>& block, const std::wstring& path) {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0)
        return L"(none)";
    return static_cast<const wchar_t*>(value);
}

TEST(VersionInfoTest, TilewickExeSaysWhatItIsInJapaneseAndNeutralBlocks) {
    std::vector<BYTE> block = versionBlock();
    ASSERT_FALSE(block.empty()) << "no version resource in " << narrow(tilewickExe());

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u) << "file version 1.1";
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010001u) << "product version 1.1";
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));

    WORD* translations = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translations), &length));
    ASSERT_EQ(length, 8u) << "two translations";
    EXPECT_EQ(translations[0], 0x0411) << "Japanese";
    EXPECT_EQ(translations[1], 1200) << "UTF-16";
    EXPECT_EQ(translations[2], 0x0000) << "neutral";
    EXPECT_EQ(translations[3], 1200) << "UTF-16";

    const struct {
        const wchar_t* block;
        const wchar_t* name;
        const wchar_t* value;
    } expected[] = {
        {L"041104B0", L"ProductName", L"Tilewick"},
        {L"041104B0", L"ProductVersion", L"1.1"},
        {L"041104B0", L"FileVersion", L"1.1"},
        {L"041104B0", L"FileDescription", L"Tilewick – PuTTY ウィンドウの整列と一斉入力"},
        {L"041104B0", L"OriginalFilename", L"Tilewick.exe"},
        {L"000004B0", L"ProductName", L"Tilewick"},
        {L"000004B0", L"ProductVersion", L"1.1"},
        {L"000004B0", L"FileVersion", L"1.1"},
        {L"000004B0", L"FileDescription", L"Tilewick – PuTTY window tiler and broadcaster"},
        {L"000004B0", L"OriginalFilename", L"Tilewick.exe"},
    };
    for (const auto& e : expected) {
        const std::wstring path = std::wstring(L"\\StringFileInfo\\") + e.block + L"\\" + e.name;
        EXPECT_EQ(stringValue(block, path), e.value) << narrow(path);
    }
}

}  // namespace
