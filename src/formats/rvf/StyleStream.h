// Style collections as tagged streams: the content of the text, paragraph and list style records.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "document/FontInfo.h"
#include "document/Graphic.h"
#include "document/ImageList.h"
#include "document/ListInfo.h"
#include "document/ParaInfo.h"
#include "formats/rvf/NamedValues.h"
#include "formats/rvf/RvfTypes.h"

namespace xq {

/// Makes a picture of the named kind from its own serialisation; null when the kind is unknown.
using TStylePictureFactory =
    std::function<std::unique_ptr<TGraphic>(std::string_view className, std::string_view bytes)>;
/// The image list with this tag, or null.
using TImageListResolver = std::function<const TRVImageList*(std::int32_t tag)>;

// Each style is written with the properties that differ from their defaults, in a fixed order.
[[nodiscard]] std::string WriteTextStyleStream(const TFontInfos& styles);
[[nodiscard]] std::string WriteParaStyleStream(const TParaInfos& styles);
[[nodiscard]] std::string WriteListStyleStream(const TRVListInfos& styles);

// The readers append the styles of the stream to `into`. A stream that does not start with a
// collection, or that ends early, fails; the styles read up to then stay in `into`. Unknown
// properties and values of the wrong kind are skipped with WarnUnknownProperty.
[[nodiscard]] bool ReadTextStyleStream(std::string_view stream, TFontInfos& into, TRVFWarnings& warnings);
[[nodiscard]] bool ReadParaStyleStream(std::string_view stream, TParaInfos& into, TRVFWarnings& warnings);
/// Level pictures go through `pictures` (without it, or when it gives none, the level keeps no
/// picture and WarnUnknownPicture is set); image list tags through `imageLists` when given.
[[nodiscard]] bool ReadListStyleStream(std::string_view stream, TRVListInfos& into, TRVFWarnings& warnings,
                                       const TStylePictureFactory& pictures = {},
                                       const TImageListResolver& imageLists = {});

} // namespace xq
