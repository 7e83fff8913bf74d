#include <gtest/gtest.h>

#include "backend/clipboard.h"
#include "backend/win32/win32_data_object.h"

namespace exdui::backend::win32 {
namespace {

std::string Wide(std::u16string_view text) {
    return {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t)};
}

TEST(DataObject, MapsTypesToClipboardFormats) {
    const UINT custom = RegisterClipboardFormatA("x-exdui/test");
    const std::vector<ClipboardBlock> blocks = ToClipboardBlocks({
        {FileDropMimeType, "old"},
        {"text/plain", "ab"},
        {"x-exdui/test", std::string("a\0b", 3)},
        {FileDropMimeType, "new"},  // the last bytes of a type win
    });
    EXPECT_EQ(blocks, (std::vector<ClipboardBlock>{
                          {CF_TEXT, std::string("ab\0", 3)},
                          {CF_UNICODETEXT, Wide(std::u16string(u"ab\0", 3))},
                          {custom, std::string("a\0b", 3)},
                          {CF_HDROP, "new"},
                      }));
}

TEST(DataObject, OffersItsBlocksAndNothingElse) {
    IDataObject* data = MakeDataObject({{CF_HDROP, "files"}});
    ASSERT_NE(data, nullptr);
    FORMATETC drop{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    FORMATETC text{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    EXPECT_EQ(data->QueryGetData(&drop), S_OK);
    EXPECT_EQ(data->QueryGetData(&text), DV_E_FORMATETC);

    STGMEDIUM medium{};
    ASSERT_EQ(data->GetData(&drop, &medium), S_OK);
    EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(medium.hGlobal)), 5), "files");
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);

    IEnumFORMATETC* formats = nullptr;
    ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
    FORMATETC listed[2] = {};
    ULONG count = 0;
    formats->Next(2, listed, &count);
    formats->Release();
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(listed[0].cfFormat, CF_HDROP);
    EXPECT_EQ(data->Release(), 0u);
}

TEST(Clipboard, ReadsTheTextOfEveryTextFormat) {
    SetClipboardText(u"中文 text");
    EXPECT_EQ(ClipboardText(), u"中文 text");
    SetClipboard({{FileDropMimeType, "x"}, {"text/plain", "narrow"}});
    EXPECT_EQ(ClipboardText(), u"narrow");
    SetClipboard({});
    EXPECT_EQ(ClipboardText(), u"");
}

}  // namespace
}  // namespace exdui::backend::win32
