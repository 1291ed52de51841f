// Picture data to graphics and field instructions to commands, for the RTF reader.
#include "formats/rtf/RtfReaderHelpers.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

#include "document/Graphic.h"
#include "pictures/Dib.h"
#include "pictures/Metafile.h"
#include "pictures/PictureKinds.h"

namespace xq {

namespace {

std::unique_ptr<TGraphic> LoadAs(std::string_view className, std::string_view bytes)
{
    std::unique_ptr<TGraphic> graphic = CreateGraphic(className);
    if (!graphic || !graphic->LoadFromBytes(bytes))
        return nullptr;
    return graphic;
}

void Put16(std::string& s, std::uint32_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& s, std::uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

/// A device-dependent bitmap ("wbitmap"): rows of wbmwidthbytes bytes, top down, in 1, 24 or 32
/// bits per pixel, as a DIB with the rows padded to 32 bits.
bool DibOfDdb(const TRVRTFPicture& pic, std::string& dib)
{
    const int bits = pic.WBMBitsPixel * std::max(pic.WBMPlanes, 1);
    const std::int64_t w = pic.PicW, h = pic.PicH;
    if ((bits != 1 && bits != 24 && bits != 32) || !PictureSizeAllowed(w, h))
        return false;
    const std::uint64_t srcRow = pic.WBMWidthBytes > 0 ? std::uint64_t(pic.WBMWidthBytes) : (std::uint64_t(w) * bits + 15) / 16 * 2;
    const std::uint64_t needRow = (std::uint64_t(w) * bits + 7) / 8;
    if (srcRow < needRow || srcRow * std::uint64_t(h) > pic.Data.size())
        return false;
    const std::uint64_t dstRow = DibRowBytes(w, bits);
    dib.clear();
    Put32(dib, 40);
    Put32(dib, std::uint32_t(w));
    Put32(dib, std::uint32_t(-h)); // top down
    Put16(dib, 1);
    Put16(dib, std::uint32_t(bits));
    Put32(dib, 0);
    Put32(dib, std::uint32_t(dstRow * std::uint64_t(h)));
    Put32(dib, 0);
    Put32(dib, 0);
    Put32(dib, bits == 1 ? 2 : 0);
    Put32(dib, 0);
    if (bits == 1) {
        Put32(dib, 0x000000);
        Put32(dib, 0xFFFFFF);
    }
    for (std::int64_t y = 0; y < h; ++y) {
        dib.append(pic.Data, std::size_t(std::uint64_t(y) * srcRow), std::size_t(needRow));
        dib.append(std::size_t(dstRow - needRow), '\0');
    }
    return true;
}

std::unique_ptr<TGraphic> LoadDib(std::string_view dib)
{
    std::string bmp;
    if (!BmpFileFromDib(dib, bmp))
        return nullptr;
    return LoadAs("TBitmap", bmp);
}

} // namespace

std::unique_ptr<TGraphic> GraphicFromRtfPicture(const TRVRTFPicture& picture, bool extractMetafileBitmaps)
{
    const std::string_view data = picture.Data;
    std::unique_ptr<TGraphic> graphic;
    switch (picture.Type) {
    case rtf_pict_EMF:
        if (extractMetafileBitmaps) {
            std::string bmp;
            if (ExtractEmfBitmap(data, bmp))
                graphic = LoadAs("TBitmap", bmp);
        }
        if (!graphic)
            graphic = LoadAs("TMetafile", data);
        break;
    case rtf_pict_PNG:
        graphic = LoadAs("TPNGObject", data);
        break;
    case rtf_pict_JPEG:
        graphic = LoadAs("TJPEGImage", data);
        break;
    case rtf_pict_WMF:
        graphic = LoadAs("TMetafile", data);
        break;
    case rtf_pict_DIB:
        graphic = LoadDib(data);
        break;
    case rtf_pict_DDB: {
        std::string dib;
        if (DibOfDdb(picture, dib))
            graphic = LoadDib(dib);
        break;
    }
    case rtf_pict_MacPict:
    case rtf_pict_PmMetafile:
        break;
    }
    // Writers do not always name the kind their data is: whatever the bytes say they are.
    if (!graphic && picture.Type != rtf_pict_MacPict && picture.Type != rtf_pict_PmMetafile)
        graphic = LoadGraphic(data);
    return graphic;
}

namespace {

bool StartsWithNoCase(std::string_view s, std::string_view prefix)
{
    if (s.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(s[i])) != std::toupper(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

/// The words of an instruction: quoted arguments ("a b") are one word without their quotes.
std::vector<std::string> Words(std::string_view s)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && IsSpace(s[i]))
            ++i;
        if (i >= s.size())
            break;
        std::string word;
        if (s[i] == '"') {
            ++i;
            while (i < s.size() && s[i] != '"')
                word += s[i++];
            if (i < s.size())
                ++i;
        } else {
            while (i < s.size() && !IsSpace(s[i]))
                word += s[i++];
        }
        words.push_back(std::move(word));
    }
    return words;
}

int ToInt(std::string_view s, int fallback)
{
    int value = fallback;
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        s.remove_prefix(2);
        base = 16;
    }
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    (void)ptr;
    return ec == std::errc() ? value : fallback;
}

std::string HalveBackslashes(std::string_view s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        out += s[i];
        if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == '\\')
            ++i;
    }
    return out;
}

} // namespace

TRVRTFFieldCommand ParseRtfFieldInstruction(std::string_view instruction)
{
    TRVRTFFieldCommand cmd;
    std::string_view s = Trim(instruction);
    if (!s.empty() && s.front() == '\\')
        s.remove_prefix(1);
    const bool include = StartsWithNoCase(s, "INCLUDEPICTURE");
    if (include || StartsWithNoCase(s, "IMPORT")) {
        cmd.Kind = TRVRTFFieldCommand::IncludePicture;
        std::string_view rest = s.substr(include ? 14 : 6);
        // The first argument that is no switch ("\d", "\c converter" take none / one).
        const std::vector<std::string> words = Words(rest);
        for (std::size_t i = 0; i < words.size(); ++i) {
            const std::string& w = words[i];
            if (w.size() >= 2 && w[0] == '\\' && w[1] != '\\') {
                if (w == "\\c")
                    ++i;
                continue;
            }
            cmd.FileName = HalveBackslashes(w);
            break;
        }
        return cmd;
    }
    if (StartsWithNoCase(s, "SYMBOL")) {
        cmd.Kind = TRVRTFFieldCommand::Symbol;
        const std::vector<std::string> words = Words(s.substr(6));
        if (!words.empty())
            cmd.CharCode = ToInt(words[0], 0);
        for (std::size_t i = 1; i < words.size(); ++i) {
            if (words[i] == "\\f" && i + 1 < words.size())
                cmd.FontName = words[++i];
            else if (words[i] == "\\s" && i + 1 < words.size())
                cmd.FontSize = std::max(0, ToInt(words[++i], 0));
            else if (words[i] == "\\u")
                cmd.Unicode = true;
        }
        return cmd;
    }
    if (StartsWithNoCase(s, "SEQ") && (s.size() == 3 || IsSpace(s[3]))) {
        cmd.Kind = TRVRTFFieldCommand::Seq;
        const std::vector<std::string> words = Words(s.substr(3));
        for (std::size_t i = 0; i < words.size(); ++i) {
            const std::string& w = words[i];
            if (w == "\\*" && i + 1 < words.size()) {
                const std::string& f = words[++i];
                if (f == "alphabetic")
                    cmd.SeqType = rvseqLowerAlpha;
                else if (f == "ALPHABETIC")
                    cmd.SeqType = rvseqUpperAlpha;
                else if (f == "roman")
                    cmd.SeqType = rvseqLowerRoman;
                else if (f == "ROMAN")
                    cmd.SeqType = rvseqUpperRoman;
                else if (StartsWithNoCase(f, "ARABIC"))
                    cmd.SeqType = rvseqDecimal;
            } else if (w == "\\r" && i + 1 < words.size()) {
                cmd.Reset = true;
                cmd.StartFrom = ToInt(words[++i], 1);
            } else if (!w.empty() && w[0] == '\\') {
                // Other switches (\c, \h, \n, \s) take no argument this reader needs.
            } else if (cmd.SeqName.empty()) {
                cmd.SeqName = w;
            }
        }
        return cmd;
    }
    return cmd;
}

} // namespace xq
