// TRVDocParameters: the page a document is meant for, with its RVF record lines and RTF page group.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace xq {

enum TRVUnits : std::uint8_t { rvuInches, rvuCentimeters, rvuMillimeters, rvuPicas, rvuPixels, rvuPoints };

enum TPrinterOrientation : std::uint8_t { poPortrait, poLandscape };

enum TRVZoomMode : std::uint8_t { rvzmFullPage, rvzmPageWidth, rvzmCustom };

// Paper size, orientation, margins, header and footer distances, page view zoom and mirrored margins.
// Lengths are in the document's own unit, chosen by Units. A field counts as default only when it
// equals its default exactly.
class TRVDocParameters {
public:
    // The defaults: an A4 page in inches.
    static constexpr double DefaultPageWidth = 8.2677165354;
    static constexpr double DefaultPageHeight = 11.692913386;
    static constexpr TRVUnits DefaultUnits = rvuInches;
    static constexpr TPrinterOrientation DefaultOrientation = poPortrait;
    static constexpr double DefaultLeftMargin = 1.25;
    static constexpr double DefaultRightMargin = 1.25;
    static constexpr double DefaultTopMargin = 1.0;
    static constexpr double DefaultBottomMargin = 1.0;
    static constexpr double DefaultHeaderY = 0.5;
    static constexpr double DefaultFooterY = 0.5;
    static constexpr std::int32_t DefaultZoomPercent = 100;
    static constexpr TRVZoomMode DefaultZoomMode = rvzmCustom;
    static constexpr bool DefaultMirrorMargins = false;

    double PageWidth = DefaultPageWidth;
    double PageHeight = DefaultPageHeight;
    TRVUnits Units = DefaultUnits;
    TPrinterOrientation Orientation = DefaultOrientation;
    double LeftMargin = DefaultLeftMargin;
    double RightMargin = DefaultRightMargin;
    double TopMargin = DefaultTopMargin;
    double BottomMargin = DefaultBottomMargin;
    double HeaderY = DefaultHeaderY;   // distance of the header from the top edge
    double FooterY = DefaultFooterY;   // distance of the footer from the bottom edge
    std::int32_t ZoomPercent = DefaultZoomPercent;
    TRVZoomMode ZoomMode = DefaultZoomMode;
    bool MirrorMargins = DefaultMirrorMargins;   // left and right margins swap on even pages

    bool operator==(const TRVDocParameters&) const = default;

    void ResetToDefaults() noexcept;
    void CopyFrom(const TRVDocParameters& other) noexcept;

    // Number of fields that differ from their defaults: the line count of the RVF record.
    [[nodiscard]] int NonDefaultCount() const noexcept;
    [[nodiscard]] bool IsDefault() const noexcept;

    [[nodiscard]] double UnitsPerInch() const noexcept;
    // value × 1440 / units per inch, rounded to the nearest integer (clamped to the int range).
    [[nodiscard]] int ToTwips(double value) const noexcept;
    [[nodiscard]] double FromTwips(int twips) const noexcept;

    // The RVF page parameter record: one "Name=value" line (without line end) per non-default field,
    // in the fixed record order. Lengths use '.' whatever the locale.
    [[nodiscard]] std::vector<std::string> RvfLines() const;

    // Applies one record line. Unknown names, unparsable values and enumeration values out of range
    // are ignored; lengths are kept between 0 and MaxPageMillimetres (document/LengthBounds.h). The
    // record stores only non-default values, so a reader must call ResetToDefaults() before
    // applying the lines of a record; ReadRvfLines() does both.
    void ApplyRvfLine(std::string_view line) noexcept;
    void ReadRvfLines(const std::vector<std::string>& lines) noexcept;
    // Brings every length into 0 .. MaxPageMillimetres, in the document's unit.
    void ClampLengths() noexcept;

    // Appends the RTF page group (paper, margins, view zoom), ended by CR LF.
    void WriteRtf(std::string& out) const;
};

// The parameters the main window's editor is configured with: A4 in millimetres, 20 mm margins.
[[nodiscard]] TRVDocParameters MainWindowDocParameters() noexcept;

} // namespace xq
