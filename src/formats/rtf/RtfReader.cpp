// TRVRTFReader: the parser (work in progress: the public interface is settled).
#include "formats/rtf/RtfReader.h"

#include "document/Graphic.h"
#include "platform/CodePage.h"

namespace xq {

struct TRVRTFReader::TParser {
    TRVRTFCharProperties CharProps;
    TRVRTFParaProperties ParaProps;
    TRVRTFRowProperties RowProps;
    TRVRTFSectionProperties SectProps;
    TRVRTFDocProperties DocProps;
    TRVRTFFontList Fonts;
    TRVRTFReaderColorList Colors;
    TRVRTFStyleSheet Styles;
    TRVRTFListTable97 Lists;
    TRVRTFListOverrideTable97 Overrides;
    std::string FieldInstruction;
    TRVRTFHeaderFooterType HFType = rtf_hf_MainText;
    bool InNote = false;
    int CodePage = SystemAnsiCodePage;
    int TableDepth = 0;
    int DefFont = 0;
    int DefLang = 0;
};

TRVRTFReader::TRVRTFReader() : P_(std::make_unique<TParser>()) {}
TRVRTFReader::~TRVRTFReader() = default;

int TRVRTFReader::ReadRtfStream(std::string_view)
{
    *P_ = TParser{};
    return rtf_ec_OK;
}

int TRVRTFReader::ReadRtfFile(const std::filesystem::path&)
{
    return rtf_ec_FileOpenError;
}

const TRVRTFCharProperties& TRVRTFReader::CharProps() const noexcept { return P_->CharProps; }
const TRVRTFParaProperties& TRVRTFReader::ParaProps() const noexcept { return P_->ParaProps; }
const TRVRTFRowProperties& TRVRTFReader::RowProps() const noexcept { return P_->RowProps; }
const TRVRTFSectionProperties& TRVRTFReader::SectProps() const noexcept { return P_->SectProps; }
const TRVRTFDocProperties& TRVRTFReader::DocProps() const noexcept { return P_->DocProps; }
const TRVRTFFontList& TRVRTFReader::FontTable() const noexcept { return P_->Fonts; }
const TRVRTFReaderColorList& TRVRTFReader::ColorTable() const noexcept { return P_->Colors; }
const TRVRTFStyleSheet& TRVRTFReader::StyleSheet() const noexcept { return P_->Styles; }
const TRVRTFListTable97& TRVRTFReader::ListTable() const noexcept { return P_->Lists; }
const TRVRTFListOverrideTable97& TRVRTFReader::ListOverrideTable() const noexcept { return P_->Overrides; }
const std::string& TRVRTFReader::FieldInstruction() const noexcept { return P_->FieldInstruction; }
TRVRTFHeaderFooterType TRVRTFReader::HeaderFooterType() const noexcept { return P_->HFType; }
bool TRVRTFReader::InNote() const noexcept { return P_->InNote; }
int TRVRTFReader::CodePage() const noexcept { return P_->CodePage; }
int TRVRTFReader::TableDepth() const noexcept { return P_->TableDepth; }
int TRVRTFReader::DefaultFontNumber() const noexcept { return P_->DefFont; }
int TRVRTFReader::DefaultLanguage() const noexcept { return P_->DefLang; }

const TRVRTFFont* TRVRTFReader::CurrentFont() const noexcept
{
    const int i = P_->CharProps.FontIndex;
    return i >= 0 && i < int(P_->Fonts.size()) ? &P_->Fonts[std::size_t(i)] : nullptr;
}

int TRVRTFReader::FontIndexOf(int number) const noexcept
{
    for (std::size_t i = 0; i < P_->Fonts.size(); ++i)
        if (P_->Fonts[i].Number == number)
            return int(i);
    return -1;
}

int TRVRTFReader::ListIndexOf(int listId) const noexcept
{
    for (std::size_t i = 0; i < P_->Lists.size(); ++i)
        if (P_->Lists[i].Id == listId)
            return int(i);
    return -1;
}

std::u16string TRVRTFReader::AnsiToUnicode(std::string_view text, int codePage) const
{
    return xq::AnsiToUnicode(text, codePage ? codePage : P_->CodePage);
}

std::string TRVRTFReader::UnicodeToAnsi(std::u16string_view text, int codePage) const
{
    return xq::UnicodeToAnsi(text, codePage ? codePage : P_->CodePage);
}

const unsigned char* RtfCharsetConversionTable(int) noexcept
{
    return nullptr;
}

} // namespace xq
