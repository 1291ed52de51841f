// Copy, cut and paste: the selection written in the clipboard's formats, and the richest format
// on the clipboard inserted at the caret.
#include <cstring>
#include <fstream>
#include <iterator>

#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "editing/EditStep.h"
#include "editing/TableEditing.h"
#include "editing/TableInplaceEdit.h"
#include "formats/rtf/RtfWriter.h"
#include "formats/rvf/RvfReader.h"
#include "formats/rvf/RvfWriter.h"
#include "formats/text/TextFormat.h"
#include "pictures/PictureFile.h"
#include "pictures/PictureKinds.h"
#include "platform/CodePage.h"
#include "tables/TableItem.h"

namespace xq {

namespace {

/// No clipboard format is read beyond this size: larger data is refused, not allocated.
constexpr std::size_t MaxClipboardBytes = std::size_t(256) << 20;
/// Line width of horizontal lines in copied text.
constexpr int CopiedTextLineWidth = 80;

const TCustomDocViewEdit& Outermost(const TCustomDocViewEdit& edit)
{
    const TCustomDocViewEdit* e = &edit;
    while (e->OuterEditor())
        e = e->OuterEditor();
    return *e;
}

std::string DocViewBytes(const std::string& rvf)
{
    const auto n = static_cast<std::uint32_t>(rvf.size());
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[std::size_t(i)] = char((n >> (8 * i)) & 0xFF);
    return out + rvf;
}

/// The RVF inside DocView bytes; nothing when the declared count does not fit the data.
std::optional<std::string_view> RvfOfDocView(std::string_view bytes)
{
    if (bytes.size() < 4)
        return std::nullopt;
    std::uint32_t n = 0;
    for (int i = 3; i >= 0; --i)
        n = (n << 8) | std::uint8_t(bytes[std::size_t(i)]);
    if (n > bytes.size() - 4)
        return std::nullopt;
    return bytes.substr(4, n);
}

/// UTF-16LE text (with or without a byte order mark) as UTF-8.
std::string Utf16LeBytesToUtf8(std::string_view bytes)
{
    std::size_t start = 0;
    if (bytes.size() >= 2 && std::uint8_t(bytes[0]) == 0xFF && std::uint8_t(bytes[1]) == 0xFE)
        start = 2;
    std::u16string text;
    text.reserve((bytes.size() - start) / 2);
    for (std::size_t i = start; i + 1 < bytes.size(); i += 2)
        text.push_back(char16_t(std::uint8_t(bytes[i]) | (std::uint8_t(bytes[i + 1]) << 8)));
    return Utf16ToUtf8(text);
}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > MaxClipboardBytes || !std::filesystem::is_regular_file(path, ec))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return bytes;
}

std::string LowerExtension(const std::filesystem::path& path)
{
    std::string ext = path.extension().string();
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return ext;
}

/// The formats of the whole of data (a fragment made for the clipboard), by the options.
void WriteContainer(const TCustomRVData& data, const TRVStyle& sheet, TRVOptions options, TRVFOptions rvfOptions,
                    TRVRTFOptions rtfOptions, int lastOffset, TClipboardContent& content)
{
    const int last = data.Count() - 1;
    if (options.Contains(rvoAutoCopyRVF)) {
        std::string rvf;
        if (TRVFWriter(sheet, rvfOptions).WriteSelection(data, {0, 0, last, lastOffset}, rvf))
            content.DocView = DocViewBytes(rvf);
    }
    if (options.Contains(rvoAutoCopyText) || options.Contains(rvoAutoCopyUnicodeText)) {
        std::string text;
        if (ExportText(data, text, CopiedTextLineWidth, true))
            content.Text = Utf16LeBytesToUtf8(text);
    }
    if (options.Contains(rvoAutoCopyRTF)) {
        std::string rtf;
        if (WriteRtfSelection(data, TRVRTFWriteSettings(rtfOptions), rtf, {0, 0, last, lastOffset}))
            content.Rtf = std::move(rtf);
    }
}

} // namespace

TClipboard* TCustomDocViewEdit::Clipboard() const noexcept
{
    for (const TCustomDocViewEdit* e = this; e; e = e->Outer_)
        if (e->Clipboard_)
            return e->Clipboard_;
    return nullptr;
}

const TRVTableItemInfo* TCustomDocViewEdit::SelectedCellTable() const
{
    if (CellEditor_ || !CellDrag_.Valid() || CellDrag_.ItemNo >= Data_.Count())
        return nullptr;
    const auto* table = dynamic_cast<const TRVTableItemInfo*>(&Data_.ItemAt(CellDrag_.ItemNo));
    return table && table->HasCellRectangle() ? table : nullptr;
}

bool TCustomDocViewEdit::CanCopy() const
{
    if (CellEditor_)
        return CellEditor_->CanCopy();
    return SelectionExists() || SelectedCellTable();
}

bool TCustomDocViewEdit::CellRectangleContent(TClipboardContent& content) const
{
    const TRVTableItemInfo* table = SelectedCellTable();
    int top = 0, left = 0, rows = 0, cols = 0;
    if (!table || !table->GetNormalizedSelectionBounds(top, left, rows, cols))
        return false;
    const TRVStyle* sheet = GetRVStyle();
    // A copy of the table cut down to the rectangle; the normalized bounds leave no merged cell
    // sticking out, so the rest is a whole grid.
    std::unique_ptr<TCustomRVItemInfo> copy = table->CreateCopy(false);
    auto* part = dynamic_cast<TRVTableItemInfo*>(copy.get());
    if (!part)
        return false;
    {
        TRVTableGridEdit grid(*part);
        const int allRows = part->RowCount(), allCols = part->ColCount();
        if (top + rows < allRows)
            (void)grid.ExtractRows(top + rows, allRows - top - rows);
        if (top > 0)
            (void)grid.ExtractRows(0, top);
        if (left + cols < allCols)
            (void)grid.ExtractCols(left + cols, allCols - left - cols);
        if (left > 0)
            (void)grid.ExtractCols(0, left);
    }
    part->Deselect();
    part->SetEditedCell(-1, -1);
    part->ParaNo = table->ParaNo;
    TCustomRVData fragment(const_cast<TRVStyle*>(sheet));
    fragment.AppendItem({}, std::move(copy));
    WriteContainer(fragment, *sheet, Outermost(*this).Data_.Options, RVFOptions, RTFOptions, 1, content);
    return !content.Empty();
}

bool TCustomDocViewEdit::SelectionContent(TClipboardContent& content, TRVOptions options) const
{
    if (CellEditor_)
        return CellEditor_->SelectionContent(content, options);
    if (CellRectangleContent(content))
        return true;
    const TRVStyle* sheet = GetRVStyle();
    TRVDocPos first, last;
    if (!sheet || !SelectionExists() || !GetOrderedSelectionDoc(first, last) || first == last)
        return false;
    if (options.Contains(rvoAutoCopyRVF)) {
        std::string rvf;
        if (TRVFWriter(*sheet, RVFOptions).WriteSelection(Data_, {first.ItemNo, first.Offset, last.ItemNo, last.Offset},
                                                          rvf))
            content.DocView = DocViewBytes(rvf);
    }
    if (options.Contains(rvoAutoCopyText) || options.Contains(rvoAutoCopyUnicodeText)) {
        std::string text;
        if (ExportTextRange(Data_, text, CopiedTextLineWidth, true, first.ItemNo, first.Offset, last.ItemNo,
                            last.Offset))
            content.Text = Utf16LeBytesToUtf8(text);
    }
    // The selection is one picture when it runs from before to after one item (an end at the end
    // of the item before counts as before it).
    TRVDocPos from = first;
    if (from.ItemNo < last.ItemNo && from.Offset >= Data_.OffsetAfter(from.ItemNo))
        from = {from.ItemNo + 1, 0};
    if (options.Contains(rvoAutoCopyImage) && from.ItemNo == last.ItemNo && from.Offset == 0 && last.Offset == 1) {
        // Errors of the picture's own export are ignored: the other formats still go.
        if (const auto* picture = dynamic_cast<const TRVGraphicItemInfo*>(&Data_.ItemAt(from.ItemNo));
            picture && picture->Image && !picture->Image->Empty()) {
            if (picture->Image->ClassName() == "TPNGObject") {
                content.Png = picture->Image->SaveToBytes();
            } else {
                TRGBAImage pixels;
                if (picture->Image->Decode(pixels) && !pixels.Empty())
                    content.Pixels = std::move(pixels);
            }
        }
    }
    if (options.Contains(rvoAutoCopyRTF)) {
        std::string rtf;
        TRVRTFWriteSettings settings(RTFOptions);
        if (WriteRtfSelection(Data_, settings, rtf, {first.ItemNo, first.Offset, last.ItemNo, last.Offset}))
            content.Rtf = std::move(rtf);
    }
    return true;
}

bool TCustomDocViewEdit::CopySelection()
{
    if (CellEditor_)
        return CellEditor_->CopySelection();
    const TRVOptions options = Outermost(*this).Data_.Options;
    const bool any = options.Contains(rvoAutoCopyText) || options.Contains(rvoAutoCopyUnicodeText) ||
                     options.Contains(rvoAutoCopyRVF) || options.Contains(rvoAutoCopyImage) ||
                     options.Contains(rvoAutoCopyRTF);
    if (!any)
        return false;
    TClipboard* clipboard = Clipboard();
    TClipboardContent content;
    if (!clipboard || !SelectionContent(content, options) || content.Empty())
        return true;
    clipboard->SetContent(std::move(content));
    if (OnCopy)
        OnCopy(*this);
    return true;
}

void TCustomDocViewEdit::CutSelection()
{
    if (CellEditor_) {
        CellEditor_->CutSelection();
        return;
    }
    if (!CanCopy())
        return;
    if (!AskCanEdit()) {
        Beep();
        return;
    }
    if (!CopySelection())
        return;
    DeleteSelected();
}

bool TCustomDocViewEdit::CanPasteNow() const
{
    if (CellEditor_)
        return CellEditor_->CanPasteNow();
    const TClipboard* clipboard = Clipboard();
    if (!clipboard)
        return false;
    for (const TClipboardFormat format : {TClipboardFormat::DocView, TClipboardFormat::Rtf, TClipboardFormat::Text,
                                          TClipboardFormat::Picture, TClipboardFormat::Files})
        if (clipboard->HasFormat(format))
            return true;
    return false;
}

bool TCustomDocViewEdit::PasteRVF()
{
    if (CellEditor_)
        return CellEditor_->PasteRVF();
    const TClipboard* clipboard = Clipboard();
    return clipboard && InsertRVFFrom(*clipboard);
}

bool TCustomDocViewEdit::PasteRTF()
{
    if (CellEditor_)
        return CellEditor_->PasteRTF();
    const TClipboard* clipboard = Clipboard();
    return clipboard && InsertRTFFrom(*clipboard);
}

bool TCustomDocViewEdit::PasteText()
{
    if (CellEditor_)
        return CellEditor_->PasteText();
    const TClipboard* clipboard = Clipboard();
    return clipboard && InsertTextFrom(*clipboard);
}

bool TCustomDocViewEdit::PastePicture()
{
    if (CellEditor_)
        return CellEditor_->PastePicture();
    const TClipboard* clipboard = Clipboard();
    return clipboard && InsertPictureFrom(*clipboard);
}

bool TCustomDocViewEdit::PasteFiles()
{
    if (CellEditor_)
        return CellEditor_->PasteFiles();
    const TClipboard* clipboard = Clipboard();
    return clipboard && clipboard->HasFormat(TClipboardFormat::Files) && InsertFiles(clipboard->ReadFiles());
}

bool TCustomDocViewEdit::InsertRVFFrom(const TClipboard& source)
{
    if (!source.HasFormat(TClipboardFormat::DocView))
        return false;
    const std::optional<std::string> bytes = source.Read(TClipboardFormat::DocView, MaxClipboardBytes);
    if (!bytes)
        return false;
    const std::optional<std::string_view> rvf = RvfOfDocView(*bytes);
    return rvf && InsertDocumentFromStream(*rvf);
}

bool TCustomDocViewEdit::InsertRTFFrom(const TClipboard& source)
{
    if (!source.HasFormat(TClipboardFormat::Rtf))
        return false;
    const std::optional<std::string> rtf = source.Read(TClipboardFormat::Rtf, MaxClipboardBytes);
    return rtf && !rtf->empty() && InsertRtfFromStream(*rtf);
}

bool TCustomDocViewEdit::InsertTextFrom(const TClipboard& source, TClipboardFormat format)
{
    if (!source.HasFormat(format))
        return false;
    const std::optional<std::string> utf8 = source.Read(format, MaxClipboardBytes);
    if (!utf8 || utf8->empty())
        return false;
    std::u16string text = Utf8ToUtf16(*utf8);
    // The text ends at its first zero, as the platform's text formats do.
    if (const auto zero = text.find(u'\0'); zero != std::u16string::npos)
        text.resize(zero);
    return !text.empty() && InsertTextInCurrentStyle(text);
}

bool TCustomDocViewEdit::InsertTextInCurrentStyle(std::u16string_view text)
{
    if (CellEditor_)
        return CellEditor_->InsertTextInCurrentStyle(text);
    // Kept as UTF-16 in a Unicode style, in the style's code page in an 8-bit one.
    const int style = CurrentTextStyle();
    const TRVStyle* sheet = GetRVStyle();
    // Whether it went in (protected text refuses it) shows in the inserted range.
    InsertedStart_ = {};
    if (sheet && ValidTextStyle(style) && !sheet->TextStyles[style].Unicode) {
        const int codePage = CodePageOfCharset(sheet->TextStyles[style].Charset, SystemAnsiCodePage);
        InsertTextAtCaret(UnicodeToAnsi(text, codePage));
    } else {
        InsertWideTextAtCaret(text);
    }
    return InsertedStart_.Valid();
}

bool TCustomDocViewEdit::InsertPictureFrom(const TClipboard& source)
{
    if (!source.HasFormat(TClipboardFormat::Picture))
        return false;
    const std::optional<std::string> bytes = source.Read(TClipboardFormat::Picture, MaxClipboardBytes);
    if (!bytes)
        return false;
    std::unique_ptr<TGraphic> graphic = LoadGraphic(*bytes);
    if (!graphic)
        return false;
    auto item = std::make_unique<TRVGraphicItemInfo>();
    item->Image = std::move(graphic);
    item->VAlign = rvvaBaseline;
    return InsertItemAtCaret({}, std::move(item));
}

bool TCustomDocViewEdit::InsertFiles(const std::vector<std::filesystem::path>& files)
{
    TRVStyle* sheet = GetRVStyle();
    if (!sheet)
        return false;
    // The items of every file, each file starting a paragraph of its own, inserted as one step.
    std::vector<TRVItemEntry> items;
    const int paraNo = CurrentParaStyle();
    const int style = TypingStyle();
    const auto startParagraph = [](TCustomRVItemInfo& item) {
        item.SetItemOptions(std::uint8_t(item.ItemOptions() & ~(TCustomRVItemInfo::rvioContinuesPara |
                                                                TCustomRVItemInfo::rvioNewLine)));
    };
    for (const std::filesystem::path& file : files) {
        if (std::unique_ptr<TGraphic> picture = LoadPictureFile(file)) {
            auto item = std::make_unique<TRVGraphicItemInfo>();
            item->Image = std::move(picture);
            item->VAlign = rvvaBaseline;
            item->ParaNo = paraNo;
            startParagraph(*item);
            items.push_back({{}, std::move(item)});
            continue;
        }
        const std::string ext = LowerExtension(file);
        if (ext != ".rvf" && ext != ".rtf" && ext != ".txt")
            continue;
        const std::optional<std::string> bytes = ReadFileBytes(file);
        if (!bytes || bytes->empty())
            continue;
        TCustomRVData part(sheet);
        if (ext == ".rvf") {
            TRVFReader reader(*sheet, RVFOptions);
            if (!reader.ReadFragment(part, 0, *bytes))
                continue;
        } else if (ext == ".rtf") {
            TRVRTFReaderProperties settings = RTFReadProperties;
            settings.ReadDocParameters = false;
            (void)settings.ReadRtfStreamIntoDocument(*bytes, part, nullptr);
        } else {
            const TTextKind kind = DetectTextKindOfBytes(*bytes);
            const bool ok = kind == TTextKind::Unicode ? ImportTextUtf16(part, *bytes, style, paraNo, false)
                                                       : ImportText8(part, *bytes, style, paraNo, false);
            if (!ok)
                continue;
        }
        if (part.Empty())
            continue;
        std::vector<TRVItemEntry> partItems = part.ExtractItems(0, part.Count());
        startParagraph(*partItems.front().Item);
        for (TRVItemEntry& entry : partItems)
            items.push_back(std::move(entry));
    }
    if (items.empty())
        return false;
    return InsertItems(std::move(items), true, false, rvutInsert);
}

void TCustomDocViewEdit::PasteAtCaret()
{
    if (CellEditor_) {
        CellEditor_->PasteAtCaret();
        return;
    }
    if (!AskCanEdit()) {
        Beep();
        return;
    }
    if (OnPaste) {
        bool doDefault = true;
        OnPaste(*this, doDefault);
        if (!doDefault)
            return;
    }
    // The first format that inserts wins; a damaged RVF or RTF gives way to the next one. An
    // exception rolls the insertion's edit step back before it arrives here.
    try {
        if (PasteRVF() || PasteRTF() || PasteText() || PasteFiles() || PastePicture())
            return;
    } catch (const std::exception&) {
    }
    Beep();
}

} // namespace xq
