// Plain text import and export.
#include "formats/text/TextFormat.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <map>
#include <mutex>
#include <type_traits>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "document/ItemText.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "lists/ListItems.h"
#include "platform/CodePage.h"
#include "platform/DocViewError.h"
#include "platform/FileIO.h"

namespace xq {

namespace fs = std::filesystem;

namespace {

/// Larger files are refused: no text block comes near this size.
constexpr std::size_t MaxTextFileSize = std::size_t(256) << 20;

/// Detection looks at the first two bytes and at this many after them.
constexpr std::size_t DetectWindow = 500;

void SetError(std::string* error, std::string message)
{
    if (error)
        *error = std::move(message);
}

// ---------------------------------------------------------------------------------------------
// Files

/// A POSIX file descriptor, closed on every path.
class TFileHandle {
public:
    explicit TFileHandle(int fd) noexcept : Fd_(fd) {}
    ~TFileHandle()
    {
        if (Fd_ >= 0)
            ::close(Fd_);
    }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;

    [[nodiscard]] int Get() const noexcept { return Fd_; }
    [[nodiscard]] bool Valid() const noexcept { return Fd_ >= 0; }

private:
    int Fd_;
};

/// Reads up to limit bytes into bytes, fewer at the end of the file; false on a read error.
[[nodiscard]] bool ReadHead(int fd, std::string& bytes, std::size_t limit)
{
    bytes.resize(limit);
    std::size_t used = 0;
    while (used < limit) {
        const ssize_t n = ::read(fd, bytes.data() + used, limit - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        used += std::size_t(n);
    }
    bytes.resize(used);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Detection

[[nodiscard]] TTextKind Classify(std::size_t size, std::string_view head) noexcept
{
    if (size == 0)
        return TTextKind::Empty;
    if (size % 2 != 0)
        return TTextKind::Text8;
    if (head.size() >= 2 && ((head[0] == '\xFF' && head[1] == '\xFE') || (head[0] == '\xFE' && head[1] == '\xFF')))
        return TTextKind::Unicode;
    const std::string_view window = head.substr(std::min<std::size_t>(2, head.size()), DetectWindow);
    return window.find('\0') != std::string_view::npos ? TTextKind::Unicode : TTextKind::Text8;
}

// ---------------------------------------------------------------------------------------------
// Reading

enum class TPending : std::uint8_t { None, Paragraph, Line };
enum class TLineEnd : std::uint8_t { Paragraph, Line, Page };

/// What the scanner saw inside a piece, so that clean pieces go in without a copy.
struct TPieceFlags {
    bool Zero = false;
    bool Tab = false;
};

/// Receives the pieces, tabs and line ends of a text and appends them to the container.
class TTextSink {
public:
    TTextSink(TCustomRVData& data, int styleNo, int paraNo, bool asSingleParagraph)
        : Data_(data), StyleNo_(styleNo), ParaNo_(paraNo), AsSingleParagraph_(asSingleParagraph)
    {
        const TRVStyle* sheet = data.GetRVStyle();
        TabItems_ = sheet && sheet->SpacesInTab < 1;
        SpacesInTab_ = sheet ? std::max(0, sheet->SpacesInTab) : 8;
        // Page breaks belong to the main document; cells and note texts do not paginate.
        PageBreaks_ = data.GetParentData() == nullptr && data.AllowNewParagraphs;
        Pending_ = paraNo >= 0 ? TPending::Paragraph : TPending::None;
    }

    [[nodiscard]] bool TabItems() const noexcept { return TabItems_; }

    void Piece(std::string_view piece, TPieceFlags flags)
    {
        if (piece.empty() && Pending_ == TPending::None)
            return;
        std::string fixed;
        if (flags.Zero) {
            fixed.assign(piece);
            std::replace(fixed.begin(), fixed.end(), '\0', '?');
            piece = fixed;
        }
        Add([&](int para) {
            if (flags.Tab)
                Data_.AppendTextExpandingTabs(piece, StyleNo_, para);
            else
                Data_.AppendText(piece, StyleNo_, para);
        });
    }

    void Piece(std::u16string_view piece, TPieceFlags flags)
    {
        if (piece.empty() && Pending_ == TPending::None)
            return;
        std::u16string fixed;
        if (flags.Zero || flags.Tab) {
            fixed.reserve(piece.size());
            for (char16_t c : piece) {
                if (c == u'\t')
                    fixed.append(std::size_t(SpacesInTab_), u' ');
                else
                    fixed.push_back(c == 0 ? u'?' : c);
            }
            piece = fixed;
        }
        Add([&](int para) { Data_.AppendTextW(piece, StyleNo_, para); });
    }

    void Tab()
    {
        Add([&](int para) {
            auto tab = std::make_unique<TRVTabItemInfo>();
            tab->TextStyleNo = StyleNo_ < 0 ? rvsDefStyle : StyleNo_;
            tab->ParaNo = para;
            Data_.AppendItem({}, std::move(tab));
        });
    }

    void LineEnd(TLineEnd end) noexcept
    {
        if (AsSingleParagraph_ || end == TLineEnd::Line) {
            Pending_ = TPending::Line;
            return;
        }
        Pending_ = TPending::Paragraph;
        PageBreak_ = end == TLineEnd::Page && PageBreaks_;
    }

private:
    /// The paragraph style of a new paragraph: paraNo, or with -1 that of the paragraph continued.
    [[nodiscard]] int ParaForNew() const
    {
        if (ParaNo_ >= 0)
            return ParaNo_;
        return Data_.Empty() ? 0 : Data_.ParaOf(Data_.Count() - 1);
    }

    [[nodiscard]] bool LastIsFullLine() const
    {
        return !Data_.Empty() && Data_.ItemAt(Data_.Count() - 1).IsFullLine();
    }

    /// Runs append(paraNo) for the next item and gives the item the start that is pending.
    template <class Fn>
    void Add(Fn&& append)
    {
        const TPending pending = std::exchange(Pending_, TPending::None);
        const bool pageBreak = std::exchange(PageBreak_, false);
        int para = -1;
        // A line cannot continue behind a full-line item; it starts a paragraph there.
        if (pending == TPending::Paragraph || (pending == TPending::Line && LastIsFullLine()))
            para = ParaForNew();
        append(para);
        TCustomRVItemInfo& added = Data_.ItemAt(Data_.Count() - 1);
        if (pending == TPending::Line && added.ContinuesPara())
            added.SetNewLine(true);
        if (pageBreak && added.StartsParagraph())
            added.SetNewPageBefore(true);
    }

    TCustomRVData& Data_;
    int StyleNo_;
    int ParaNo_;
    bool AsSingleParagraph_;
    bool TabItems_ = false;
    bool PageBreaks_ = false;
    int SpacesInTab_ = 8;
    TPending Pending_ = TPending::None;
    bool PageBreak_ = false;
};

/// Splits text into pieces at line ends (and tabs, when they become items) and feeds the sink.
/// CR LF and LF CR count as one line end. UTF-16 text also knows VT and U+2028 (line breaks) and
/// U+2029 (a paragraph end that never pairs).
template <class Char, class Sink>
void ScanText(std::basic_string_view<Char> text, Sink& sink)
{
    using Unit = std::make_unsigned_t<Char>;
    constexpr bool Utf16 = sizeof(Char) == 2;
    const bool tabItems = sink.TabItems();
    std::size_t start = 0;
    TPieceFlags flags;
    const auto flush = [&](std::size_t end) {
        sink.Piece(text.substr(start, end - start), flags);
        flags = {};
    };
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<std::uint32_t>(static_cast<Unit>(text[i]));
        if (c > 0x0D && c != 0x2028 && c != 0x2029)
            continue;
        TLineEnd end;
        switch (c) {
        case 0x00:
            flags.Zero = true;
            continue;
        case 0x09:
            if (!tabItems) {
                flags.Tab = true;
                continue;
            }
            // A tab item may start the paragraph itself; no empty text goes before it.
            if (i > start)
                flush(i);
            sink.Tab();
            start = i + 1;
            continue;
        case 0x0A:
        case 0x0D: {
            flush(i);
            const std::uint32_t partner = c == 0x0A ? 0x0D : 0x0A;
            if (i + 1 < n && static_cast<Unit>(text[i + 1]) == partner)
                ++i;
            end = TLineEnd::Paragraph;
            break;
        }
        case 0x0C:
            flush(i);
            end = TLineEnd::Page;
            break;
        case 0x0B:
            if (!Utf16)
                continue;
            flush(i);
            end = TLineEnd::Line;
            break;
        case 0x2028:
            flush(i);
            end = TLineEnd::Line;
            break;
        case 0x2029:
            flush(i);
            end = TLineEnd::Paragraph;
            break;
        default:
            continue;
        }
        sink.LineEnd(end);
        start = i + 1;
    }
    flush(n);
}

/// Takes what ScanText hands a sink and counts it: every piece and every tab is at most one item.
class TItemCounter {
public:
    explicit TItemCounter(bool tabItems) noexcept : TabItems_(tabItems) {}

    [[nodiscard]] bool TabItems() const noexcept { return TabItems_; }
    template <class View>
    void Piece(View, TPieceFlags) noexcept
    {
        ++Items;
    }
    void Tab() noexcept { ++Items; }
    void LineEnd(TLineEnd) noexcept {}

    std::int64_t Items = 0;

private:
    bool TabItems_;
};

/// At least as many items as ScanText adds for text, counted by the same scan before anything
/// is allocated: one per piece and per tab item, and the empty text item that the first one may
/// need after a list marker.
template <class Char>
std::int64_t ItemCountBound(std::basic_string_view<Char> text, bool tabItems) noexcept
{
    TItemCounter counter(tabItems);
    ScanText(text, counter);
    return counter.Items + 1;
}

/// Refuses text that would make data larger than a document may be, and makes room for it.
template <class Char>
bool MakeRoom(TCustomRVData& data, std::basic_string_view<Char> text, const TTextSink& sink, std::string* error)
{
    const std::int64_t items = data.Count() + ItemCountBound(text, sink.TabItems());
    if (items > MaxDocumentItems) {
        SetError(error, errTextTooLarge);
        return false;
    }
    data.ReserveItems(items);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Writing

/// Text forms registered by item kinds.
class TExportForms {
public:
    void Set(int kindCode, TTextExportForm form)
    {
        std::lock_guard lock(Mutex_);
        if (form)
            Forms_[kindCode] = std::move(form);
        else
            Forms_.erase(kindCode);
    }

    /// A copy, so that a form may export sub-documents (and look up forms) while it runs.
    [[nodiscard]] TTextExportForm Find(int kindCode) const
    {
        std::lock_guard lock(Mutex_);
        const auto found = Forms_.find(kindCode);
        return found == Forms_.end() ? TTextExportForm{} : found->second;
    }

private:
    mutable std::mutex Mutex_;
    std::map<int, TTextExportForm> Forms_;
};

[[nodiscard]] TExportForms& ExportForms()
{
    static TExportForms forms;
    return forms;
}

/// Marker text of a Symbol font in characters any font shows: the bullets become '*', the
/// arrows are drawn with '<', '-', '=' and '>'.
[[nodiscard]] std::string SymbolMarkerText(std::string_view text)
{
    std::string plain;
    plain.reserve(text.size());
    for (const char ch : text) {
        switch (static_cast<unsigned char>(ch)) {
        case 0xA7:
        case 0xA8:
        case 0xA9:
        case 0xAA:
        case 0xB7:
        case 0xD7:
        case 0xE0: plain += '*'; break;
        case 0xDB: plain += "<=>"; break;
        case 0xDC: plain += "<="; break;
        case 0xDE: plain += "=>"; break;
        case 0xAB: plain += "<->"; break;
        case 0xAC: plain += "<-"; break;
        case 0xAE: plain += "->"; break;
        default: plain += ch; break;
        }
    }
    return plain;
}

/// Writes items of one container in the output's encoding.
class TTextWriter {
public:
    TTextWriter(const TCustomRVData& data, std::string& out, int lineWidth, bool unicode)
        : Data_(data), Sheet_(data.GetRVStyle()), Out_(out), LineWidth_(lineWidth), Unicode_(unicode)
    {
    }

    void LineEnd()
    {
        Ascii('\r');
        Ascii('\n');
    }

    /// Characters [from, to) of text item index.
    void TextItem(int index, std::size_t from, std::size_t to)
    {
        const TRVItemText text = TRVItemText::Of(Data_, index);
        const auto unit = std::size_t(text.CharSize());
        const std::string_view bytes = text.Bytes().substr(unit * from, unit * (to - from));
        if (text.Unicode())
            Utf16Text(bytes);
        else
            Text8(bytes, CodePageOfStyle(Data_.ActualStyleOf(index)));
    }

    /// The text form of a non-text item.
    [[nodiscard]] bool NonTextItem(int index)
    {
        const TCustomRVItemInfo& item = Data_.ItemAt(index);
        if (const TTextExportForm form = ExportForms().Find(item.StyleNo))
            return form(Data_, index, LineWidth_, Unicode_, Out_);
        if (const auto* line = dynamic_cast<const TRVBreakItemInfo*>(&item))
            Ascii(line->Width < 2 ? '-' : '=', std::size_t(std::max(1, LineWidth_)));
        else if (item.StyleNo == rvsTab)
            Ascii('\t');
        else if (const auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&item))
            Marker(*marker);
        else if (const auto* label = dynamic_cast<const TRVLabelItemInfo*>(&item))
            Text8(label->Text, CodePageOfStyle(label->TextStyleNo));
        // Pictures, image-list bullets, hotspots and controls have no text.
        return true;
    }

private:
    [[nodiscard]] int DefCodePage() const noexcept { return Sheet_ ? Sheet_->DefCodePage : 0; }
    [[nodiscard]] int CodePageOfStyle(int textStyleNo) const
    {
        return Sheet_ ? Sheet_->CodePageOfStyle(textStyleNo) : 0;
    }

    void Ascii(char c, std::size_t count = 1)
    {
        if (!Unicode_) {
            Out_.append(count, c);
            return;
        }
        Out_.reserve(Out_.size() + 2 * count);
        for (std::size_t k = 0; k < count; ++k) {
            Out_ += c;
            Out_ += '\0';
        }
    }

    /// 8-bit text in codePage.
    void Text8(std::string_view bytes, int codePage)
    {
        if (Unicode_)
            Out_ += AnsiToUnicodeBytes(bytes, codePage);
        else
            Out_ += bytes;
    }

    /// UTF-16LE text; 8-bit output takes the sheet's default code page.
    void Utf16Text(std::string_view utf16le)
    {
        if (Unicode_)
            Out_ += utf16le;
        else
            Out_ += UnicodeBytesToAnsi(utf16le, DefCodePage());
    }

    void Marker(const TRVMarkerItemInfo& marker)
    {
        if (!Sheet_ || !Sheet_->ListStyles.IsValidIndex(marker.ListNo))
            return; // a marker without a list shows nothing
        const TRVListInfo& list = Sheet_->ListStyles[marker.ListNo];
        if (list.Levels.Count() == 0)
            return;
        const TRVListLevel& level = list.Levels[std::clamp(marker.Level, 0, list.Levels.Count() - 1)];
        switch (level.ListType) {
        case rvlstPicture:
        case rvlstImageList:
        case rvlstImageListCounter:
            Ascii('*');
            break;
        case rvlstUnicodeBullet:
            UnicodeBullet(level.FormatStringW);
            break;
        default: {
            const TFontDescription& font = level.EffectiveFont();
            const int codePage = CodePageOfCharset(font.Charset, DefCodePage());
            if (SameFontName(font.Name, "Symbol"))
                Text8(SymbolMarkerText(marker.DisplayText), codePage);
            else
                Text8(marker.DisplayText, codePage);
            break;
        }
        }
        Ascii(' ');
    }

    /// A Unicode bullet; in 8-bit output a character the code page lacks is written as '*'
    /// rather than as the '?' of the conversion.
    void UnicodeBullet(std::u16string_view text)
    {
        if (Unicode_) {
            Out_ += BytesFromUtf16(text);
            return;
        }
        const int codePage = DefCodePage();
        for (std::size_t i = 0; i < text.size();) {
            const std::size_t length =
                IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]) ? 2 : 1;
            const std::u16string_view ch = text.substr(i, length);
            const std::string bytes = UnicodeToAnsi(ch, codePage);
            Out_ += bytes == "?" && ch != u"?" ? std::string("*") : bytes;
            i += length;
        }
    }

    const TCustomRVData& Data_;
    const TRVStyle* Sheet_;
    std::string& Out_;
    int LineWidth_;
    bool Unicode_;
};

/// Writes items first..last without a byte order mark; the caller has checked the range.
[[nodiscard]] bool WriteRange(const TCustomRVData& data, std::string& out, int lineWidth, bool unicode, int first,
                              int firstOffset, int last, int lastOffset)
{
    TTextWriter writer(data, out, lineWidth, unicode);

    // The marker of the first paragraph comes first, also when the selection starts behind it.
    int paraStart = first;
    while (paraStart > 0 && !data.StartsParagraph(paraStart))
        --paraStart;
    const int marker = data.ItemAt(paraStart).IsListMarker() ? paraStart : -1;
    if (marker >= 0 && !writer.NonTextItem(marker))
        return false;

    for (int i = first; i <= last; ++i) {
        if (i > first && data.StartsLine(i))
            writer.LineEnd();
        if (i == marker)
            continue;
        const TCustomRVItemInfo& item = data.ItemAt(i);
        if (item.IsText()) {
            const auto length = std::size_t(data.ItemLength(i));
            const auto clampOffset = [length](int offset) {
                return std::clamp<std::size_t>(std::size_t(std::max(offset, 1)) - 1, 0, length);
            };
            const std::size_t from = i == first ? clampOffset(firstOffset) : 0;
            const std::size_t to = i == last ? clampOffset(lastOffset) : length;
            if (from < to)
                writer.TextItem(i, from, to);
        } else {
            const bool startsBehind = i == first && firstOffset >= 1;
            const bool endsBefore = i == last && lastOffset <= 0;
            if (!startsBehind && !endsBefore && !writer.NonTextItem(i))
                return false;
        }
    }
    return true;
}

/// Runs a writing step, undoing its partial output when it fails.
template <class Fn>
[[nodiscard]] bool Transactional(std::string& out, Fn&& write)
{
    const std::size_t mark = out.size();
    bool ok = false;
    try {
        ok = write();
    } catch (const EDocViewError&) {
        ok = false;
    }
    if (!ok)
        out.resize(mark);
    return ok;
}

void AppendByteOrderMark(std::string& out)
{
    out += "\xFF\xFE";
}

} // namespace

// ---------------------------------------------------------------------------------------------

TTextKind DetectTextKindOfBytes(std::string_view bytes) noexcept
{
    return Classify(bytes.size(), bytes.substr(0, 2 + DetectWindow));
}

TTextKind DetectTextKind(const fs::path& path) noexcept
{
    try {
        // O_NONBLOCK: a pipe without a writer must not make us wait; it is refused below.
        TFileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
        struct stat info {};
        if (!file.Valid() || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode))
            return TTextKind::Error;
        // The size tells the parity; only the head is read.
        std::string head;
        if (!ReadHead(file.Get(), head, 2 + DetectWindow))
            return TTextKind::Error;
        return Classify(std::size_t(info.st_size), head);
    } catch (...) {
        return TTextKind::Error;
    }
}

bool ImportText8(TCustomRVData& data, std::string_view bytes, int styleNo, int paraNo, bool asSingleParagraph,
                 std::string* error)
{
    if (bytes.empty())
        return true;
    try {
        TTextSink sink(data, styleNo, paraNo, asSingleParagraph);
        if (!MakeRoom(data, bytes, sink, error))
            return false;
        ScanText(bytes, sink);
        return true;
    } catch (const EDocViewError& e) {
        SetError(error, e.what());
        return false;
    }
}

bool ImportTextUtf16(TCustomRVData& data, std::string_view bytes, int styleNo, int paraNo, bool asSingleParagraph,
                     std::string* error)
{
    if (bytes.size() % 2 != 0) {
        SetError(error, errUnicodeOperation);
        return false;
    }
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t k = 0; k < units.size(); ++k)
        units[k] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * k]) |
                                         static_cast<unsigned char>(bytes[2 * k + 1]) << 8);
    std::u16string_view text = units;
    if (!text.empty() && text.front() == 0xFEFF) {
        text.remove_prefix(1);
    } else if (!text.empty() && text.front() == 0xFFFE) {
        // Big-endian text read the wrong way round.
        for (char16_t& u : units)
            u = static_cast<char16_t>((u >> 8) | (u << 8));
        text.remove_prefix(1);
    }
    if (text.empty())
        return true;
    try {
        TTextSink sink(data, styleNo, paraNo, asSingleParagraph);
        if (!MakeRoom(data, text, sink, error))
            return false;
        ScanText(text, sink);
        return true;
    } catch (const EDocViewError& e) {
        SetError(error, e.what());
        return false;
    }
}

bool ImportText8File(TCustomRVData& data, const fs::path& path, int styleNo, int paraNo, bool asSingleParagraph,
                     std::string* error)
{
    std::string bytes;
    return ReadFileBytes(path, bytes, MaxTextFileSize, error) && ImportText8(data, bytes, styleNo, paraNo, asSingleParagraph, error);
}

bool ImportTextUtf16File(TCustomRVData& data, const fs::path& path, int styleNo, int paraNo, bool asSingleParagraph,
                         std::string* error)
{
    std::string bytes;
    return ReadFileBytes(path, bytes, MaxTextFileSize, error) &&
           ImportTextUtf16(data, bytes, styleNo, paraNo, asSingleParagraph, error);
}

bool ExportTextBody(const TCustomRVData& data, std::string& out, int lineWidth, bool unicode)
{
    if (data.Empty())
        return true;
    return Transactional(out, [&] {
        return WriteRange(data, out, lineWidth, unicode, 0, data.OffsetBefore(0), data.Count() - 1,
                          data.OffsetAfter(data.Count() - 1));
    });
}

bool ExportText(const TCustomRVData& data, std::string& out, int lineWidth, bool unicode)
{
    return Transactional(out, [&] {
        if (unicode)
            AppendByteOrderMark(out);
        return ExportTextBody(data, out, lineWidth, unicode);
    });
}

bool ExportTextRange(const TCustomRVData& data, std::string& out, int lineWidth, bool unicode, int firstItem,
                     int firstOffset, int lastItem, int lastOffset)
{
    if (firstItem < 0 || lastItem >= data.Count() || firstItem > lastItem)
        return false;
    return Transactional(out, [&] {
        if (unicode)
            AppendByteOrderMark(out);
        return WriteRange(data, out, lineWidth, unicode, firstItem, firstOffset, lastItem, lastOffset);
    });
}

bool ExportTextFile(const TCustomRVData& data, const fs::path& path, int lineWidth, bool unicode)
{
    std::string out;
    return ExportText(data, out, lineWidth, unicode) && WriteFileAtomically(path, out);
}

bool ExportTextRangeFile(const TCustomRVData& data, const fs::path& path, int lineWidth, bool unicode,
                         int firstItem, int firstOffset, int lastItem, int lastOffset)
{
    std::string out;
    return ExportTextRange(data, out, lineWidth, unicode, firstItem, firstOffset, lastItem, lastOffset) &&
           WriteFileAtomically(path, out);
}

void RegisterTextExportForm(int kindCode, TTextExportForm form)
{
    ExportForms().Set(kindCode, std::move(form));
}

} // namespace xq
