// TCustomRVFormattedData: a container together with its screen layout - what a view (the editor,
// xqconvert's painter) shows. Other layouts of the same items (printing) are TRVContainerLayout
// objects of their own.
#pragma once

#include "layout/ContainerLayout.h"

namespace xq {

/// The container, the settings of the view that shows it, and its layout for that view.
class TCustomRVFormattedData : public TCustomRVData, public TRVViewSettings, public TRVContainerLayout {
public:
    explicit TCustomRVFormattedData(TRVStyle* sheet = nullptr) noexcept
        : TCustomRVData(sheet), TRVContainerLayout(static_cast<const TCustomRVData&>(*this),
                                                   static_cast<TRVViewSettings&>(*this))
    {
    }
};

} // namespace xq
