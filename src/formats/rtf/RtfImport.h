// RTF into the document: the settings an editor reads RTF with (TRVRTFReaderProperties), and
// the import that turns the reader's events into items, styles, list markers, pictures, notes,
// sequences, checkpoints, page breaks and page parameters. Tables are built by an importer that
// the tables module registers; it works through the import's public operations.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "formats/rtf/RtfImportStyles.h"
#include "formats/rtf/RtfReader.h"

namespace xq {

class TCustomRVData;
class TCustomRVItemInfo;
class TRVDocParameters;
class TRVMarkerItemInfo;
class TRVStyle;
class TRVRTFImport;

/// Which text becomes UTF-16 items: as the RTF gives it, none, or all.
enum TRVReaderUnicode : std::uint8_t { rvruMixed, rvruNoUnicode, rvruOnlyUnicode };
/// How "highlight" colours are read.
enum TRVRTFHighlight : std::uint8_t { rtfhlIgnore, rtfhlFixedColors, rtfhlColorTable };

/// Called for every hyperlink read: sets the item's tag (and may change its style). Without a
/// handler the target itself becomes the tag, so links keep where they lead.
using TRVReadHyperlinkEvent = std::function<void(const std::string& target, const std::string& extras,
                                                 int& styleNo, std::string& itemTag)>;

/// The settings an editor reads RTF with.
class TRVRTFReaderProperties {
public:
    TRVReaderUnicode UnicodeMode = rvruNoUnicode;
    TRVReaderStyleMode TextStyleMode = rvrsUseClosest;
    TRVReaderStyleMode ParaStyleMode = rvrsUseClosest;
    bool IgnorePictures = false;
    bool IgnoreTables = false;
    bool IgnoreBookmarks = false;
    bool IgnoreNotes = false;
    bool IgnoreSequences = false;
    bool UseHypertextStyles = false;
    bool SkipHiddenText = true;
    bool AutoHideTableGridLines = false;
    bool LineBreaksAsParagraphs = false;
    bool ReadDocParameters = false;
    bool UseSingleCellPadding = false;
    bool ExtractMetafileBitmaps = true;
    TRVRTFHighlight ConvertHighlight = rtfhlColorTable;
    bool StoreImagesFileNames = false;
    bool BasePathLinks = true;

    /// The style of rvrsUseSpecified; negative values fail with "Value must not be negative".
    [[nodiscard]] int TextStyleNo() const noexcept { return TextStyleNo_; }
    [[nodiscard]] int ParaStyleNo() const noexcept { return ParaStyleNo_; }
    void SetTextStyleNo(int value);
    void SetParaStyleNo(int value);

    /// Copies the settings an in-place editor takes over (not IgnoreBookmarks, ReadDocParameters,
    /// the table and picture-name settings).
    void Assign(const TRVRTFReaderProperties& source);

    /// The directory relative picture files and link targets are taken from, for one import.
    std::string BasePath;
    /// Pixels per inch of the unit scale (twips to pixels).
    int PixelsPerInch = 96;
    TRVReadHyperlinkEvent OnReadHyperlink;

    /// Appends the RTF file to container; page parameters go to docParameters (when given and
    /// ReadDocParameters is set). The reader's code: 0 on success.
    int ReadRtfIntoDocument(const std::filesystem::path& fileName, TCustomRVData& container,
                            TRVDocParameters* docParameters = nullptr);
    /// The same for RTF in memory.
    int ReadRtfStreamIntoDocument(std::string_view stream, TCustomRVData& container,
                                  TRVDocParameters* docParameters = nullptr);
    /// Inserts the RTF before item index of container; index becomes the position of the first
    /// inserted item, or -1 when nothing was inserted. An empty stream inserts nothing and succeeds.
    int InsertRtfStream(std::string_view stream, TCustomRVData& container, int& index);
    /// The last read stopped because the document reached MaxDocumentItems items.
    [[nodiscard]] bool LastReadTooLarge() const noexcept { return TooLarge_; }

private:
    int Run(TRVRTFImport& import, const std::function<int(TRVRTFReader&)>& read);

    int TextStyleNo_ = 0;
    int ParaStyleNo_ = 0;
    bool TooLarge_ = false;
};

/// The main window's editor reads mixed text, adds the styles it needs and takes the page
/// parameters of files it opens.
void SetMainWindowRtfReadProperties(TRVRTFReaderProperties& properties);

/// Builds the tables of one import from the reader's table events.
class TRVRTFTableImporter {
public:
    virtual ~TRVRTFTableImporter() = default;
    /// One table event; processed comes in True.
    virtual void Table(TRVRTFTableEventKind whatHappens, bool& processed) = 0;
};
using TRVRTFTableImporterFactory = std::function<std::unique_ptr<TRVRTFTableImporter>(TRVRTFImport& import)>;
/// The tables module registers the importer; without one, table structure is ignored.
void RegisterRtfTableImporter(TRVRTFTableImporterFactory factory);

/// The state of one import and the operations the table importer builds on.
class TRVRTFImport {
public:
    /// Appends what it reads to target.
    TRVRTFImport(TRVRTFReaderProperties& settings, TCustomRVData& target);
    ~TRVRTFImport();
    TRVRTFImport(const TRVRTFImport&) = delete;
    TRVRTFImport& operator=(const TRVRTFImport&) = delete;

    /// Connects the reader's events by the settings.
    void Connect(TRVRTFReader& reader);
    /// After reading: the markers once more.
    void Finish();

    [[nodiscard]] const TRVRTFReaderProperties& Settings() const noexcept { return Settings_; }
    [[nodiscard]] TRVRTFReader& Reader() const noexcept { return *Reader_; }
    [[nodiscard]] TRVStyle& Sheet() const noexcept { return *Sheet_; }
    [[nodiscard]] const TRVRTFUnits& Units() const noexcept { return Choice_.Units; }
    [[nodiscard]] TCustomRVData& Target() const noexcept { return Target_; }
    [[nodiscard]] TCustomRVData& Current() const noexcept { return *Current_; }
    void SetCurrent(TCustomRVData& container) noexcept { Current_ = &container; }

    /// The page parameters of the document read (when wanted).
    TRVDocParameters* DocParameters = nullptr;
    /// The index of the first item inserted into the target, -1 while none is.
    [[nodiscard]] int FirstInserted() const noexcept { return FirstInserted_; }
    [[nodiscard]] int InsertedCount() const noexcept { return InsertedCount_; }
    /// The import stopped because the document reached MaxDocumentItems items.
    [[nodiscard]] bool TooLarge() const noexcept { return TooLarge_; }

    /// An empty text item with the given position in the current container (an empty paragraph
    /// or an empty cell).
    void AddEmptyRun(TRVRTFPosition position);
    /// Inserts an item as a new paragraph (tables); false when the target refused it.
    bool InsertItem(std::unique_ptr<TCustomRVItemInfo> item, std::string text, TRVRTFPosition position);
    /// Applies the list properties of the paragraph just read.
    void UpdateMarkers();
    /// Style 0 without indents, in the given alignment (see BasicRtfParaStyle; cached for left).
    [[nodiscard]] int BasicParaStyle(TRVAlignment alignment);
    /// The text style of the empty paragraph of an empty cell.
    [[nodiscard]] int EmptyCellTextStyle() const noexcept;

    /// A page break waits for the next item of a container.
    [[nodiscard]] bool PageBreakPendingFor(const TCustomRVData& container) const noexcept
    {
        return PageBreakPending_ && PageBreakContainer_ == &container;
    }
    void SetPageBreakPending(TCustomRVData* container) noexcept
    {
        PageBreakPending_ = container != nullptr;
        PageBreakContainer_ = container;
    }
    /// Items moved out of a table that never completed a row keep their paragraphs as they are.
    bool MovingCellContent = false;

private:
    struct TListLevelAdjust {
        bool Indents = false;
        bool Font = false;
    };

    /// The styles chosen for the last few distinct requests. Runs of a
    /// document repeat a handful of formats, and the choice scans the whole sheet. During one
    /// import the sheet's styles only grow at the end and the ones there never change, so an
    /// earlier choice stays right: an exact match stays the first match, and the closest-match
    /// mode adds no styles.
    template <class TRequest>
    class TStyleCache {
    public:
        [[nodiscard]] int Find(const TRequest& request)
        {
            if (Last_ < Entries_.size() && Entries_[Last_].Request == request)
                return Entries_[Last_].StyleNo;
            for (std::size_t i = 0; i < Entries_.size(); ++i)
                if (Entries_[i].Request == request) {
                    Last_ = i;
                    return Entries_[i].StyleNo;
                }
            return -1;
        }
        void Remember(TRequest request, int styleNo)
        {
            // Full: the oldest entry goes.
            if (Entries_.size() < Capacity) {
                Last_ = Entries_.size();
                Entries_.push_back(TEntry{std::move(request), styleNo});
            } else {
                Last_ = Next_;
                Entries_[Next_] = TEntry{std::move(request), styleNo};
                Next_ = (Next_ + 1) % Capacity;
            }
        }

    private:
        static constexpr std::size_t Capacity = 32;
        struct TEntry {
            TRequest Request;
            int StyleNo;
        };
        std::vector<TEntry> Entries_;
        std::size_t Last_ = 0; ///< the entry found or added last
        std::size_t Next_ = 0; ///< the entry replaced next when full
    };

    // Reader events.
    void NewText(std::string_view text, TRVRTFPosition position);
    void NewUnicodeText(std::u16string_view text, TRVRTFPosition position);
    void NewPicture(TRVRTFPicture& picture, std::unique_ptr<TGraphic>& graphic, TRVRTFPosition position,
                    const std::string& fileName, bool& inserted);
    void ImportPicture(const std::string& location, std::unique_ptr<TGraphic>& graphic, bool& invalid);
    void Note(TRVRTFNoteEventType what, TRVRTFPosition position);
    void NewSeq(TRVRTFPosition position, const std::string& seqName, TRVSeqType numberingType, bool reset,
                int startFrom);
    void EndParsing();

    // Text.
    void AddText(std::string bytes, std::u16string wide, bool isWide, TRVRTFPosition position);
    [[nodiscard]] TRVRTFTextRequest TextRequest(bool unicode, bool isProtected) const;
    [[nodiscard]] int TextStyleFor(bool unicode, bool isProtected);
    [[nodiscard]] int ParaStyleFor(TRVRTFPosition position);
    [[nodiscard]] TRVRTFPosition Adjusted(TRVRTFPosition position);
    [[nodiscard]] std::uint8_t CurrentCharset() const;
    [[nodiscard]] std::uint8_t CharsetOf(const std::string& fontName) const;
    [[nodiscard]] std::string CurrentFontName() const;

    // Hyperlinks.
    [[nodiscard]] bool InHyperlink() const;
    void ApplyHyperlink(TCustomRVItemInfo& item, int& styleNo);

    // Insertion.
    bool Insert(std::unique_ptr<TCustomRVItemInfo> item, std::string text, TRVRTFPosition position);
    bool Place(std::unique_ptr<TCustomRVItemInfo> item, std::string text);

    // Lists.
    [[nodiscard]] bool ListParagraph() const;
    bool InsertMarker(int paraNo);
    void BuildListMap();
    [[nodiscard]] int LegacyListStyle(int level);
    void AdjustListLevel(TRVMarkerItemInfo& marker);
    /// The list table level of the current paragraph's list override, null without one.
    [[nodiscard]] const TRVRTFListLevel97* RtfListLevelOf(int levelNo) const;

    // Notes.
    void InsertNoteReference(TRVRTFPosition position);

    TRVRTFReaderProperties& Settings_;
    TCustomRVData& Target_;
    TCustomRVData* Current_;
    TRVStyle* Sheet_;
    TRVRTFReader* Reader_ = nullptr;
    TRVRTFStyleChoice Choice_;
    TRVRTFStyleChoice ParaChoice_;
    TRVRTFStyleIndex StyleIndex_;
    TStyleCache<TRVRTFTextRequest> TextStyleCache_;
    TStyleCache<TRVRTFParaRequest> ParaStyleCache_;
    std::unique_ptr<TRVRTFTableImporter> Tables_;

    int InsertedCount_ = 0;
    int FirstInserted_ = -1;
    bool TooLarge_ = false;
    /// The boundary of a dropped run (hidden text) carried to the next content.
    TRVRTFPosition CarriedPosition_ = rtf_ts_ContinuePara;

    bool PageBreakPending_ = false;
    TCustomRVData* PageBreakContainer_ = nullptr;
    std::string PendingBookmark_;

    // Notes: the container to return to, and the reference item's place.
    struct TSavedContainer {
        TCustomRVData* Container;
    };
    std::vector<TSavedContainer> SavedContainers_;
    std::vector<std::unique_ptr<TCustomRVItemInfo>> RetiredItems_;
    TCustomRVData* NoteReferenceContainer_ = nullptr;
    int NoteReferenceIndex_ = -1;
    TCustomRVData* NoteItemContainer_ = nullptr;
    int NoteItemIndex_ = -1;

    // Lists.
    std::array<int, 11> LegacyCache_{};
    bool ListMapBuilt_ = false;
    std::vector<int> ListMap_; ///< RTF list index -> list style
    int ListStylesBefore_ = 0;
    std::map<std::pair<int, int>, TListLevelAdjust> LevelAdjusted_; ///< (list style, level)
    TCustomRVData* LastMarkerContainer_ = nullptr;
    int LastMarkerIndex_ = -1;
    /// The legacy level of the last marker (its list is chosen at the marker update), 0 for
    /// list table markers.
    int PendingLegacyLevel_ = 0;
    int BasicLeftStyle_ = -1;
};

} // namespace xq
