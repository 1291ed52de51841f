#include "LayoutTestSupport.h"

#include "platform/CodePage.h"

namespace xq::test {

LayoutFixture::LayoutFixture(int width)
{
    Data.LeftMargin = Data.RightMargin = Data.TopMargin = Data.BottomMargin = 0;
    Data.MinTextWidth = Data.MaxTextWidth = width;
    Data.SetFormatCanvas(&Canvas);
}

int LayoutFixture::AddParaStyle()
{
    TParaInfo& style = Sheet.ParaStyles.Add();
    style.CopyStyle(Sheet.ParaStyles[0]);
    return Sheet.ParaStyles.Count() - 1;
}

int LayoutFixture::AddTextStyle()
{
    TFontInfo& style = Sheet.TextStyles.Add();
    style.CopyStyle(Sheet.TextStyles[0]);
    return Sheet.TextStyles.Count() - 1;
}

std::string DrawDump(const TRVContainerLayout& data)
{
    std::string out;
    const TRVDrawLines& lines = data.DrawItems();
    for (int i = 0; i < lines.Count(); ++i) {
        const TRVDrawLineInfo& d = lines[i];
        if (i > 0)
            out += d.StartsLine() ? "\n" : "  ";
        out += "#" + std::to_string(d.ItemNo) + " " + std::to_string(d.Left) + "," + std::to_string(d.Top) + " " +
               std::to_string(d.Width) + "x" + std::to_string(d.Height);
        if (data.Document().ItemAt(d.ItemNo).IsText()) {
            const std::u16string text = data.DisplayTextOf(d.ItemNo).substr(std::size_t(d.FirstChar - 1),
                                                                            std::size_t(d.CharCount));
            out += " '" + Utf16ToUtf8(text) + "'";
        } else {
            out += " <" + std::to_string(data.Document().StyleOf(d.ItemNo)) + ">";
        }
        if (d.JustifyExtra != 0)
            out += " j+" + std::to_string(d.JustifyExtra);
        if (d.StartsLine() && d.LineGapAfter != 0)
            out += " gap " + std::to_string(d.LineGapAfter);
    }
    return out;
}

} // namespace xq::test
