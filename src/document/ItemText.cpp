#include "document/ItemText.h"

#include "document/RVData.h"
#include "platform/CodePage.h"

namespace xq {

TRVItemText TRVItemText::Of(const TCustomRVData& data, int itemNo)
{
    const TCustomRVItemInfo& item = data.ItemAt(itemNo);
    return {data.TextAt(itemNo), item.IsText() && item.IsUnicode()};
}

std::u16string TRVItemText::Utf16(int codePage) const
{
    if (Unicode_)
        return Utf16FromBytes(Bytes_.substr(0, Bytes_.size() & ~std::size_t(1)));
    return AnsiToUnicode(Bytes_, codePage);
}

} // namespace xq
