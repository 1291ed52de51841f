#include "EditTestSupport.h"

#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

#include "formats/rvf/RvfWriter.h"
#include "layout/LayoutTestSupport.h"
#include "platform/CodePage.h"

namespace xq::test {

EditFixture::EditFixture(int width, int clientHeight)
{
    Data.LeftMargin = Data.RightMargin = Data.TopMargin = Data.BottomMargin = 0;
    Data.MinTextWidth = Data.MaxTextWidth = width;
    Data.ClientWidth = 200;
    Data.ClientHeight = clientHeight;
    Data.SetFormatCanvas(&Canvas);
}

int EditFixture::AddTextStyle()
{
    TFontInfo& style = Sheet.TextStyles.Add();
    style.CopyStyle(Sheet.TextStyles[0]);
    return Sheet.TextStyles.Count() - 1;
}

unsigned SeedCount(unsigned fallback)
{
    if (const char* env = std::getenv("XQ_EDIT_SEEDS"))
        if (const long n = std::strtol(env, nullptr, 10); n > 0)
            return static_cast<unsigned>(n);
    return fallback;
}

std::string PosText(TRVDocPos pos)
{
    return std::to_string(pos.ItemNo) + ":" + std::to_string(pos.Offset);
}

std::string EditFixture::Caret() const
{
    if (!Data.CaretValid())
        return "none";
    const int stop = Data.CaretStop();
    const int last = Data.CharEnds().Count() - 1;
    return (stop == 0 ? "|" : "") + PosText(Data.CaretDocPos()) + (stop == last ? "|" : "");
}

std::string EditFixture::Selection() const
{
    if (Data.SelStartNo < 0)
        return "none";
    return PosText(Data.DocPosOf(Data.SelectionAnchor())) + "-" + PosText(Data.DocPosOf(Data.SelectionEnd()));
}

std::string EditFixture::Rvf() const
{
    std::string out;
    if (!TRVFWriter(Sheet, RVFMainWindowOptions).WriteDocument(Data, nullptr, out))
        return "(not written)";
    return out;
}

void EditFixture::ExpectLayoutFresh()
{
    const std::string partial = DrawDump(Data);
    Edit.Format();
    EXPECT_EQ(partial, DrawDump(Data));
}

void EditFixture::ExpectOneStep(const std::string& before, TRVUndoType kind)
{
    ExpectLayoutFresh();
    const std::string after = Rvf();
    ASSERT_EQ(Edit.UndoAction(), kind);
    Edit.Undo();
    EXPECT_EQ(Rvf(), before);
    ExpectLayoutFresh();
    Edit.Redo();
    EXPECT_EQ(Rvf(), after);
    ExpectLayoutFresh();
}

std::string EditFixture::SelectedText() const
{
    TRVDocPos first, last;
    if (!Edit.GetOrderedSelectionDoc(first, last))
        return {};
    std::string out;
    for (int i = first.ItemNo; i <= last.ItemNo; ++i) {
        const TCustomRVItemInfo& item = Data.ItemAt(i);
        if (i > first.ItemNo && !(Data.ItemAt(i - 1).IsListMarker() && item.ContinuesPara()))
            out += Data.StartsParagraph(i) ? "/" : "|";
        if (!item.IsText())
            continue;
        const int charset = Sheet.TextStyles[Data.ActualStyleOf(i)].Charset;
        const std::u16string text = item.IsUnicode() ? Utf16FromBytes(Data.TextAt(i))
                                                     : AnsiToUnicode(Data.TextAt(i), CodePageOfCharset(charset, SystemAnsiCodePage));
        const int from = i == first.ItemNo ? first.Offset : 1;
        const int to = i == last.ItemNo ? last.Offset : Data.ItemLength(i) + 1;
        out += Utf16ToUtf8(text.substr(std::size_t(from - 1), std::size_t(std::max(0, to - from))));
    }
    return out;
}

} // namespace xq::test
