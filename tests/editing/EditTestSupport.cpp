#include "EditTestSupport.h"

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

} // namespace xq::test
