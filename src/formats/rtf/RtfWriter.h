// Writing RTF: a document, or a part of it, as a self-contained RTF 1 document - header with code
// page, font table, colour table, optional style sheet, then the body paragraph by paragraph.
// Lengths the document holds in screen pixels are written in twips; text is 8-bit with
// hexadecimal escapes, and Unicode text goes out as \u keywords.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Color.h"
#include "platform/Set.h"

namespace xq {

class TCustomRVData;
class TCanvas;
class TCustomRVItemInfo;
class TRVContainerLayout;
class TRVDocParameters;
class TRVMarkerItemInfo;
class TRVStyle;

enum TRVRTFOption : std::uint8_t {
    rvrtfSaveStyleSheet,
    rvrtfDuplicateUnicode,
    rvrtfSaveEMFAsWMF,
    rvrtfSaveJpegAsJpeg,
    rvrtfSaveBitmapDefault,
    rvrtfSaveEMFDefault,
    rvrtfSavePicturesBinary,
    rvrtfPNGInsteadOfBitmap,
    rvrtfSaveDocParameters,
};
using TRVRTFOptions = TSet<TRVRTFOption, std::uint16_t>;
/// The editor's own default, and the set of the main window.
inline constexpr TRVRTFOptions RTFDefaultOptions{rvrtfDuplicateUnicode, rvrtfSaveEMFAsWMF, rvrtfSaveJpegAsJpeg};
inline constexpr TRVRTFOptions RTFMainWindowOptions{rvrtfSaveEMFAsWMF, rvrtfSaveJpegAsJpeg, rvrtfSaveBitmapDefault,
                                                    rvrtfSaveDocParameters};

/// Where the host may add raw RTF.
enum TRVRTFSaveArea : std::uint8_t { rtfsaTextStyle, rtfsaParaStyle, rtfsaCell, rtfsaRow, rtfsaDocHeader };
/// Asked at each area for RTF to write there, unescaped (rtfCode comes in empty). obj is the text
/// or paragraph style, or the table; the indexes are as each area gives them.
using TRVSaveRTFExtraEvent = std::function<void(TRVRTFSaveArea area, const void* obj, int index1, int index2,
                                                bool inStyleSheet, std::string& rtfCode)>;

/// The fonts of one export: (name, charset) pairs, names compared without regard to case. The
/// index of an entry is its RTF font number.
class TRVRTFFontTable {
public:
    struct TItem {
        std::string FontName;
        std::uint8_t Charset = 0;
    };
    /// The number of an equal entry, or of a new one.
    int Add(const std::string& fontName, std::uint8_t charset);
    /// The number of an equal entry, -1 when there is none.
    [[nodiscard]] int Find(const std::string& fontName, std::uint8_t charset) const noexcept;
    [[nodiscard]] const std::vector<TItem>& Items() const noexcept { return Items_; }

private:
    std::vector<TItem> Items_;
};

/// Colours of one export, without duplicates; index 0 is the automatic colour. The index of a
/// colour is its RTF colour number.
class TRVRTFColorList {
public:
    /// Appends c unless it is clNone or present already.
    void Add(TColor c);
    /// The number of c (exact match), 0 when it is not in the list.
    [[nodiscard]] int IndexOf(TColor c) const noexcept;
    [[nodiscard]] const std::vector<TColor>& Items() const noexcept { return Items_; }

private:
    std::vector<TColor> Items_;
};

/// How to write: the options, the host's hook, and what the document does not hold itself.
struct TRVRTFWriteSettings {
    TRVRTFWriteSettings() = default;
    explicit TRVRTFWriteSettings(TRVRTFOptions options) : Options(options) {}

    TRVRTFOptions Options = RTFDefaultOptions;
    TRVSaveRTFExtraEvent OnSaveRTFExtra;
    /// The editor's background: a colour other than clWindow joins the colour table.
    TColor Background = clWindow;
    /// The page parameters written with rvrtfSaveDocParameters (null: the fixed A4 line).
    const TRVDocParameters* DocParameters = nullptr;
    /// Screen pixels per inch; 0 or less: 96.
    int PixelsPerInch = 96;
    /// The layout of the document written, where tables find their column geometry; null: each
    /// table is laid out for the export on Canvas (a test canvas when that is null too).
    const TRVContainerLayout* Layout = nullptr;
    TCanvas* Canvas = nullptr;
    /// The random numbers the list table names its lists and templates with (any value; the
    /// writer brings it into 0..2147483646 and draws again while a number is taken). Empty: a
    /// generator seeded by the system. Tests give a fixed sequence to get fixed bytes.
    std::function<std::uint32_t()> ListIdSource;
};

/// What the list table leaves for the body: the "\ls" numbers of the lists and of the markers
/// that start their numbering anew.
struct TRVRTFListNumbers {
    /// Per list style: 1 for the list itself, plus one per marker that starts anew at a numbered
    /// level.
    std::vector<int> OverrideCounts;
    /// Those markers, in document order.
    std::vector<const TRVMarkerItemInfo*> RestartingMarkers;
    /// Per list style: the "\ls" of the list itself, and the last one its markers used.
    std::vector<int> ListBaseIndex;
    std::vector<int> ListRunningIndex;
    /// The "\ls" of each restarting marker, given when the override table is written.
    std::map<const TRVMarkerItemInfo*, int> MarkerOverride;
    /// Identifiers drawn in this export, lists and templates alike: no number names two things.
    std::set<std::int32_t> UsedIds;
    /// The "\listid" of each list style.
    std::vector<std::int32_t> ListIds;
};

/// The state shared by the whole export, the containers inside tables included.
class TRVRTFWriteContext {
public:
    TRVRTFWriteContext(const TRVStyle& sheet, const TRVRTFWriteSettings& settings);

    const TRVStyle& Sheet;
    const TRVRTFWriteSettings& Settings;
    TRVRTFFontTable Fonts;
    /// The font number of each text style, in style order.
    std::vector<int> StyleFonts;
    TRVRTFColorList Colors;
    TRVRTFListNumbers Lists;
    double TwipsPerPixel = 15.0;
    /// How many note texts the body being written lies in (a note reference inside one is the
    /// note's number).
    int NoteDepth = 0;
    /// The layout of the container being written (a table cell's inside a table), null when
    /// there is none.
    const TRVContainerLayout* Layout = Settings.Layout;

    /// A length in screen pixels as twips, rounded to the nearest (ties to even).
    [[nodiscard]] int Twips(double pixels) const noexcept;
    [[nodiscard]] bool Has(TRVRTFOption option) const noexcept { return Settings.Options.Contains(option); }
    /// The host's RTF for an area (empty without a hook).
    [[nodiscard]] std::string Extra(TRVRTFSaveArea area, const void* obj, int index1, int index2,
                                    bool inStyleSheet) const;
};

/// The part of an item kind in RTF: the colours it uses, and its RTF.
class TRVRTFItemWriter {
public:
    virtual ~TRVRTFItemWriter() = default;
    virtual void CollectColors(const TCustomRVItemInfo& item, TRVRTFWriteContext& ctx) const {}
    /// The text style the item is shown in (labels, sequences), -1 for none. The body switches to
    /// that style before the item as it does before text.
    [[nodiscard]] virtual int TextStyleOf(const TCustomRVItemInfo& item) const { return -1; }
    /// Writes the item (text is its container entry: a name, a label's nothing) at nesting level.
    virtual void Write(const TCustomRVItemInfo& item, const std::string& text, std::string& out,
                       TRVRTFWriteContext& ctx, int level) const = 0;
};

/// Adds the colours of the container's non-text items (of tables: their cells' too).
void CollectRtfColors(const TCustomRVData& data, TRVRTFWriteContext& ctx);

/// Registers the RTF of a kind code (replacing an earlier one).
void RegisterRtfItemWriter(int styleNo, std::shared_ptr<const TRVRTFItemWriter> writer);
/// The writer of an item's kind, null for kinds that write nothing.
[[nodiscard]] const TRVRTFItemWriter* RtfItemWriterOf(const TCustomRVItemInfo& item);

/// A part of a container: from (FirstItem, FirstOffset) to (LastItem, LastOffset), offsets as
/// caret offsets (1-based characters in text, 0 and 1 around other items).
struct TRVRTFRange {
    int FirstItem = 0;
    int FirstOffset = -1; ///< -1: the whole first item
    int LastItem = -1;    ///< -1: to the end
    int LastOffset = -1;  ///< -1: the whole last item
};

/// Writes a complete RTF document of doc (or of range of it) to out. False when doc has no style
/// sheet. A range that stops inside a paragraph leaves out the closing "\par".
bool WriteRtfDocument(const TCustomRVData& doc, const TRVRTFWriteSettings& settings, std::string& out,
                      const TRVRTFRange& range = {});

/// Writes the selected part of a container (the document, or the table cell the selection lies
/// in) as a complete RTF document of its own. selection gives both ends with their offsets, in
/// either order. Nothing selected writes nothing and succeeds.
bool WriteRtfSelection(const TCustomRVData& container, const TRVRTFWriteSettings& settings, std::string& out,
                       TRVRTFRange selection);

/// The body of a container at a nesting level (0: the document, 1: a cell of a top-level table,
/// ...); at level 0 with the header and the closing "\par}" too.
void WriteRtfContainer(const TCustomRVData& data, std::string& out, TRVRTFWriteContext& ctx, int level,
                       const TRVRTFRange& range = {});

// --- Pieces other writers use ---------------------------------------------------------------------

/// Appends 8-bit text escaped: backslash and braces (unless raw), bytes outside 32..127 as \'hh;
/// in body text byte 149 as "\bullet " and 160 as "\~" when special is set.
void AppendRtfText(std::string& out, std::string_view text, bool special = true, bool raw = false);
/// A decimal number.
void AppendRtfInt(std::string& out, long long value);
/// Appends UTF-16 text: ASCII escaped as 8-bit text, the rest as "\u" keywords (or, with
/// special, the named keywords such as "\endash "); with duplicate each "\u" is followed by
/// the character in codePage. raw writes ASCII unescaped and uses no named keywords.
void AppendRtfUnicode(std::string& out, std::u16string_view text, int codePage, bool duplicate, bool special = true,
                      bool raw = false);
/// The language of a charset for "\deflang" and "\lang"; 0 for none.
[[nodiscard]] int RtfLanguageOfCharset(int charset) noexcept;

} // namespace xq
