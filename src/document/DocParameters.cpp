// TRVDocParameters: defaults, unit conversion, the RVF record lines and the RTF page group.
#include "document/DocParameters.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <system_error>

#include "document/LengthBounds.h"
#include "platform/ScreenUnits.h"

namespace xq {

namespace {

// The lengths, in their place within the RVF record (after Units and Orientation).
struct LengthField {
    std::string_view Name;
    double TRVDocParameters::*Member;
    double Default;
};

constexpr std::array<LengthField, 8> LengthFields{{
    {"PageHeight", &TRVDocParameters::PageHeight, TRVDocParameters::DefaultPageHeight},
    {"PageWidth", &TRVDocParameters::PageWidth, TRVDocParameters::DefaultPageWidth},
    {"LeftMargin", &TRVDocParameters::LeftMargin, TRVDocParameters::DefaultLeftMargin},
    {"RightMargin", &TRVDocParameters::RightMargin, TRVDocParameters::DefaultRightMargin},
    {"TopMargin", &TRVDocParameters::TopMargin, TRVDocParameters::DefaultTopMargin},
    {"BottomMargin", &TRVDocParameters::BottomMargin, TRVDocParameters::DefaultBottomMargin},
    {"HeaderY", &TRVDocParameters::HeaderY, TRVDocParameters::DefaultHeaderY},
    {"FooterY", &TRVDocParameters::FooterY, TRVDocParameters::DefaultFooterY},
}};

constexpr int MaxSignificantDigits = 15;

void AppendInt(std::string& out, long long value)
{
    char buf[24];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, result.ptr);
}

// Significant digits of a number as std::to_chars writes it: from the first to the last non-zero
// digit of the mantissa.
int SignificantDigits(const char* first, const char* last) noexcept
{
    int count = 0;
    int pendingZeros = 0;
    bool started = false;
    for (const char* p = first; p != last && *p != 'e' && *p != 'E'; ++p) {
        if (*p < '0' || *p > '9')
            continue;
        if (*p == '0') {
            if (started)
                ++pendingZeros;
            continue;
        }
        started = true;
        count += pendingZeros + 1;
        pendingZeros = 0;
    }
    return count;
}

// Shortest decimal form that reads back to the same double, '.' as separator in every locale;
// values that need more than 15 significant digits are written with 15.
void AppendFloat(std::string& out, double value)
{
    char buf[64];
    auto result = std::to_chars(buf, buf + sizeof buf, value);
    if (SignificantDigits(buf, result.ptr) > MaxSignificantDigits)
        result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, MaxSignificantDigits);
    out.append(buf, result.ptr);
}

// Whole-text parses: a value with anything after the number is not a number.
bool ParseInt(std::string_view text, std::int32_t& value) noexcept
{
    const char* last = text.data() + text.size();
    const auto result = std::from_chars(text.data(), last, value, 10);
    return result.ec == std::errc{} && result.ptr == last;
}

bool ParseFloat(std::string_view text, double& value) noexcept
{
    const char* last = text.data() + text.size();
    double parsed = 0.0;
    const auto result = std::from_chars(text.data(), last, parsed, std::chars_format::general);
    if (result.ec != std::errc{} || result.ptr != last || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

// Integer in [0, count) for an enumeration with count members.
template <typename Enum>
void ApplyEnum(std::string_view text, Enum& field, int count) noexcept
{
    std::int32_t value = 0;
    if (ParseInt(text, value) && value >= 0 && value < count)
        field = static_cast<Enum>(value);
}

} // namespace

void TRVDocParameters::ResetToDefaults() noexcept
{
    *this = TRVDocParameters{};
}

void TRVDocParameters::CopyFrom(const TRVDocParameters& other) noexcept
{
    *this = other;
}

int TRVDocParameters::NonDefaultCount() const noexcept
{
    int count = 0;
    count += Units != DefaultUnits;
    count += Orientation != DefaultOrientation;
    for (const LengthField& field : LengthFields)
        count += this->*field.Member != field.Default;
    count += ZoomPercent != DefaultZoomPercent;
    count += ZoomMode != DefaultZoomMode;
    count += MirrorMargins != DefaultMirrorMargins;
    return count;
}

bool TRVDocParameters::IsDefault() const noexcept
{
    return NonDefaultCount() == 0;
}

double TRVDocParameters::UnitsPerInch() const noexcept
{
    switch (Units) {
    case rvuInches:
        return 1.0;
    case rvuCentimeters:
        return 2.54;
    case rvuMillimeters:
        return 25.4;
    case rvuPicas:
        return 6.0;
    case rvuPixels:
        return PixelsPerInchOverride;
    case rvuPoints:
        return 72.0;
    }
    return 1.0;
}

int TRVDocParameters::ToTwips(double value) const noexcept
{
    const double twips = value * 1440.0 / UnitsPerInch();
    if (std::isnan(twips))
        return 0;
    if (twips >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (twips <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(std::round(twips));
}

double TRVDocParameters::FromTwips(int twips) const noexcept
{
    return UnitsPerInch() * twips / 1440.0;
}

void TRVDocParameters::ClampLengths() noexcept
{
    const double most = MaxPageMillimetres / 25.4 * UnitsPerInch();
    for (const LengthField& field : LengthFields) {
        double& length = this->*field.Member;
        length = std::clamp(length, 0.0, most);
    }
}

std::vector<std::string> TRVDocParameters::RvfLines() const
{
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(NonDefaultCount()));
    auto intLine = [&lines](std::string_view name, long long value) {
        std::string line(name);
        line += '=';
        AppendInt(line, value);
        lines.push_back(std::move(line));
    };

    if (Units != DefaultUnits)
        intLine("Units", Units);
    if (Orientation != DefaultOrientation)
        intLine("Orientation", Orientation);
    for (const LengthField& field : LengthFields) {
        const double value = this->*field.Member;
        if (value == field.Default)
            continue;
        std::string line(field.Name);
        line += '=';
        AppendFloat(line, value);
        lines.push_back(std::move(line));
    }
    if (ZoomPercent != DefaultZoomPercent)
        intLine("ZoomPercent", ZoomPercent);
    if (ZoomMode != DefaultZoomMode)
        intLine("ZoomMode", ZoomMode);
    if (MirrorMargins != DefaultMirrorMargins)
        lines.emplace_back("MirrorMargins=1");
    return lines;
}

void TRVDocParameters::ApplyRvfLine(std::string_view line) noexcept
{
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return;
    const std::string_view name = line.substr(0, eq);
    const std::string_view value = line.substr(eq + 1);

    for (const LengthField& field : LengthFields) {
        if (name == field.Name) {
            if (ParseFloat(value, this->*field.Member))
                ClampLengths();
            return;
        }
    }
    if (name == "Units") {
        // The same numbers in another unit may be lengths no sheet has.
        ApplyEnum(value, Units, rvuPoints + 1);
        ClampLengths();
    } else if (name == "Orientation") {
        ApplyEnum(value, Orientation, poLandscape + 1);
    } else if (name == "ZoomPercent") {
        std::int32_t zoom = 0;
        if (ParseInt(value, zoom))
            ZoomPercent = zoom;
    } else if (name == "ZoomMode") {
        ApplyEnum(value, ZoomMode, rvzmCustom + 1);
    } else if (name == "MirrorMargins") {
        std::int32_t flag = 0;
        if (ParseInt(value, flag) && (flag == 0 || flag == 1))
            MirrorMargins = flag == 1;
    }
}

void TRVDocParameters::ReadRvfLines(const std::vector<std::string>& lines) noexcept
{
    ResetToDefaults();
    for (const std::string& line : lines)
        ApplyRvfLine(line);
}

void TRVDocParameters::WriteRtf(std::string& out) const
{
    auto keyword = [&out](std::string_view word, long long value) {
        out += word;
        AppendInt(out, value);
    };

    if (Orientation == poLandscape)
        out += "\\landscape";
    keyword("\\paperw", ToTwips(PageWidth));
    keyword("\\paperh", ToTwips(PageHeight));
    keyword("\\margl", ToTwips(LeftMargin));
    keyword("\\margr", ToTwips(RightMargin));
    keyword("\\margt", ToTwips(TopMargin));
    keyword("\\margb", ToTwips(BottomMargin));
    // Readers take half an inch when the distances are not given; the defaults are half an inch
    // only in inches, so the comparison is made in twips, whatever the units.
    constexpr int DefaultDistanceTwips = 720;
    if (ToTwips(HeaderY) != DefaultDistanceTwips)
        keyword("\\headery", ToTwips(HeaderY));
    if (ToTwips(FooterY) != DefaultDistanceTwips)
        keyword("\\footery", ToTwips(FooterY));
    keyword("\\viewscale", ZoomPercent);
    switch (ZoomMode) {
    case rvzmFullPage:
        out += "\\viewzk1";
        break;
    case rvzmPageWidth:
        out += "\\viewzk2";
        break;
    case rvzmCustom:
        out += "\\viewzk0";
        break;
    }
    if (MirrorMargins)
        out += "\\margmirror";
    out += "\r\n";
}

TRVDocParameters MainWindowDocParameters() noexcept
{
    TRVDocParameters params;
    params.Units = rvuMillimeters;
    params.PageWidth = 210.0;
    params.PageHeight = 297.0;
    params.LeftMargin = 20.0;
    params.RightMargin = 20.0;
    params.TopMargin = 20.0;
    params.BottomMargin = 20.0;
    params.HeaderY = 20.0;
    params.FooterY = 20.0;
    return params;
}

} // namespace xq
