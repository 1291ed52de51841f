// RVF options, style read modes and warnings: what steers the RVF reader and writer.
#pragma once

#include <cstdint>

#include "platform/Set.h"

namespace xq {

enum TRVFOption : std::uint8_t {
    rvfoSavePicturesBody,
    rvfoSaveControlsBody,
    rvfoIgnoreUnknownPicFmt,
    rvfoIgnoreUnknownCtrls,
    rvfoConvUnknownStylesToZero,
    rvfoConvLargeImageIdxToZero,
    rvfoSaveBinary,
    rvfoUseStyleNames,
    rvfoSaveBack,
    rvfoLoadBack,
    rvfoSaveTextStyles,
    rvfoSaveParaStyles,
    rvfoSaveLayout,
    rvfoLoadLayout,
    rvfoSaveDocProperties,
    rvfoLoadDocProperties,
};
using TRVFOptions = TSet<TRVFOption, std::uint16_t>;

/// The engine's default options.
inline constexpr TRVFOptions RVFDefaultOptions{rvfoSavePicturesBody, rvfoSaveControlsBody, rvfoSaveBinary,
                                              rvfoSaveDocProperties, rvfoLoadDocProperties};
/// The options the main window (and xqconvert) read and write with.
inline constexpr TRVFOptions RVFMainWindowOptions{
    rvfoSavePicturesBody, rvfoSaveControlsBody, rvfoIgnoreUnknownPicFmt, rvfoIgnoreUnknownCtrls,
    rvfoSaveBinary,       rvfoSaveBack,         rvfoLoadBack,            rvfoSaveTextStyles,
    rvfoSaveParaStyles,   rvfoSaveLayout,       rvfoSaveDocProperties,   rvfoLoadDocProperties};

/// How style records of a stream are used.
enum TRVFReaderStyleMode : std::uint8_t { rvf_sIgnore, rvf_sInsertMap, rvf_sInsertMerge };

/// Non-fatal problems of a read.
enum TRVFWarning : std::uint8_t {
    WarnUnknownPicture,
    WarnUnknownControl,
    WarnStyleOutOfRange,
    WarnImageIndexOutOfRange,
    WarnConvertedToUnicode,
    WarnConvertedTo8Bit,
    WarnInvalidPicture,
    WarnUnknownProperty,
};
using TRVFWarnings = TSet<TRVFWarning, std::uint8_t>;

} // namespace xq
