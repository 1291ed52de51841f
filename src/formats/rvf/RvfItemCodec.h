// How each kind of non-text item is stored in an RVF record: its header fields after the tag,
// its SaveType and its data lines. Kinds register a codec; tables add theirs at start-up.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/ItemInfo.h"
#include "document/RVData.h"
#include "document/StyleMerge.h"
#include "formats/rvf/RvfLines.h"
#include "formats/rvf/RvfTypes.h"

namespace xq {

class TCustomRVData;
class TRVStyle;

/// Everything a record writer needs to know about the stream being written.
struct TRVFWriteContext {
    const TRVStyle& Sheet;
    TRVFOptions Options;
    /// Writes a sub-document (note text, table cell) as a stream of its own.
    std::function<bool(const TCustomRVData&, std::string&)> WriteSubDocument;

    [[nodiscard]] bool Binary() const noexcept { return Options.Contains(rvfoSaveBinary); }
};

/// A data line of a record being written.
struct TRVFOutLine {
    enum TKind : std::uint8_t {
        Text, ///< bytes and CR LF
        Data, ///< binary data: a block in binary streams, a hex line in text streams
    };
    TKind Kind = Text;
    std::string Bytes;
};

/// A record being written: the fields after the tag, the SaveType and the data lines.
struct TRVFRecordOut {
    std::string HeaderTail; ///< each field preceded by a space
    int SaveType = 0;
    std::vector<TRVFOutLine> Lines;

    void AddText(std::string bytes) { Lines.push_back({TRVFOutLine::Text, std::move(bytes)}); }
    void AddData(std::string bytes) { Lines.push_back({TRVFOutLine::Data, std::move(bytes)}); }
    void AddField(std::int64_t value);
};

/// A data line of a record being read: its bytes as they stand in the stream.
struct TRVFInLine {
    std::string_view Bytes;
    bool Binary = false;

    /// The binary content: the block itself, or the decoded hex line.
    [[nodiscard]] bool DecodeData(std::string& out) const;
};

/// The state of one read shared by all records: sheet, options, maps and warnings.
struct TRVFReadContext {
    TRVStyle& Sheet;
    TRVFOptions Options;
    TRVFWarnings Warnings;
    /// Maps from the stream's style numbers to the sheet's, once style records were merged.
    std::optional<TRVIndexMap> TextMap, ParaMap, ListMap;
    /// Reads a sub-document stream into a container with this same context.
    std::function<bool(TCustomRVData&, std::string_view)> ReadSubDocument;
    /// Items read so far, in all containers of the read; beyond ItemLimit the read fails with
    /// TooLarge.
    std::int64_t ItemsRead = 0;
    std::int64_t ItemLimit = MaxDocumentItems;
    bool TooLarge = false;

    /// A text style number of the stream as a sheet number; false when the read must fail.
    bool MapTextStyle(std::int32_t& styleNo);
    bool MapParaStyle(std::int32_t& paraNo);
    /// A list number of the stream as a sheet number (never fatal).
    void MapListStyle(std::int32_t& listNo);
};

/// What became of a non-text record.
enum class TRVFItemRead { Keep, Drop, Fail };

class TRVFItemCodec {
public:
    virtual ~TRVFItemCodec() = default;

    virtual void Write(const TCustomRVData& owner, int index, TRVFWriteContext& ctx, TRVFRecordOut& record) const = 0;
    /// Parses the header fields after the tag; false fails the read.
    virtual bool ReadHeaderTail(TCustomRVItemInfo& item, TRVFHeaderParser& tail, TRVFReadContext& ctx) const
    {
        return true;
    }
    /// Whether data line `line` of a record is a binary block (in a binary stream, SaveType 2).
    [[nodiscard]] virtual bool IsBinaryLine(int line, int lineCount, int saveType) const { return false; }
    /// Takes the record's data lines; name receives the item's name.
    virtual TRVFItemRead ReadData(TCustomRVItemInfo& item, std::string& name, std::span<const TRVFInLine> lines,
                                  int saveType, TRVFReadContext& ctx) const = 0;
};

/// Registers the codec of a kind code (replacing an earlier one).
void RegisterRvfItemCodec(int styleNo, std::shared_ptr<const TRVFItemCodec> codec);
[[nodiscard]] const TRVFItemCodec* FindRvfItemCodec(int styleNo);

// Extra-property lines shared by the codecs.

/// Appends the name=value lines of an item's properties that differ from their defaults, in
/// the stored order.
void WriteExtraProperties(const TCustomRVItemInfo& item, TRVFRecordOut& record);
/// Assigns one name=value line; unknown names and bad values are ignored.
void ApplyExtraPropertyLine(TCustomRVItemInfo& item, std::string_view line);


} // namespace xq
