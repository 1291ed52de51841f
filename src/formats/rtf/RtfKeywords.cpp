// The RTF reader's keyword table, sorted once at first use.
#include "formats/rtf/RtfKeywords.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace xq {

namespace {

using K = TRVRTFKeywordKind;
using G = TRVRTFPropertyGroup;
using D = TRVRTFDestinationAction;
using P = TRVRTFPropertyAction;

constexpr TRVRTFsymbol Chr(std::string_view kw, int byte)
{
    return {kw, 0, false, K::Char, byte, G::Other};
}
constexpr TRVRTFsymbol Uni(std::string_view kw, int byte, int unicode)
{
    return {kw, unicode, false, K::UnicodeChar, byte, G::Other};
}
constexpr TRVRTFsymbol Dst(std::string_view kw, D action)
{
    return {kw, 0, false, K::Destination, int(action), G::Other};
}
constexpr TRVRTFsymbol Spc(std::string_view kw, TRVRTFSpecialAction action)
{
    return {kw, 0, false, K::Special, int(action), G::Other};
}
/// A property that passes the written parameter, or def without one.
constexpr TRVRTFsymbol Prp(std::string_view kw, P action, int def = 0, G group = G::Other)
{
    return {kw, def, false, K::Property, int(action), group};
}
/// A property that always passes value.
constexpr TRVRTFsymbol Fix(std::string_view kw, P action, int value, G group = G::Other)
{
    return {kw, value, true, K::Property, int(action), group};
}
constexpr TRVRTFsymbol ChP(std::string_view kw, P action, int def = 0)
{
    return Prp(kw, action, def, G::Char);
}
constexpr TRVRTFsymbol ChF(std::string_view kw, P action, int value)
{
    return Fix(kw, action, value, G::Char);
}
constexpr TRVRTFsymbol PaP(std::string_view kw, P action, int def = 0)
{
    return Prp(kw, action, def, G::Para);
}
constexpr TRVRTFsymbol PaF(std::string_view kw, P action, int value)
{
    return Fix(kw, action, value, G::Para);
}

constexpr TRVRTFsymbol Keywords[] = {
    // Characters.
    Chr("par", 10), Chr("sect", 10), Chr("\n", 10), Chr("\r", 10), Chr("line", 13), Chr("tab", 9),
    Chr("~", 160), Chr("bullet", 149), Chr("{", '{'), Chr("}", '}'), Chr("\\", '\\'),
    // Unicode characters.
    Uni("ldblquote", 147, 8220), Uni("rdblquote", 148, 8221), Uni("lquote", 145, 8216), Uni("rquote", 146, 8217),
    Uni("endash", 150, 8211), Uni("emdash", 151, 8212), Uni("emspace", 32, 8195), Uni("enspace", 32, 8194),
    Uni("qmspace", 32, 8197), Uni("-", 173, 173),
    // "\_", the non-breaking hyphen: a hyphen in 8-bit text.
    Uni("_", 45, 8209),
    // Destinations.
    Dst("object", D::Object), Dst("objdata", D::ObjData), Dst("result", D::Result), Dst("shppict", D::ShpPict),
    Dst("nonshppict", D::NonShpPict), Dst("nesttableprops", D::NestTableProps), Dst("nonesttables", D::Skip),
    Dst("author", D::Skip), Dst("buptim", D::Skip), Dst("colortbl", D::ColorTbl), Dst("comment", D::Skip),
    Dst("creatim", D::Skip), Dst("doccomm", D::Skip), Dst("fonttbl", D::FontTbl), Dst("footer", D::Footer),
    Dst("footerf", D::Skip), Dst("footerl", D::Skip), Dst("footerr", D::Skip), Dst("footnote", D::Footnote),
    Dst("ftncn", D::Skip), Dst("ftnsep", D::Skip), Dst("ftnsepc", D::Skip), Dst("header", D::Header),
    Dst("headerf", D::Skip), Dst("headerl", D::Skip), Dst("headerr", D::Skip), Dst("info", D::Skip),
    Dst("keywords", D::Skip), Dst("operator", D::Skip), Dst("printim", D::Skip), Dst("private1", D::Skip),
    Dst("revtim", D::Skip), Dst("rxe", D::Skip), Dst("stylesheet", D::StyleSheet), Dst("subject", D::Skip),
    Dst("tc", D::Skip), Dst("title", D::Skip), Dst("txe", D::Skip), Dst("xe", D::Skip), Dst("pict", D::Pict),
    Dst("bkmkstart", D::BkmkStart), Dst("field", D::Field), Dst("fldinst", D::FldInst), Dst("fldrslt", D::FldRslt),
    Dst("pntext", D::Skip), Dst("pn", D::Pn), Dst("pntxta", D::PnTxtA), Dst("pntxtb", D::PnTxtB),
    Dst("listtext", D::Skip), Dst("listtable", D::ListTable), Dst("list", D::List), Dst("listname", D::ListName),
    Dst("listlevel", D::ListLevel), Dst("leveltext", D::LevelText), Dst("levelnumbers", D::LevelNumbers),
    Dst("listoverridetable", D::ListOverrideTable), Dst("listoverride", D::ListOverride),
    Dst("lfolevel", D::LfoLevel),
    // Character properties.
    ChP("b", P::Bold, 1), ChP("ulc", P::UnderlineColor), ChP("ul", P::Underline, 1), ChF("ulnone", P::UnderlineType, -1),
    ChF("uld", P::UnderlineType, 3), ChF("uldash", P::UnderlineType, 5), ChF("uldashd", P::UnderlineType, 9),
    ChF("uldashdd", P::UnderlineType, 11), ChF("uldb", P::UnderlineType, 2), ChF("ulldash", P::UnderlineType, 7),
    ChF("ulth", P::UnderlineType, 1), ChF("ulthd", P::UnderlineType, 4), ChF("ulthdash", P::UnderlineType, 6),
    ChF("ulthdashd", P::UnderlineType, 10), ChF("ulthdashdd", P::UnderlineType, 12),
    ChF("ulthldash", P::UnderlineType, 8), ChP("i", P::Italic, 1), ChP("strike", P::Strike, 1),
    ChP("fs", P::FontSize, 24), ChP("lang", P::Language), ChP("cf", P::Color), ChP("chcbpat", P::BackColor),
    ChP("plain", P::Plain), ChP("charscalex", P::CharScaleX, 100), ChP("expndtw", P::CharSpacing),
    ChP("caps", P::Caps, 1), ChF("sub", P::SScript, 1), ChF("super", P::SScript, 2), ChF("nosupersub", P::SScript, 0),
    ChP("up", P::Up, 6), ChP("dn", P::Down, 6), ChP("f", P::Font), ChP("af", P::AssocFont),
    ChP("fcharset", P::FontCharset), ChP("v", P::Hidden, 1), ChP("highlight", P::Highlight),
    // Paragraph properties.
    PaP("cbpat", P::ParaColor), PaP("cfpat", P::ParaForeColor), PaP("shading", P::Shading),
    PaP("li", P::LeftIndent), PaP("ri", P::RightIndent), PaP("fi", P::FirstIndent), PaF("qc", P::Alignment, 2),
    PaF("ql", P::Alignment, 0), PaF("qr", P::Alignment, 1), PaF("qj", P::Alignment, 3), PaP("pard", P::Pard),
    PaP("sb", P::SpaceBefore), PaP("sa", P::SpaceAfter), PaP("sl", P::LineSpacing, 240),
    PaP("slmult", P::LineSpacingMulti, 1), PaF("brdrnone", P::BorderType, 0), PaF("brdrs", P::BorderType, 1),
    PaF("brdrth", P::BorderType, 2), PaF("brdrsh", P::BorderType, 3), PaF("brdrdb", P::BorderType, 4),
    PaF("brdrdot", P::BorderType, 5), PaF("brdrdash", P::BorderType, 6), PaF("brdrhair", P::BorderType, 7),
    PaF("brdrdashsm", P::BorderType, 8), PaF("brdrdashd", P::BorderType, 9), PaF("brdrdashdd", P::BorderType, 10),
    PaF("brdrtriple", P::BorderType, 11), PaF("brdrtnthsg", P::BorderType, 12), PaF("brdrthtnsg", P::BorderType, 13),
    PaF("brdrtnthtnsg", P::BorderType, 14), PaF("brdrtnthmg", P::BorderType, 15),
    PaF("brdrthtnmg", P::BorderType, 16), PaF("brdrtnthtnmg", P::BorderType, 17),
    PaF("brdrtnthlg", P::BorderType, 18), PaF("brdrthtnlg", P::BorderType, 19),
    PaF("brdrtnthtnlg", P::BorderType, 20), PaF("brdrwavy", P::BorderType, 21), PaF("brdrwavydb", P::BorderType, 22),
    PaF("brdrdashdotstr", P::BorderType, 23), PaF("brdremboss", P::BorderType, 24),
    PaF("brdrengrave", P::BorderType, 24), PaF("brdrinset", P::BorderType, 26), PaF("brdroutset", P::BorderType, 27),
    PaF("brdrl", P::BorderSide, 0), PaF("brdrt", P::BorderSide, 1), PaF("brdrr", P::BorderSide, 2),
    PaF("brdrb", P::BorderSide, 3), PaP("brdrw", P::BorderWidth, 1), PaP("brdrcf", P::BorderColor),
    PaP("brsp", P::BorderSpace), PaF("keep", P::Keep, 1), PaF("keepn", P::KeepNext, 1),
    PaF("trbrdrl", P::RowBorderSide, 0), PaF("trbrdrt", P::RowBorderSide, 1), PaF("trbrdrr", P::RowBorderSide, 2),
    PaF("trbrdrb", P::RowBorderSide, 3), PaF("clbrdrl", P::CellBorderSide, 0), PaF("clbrdrt", P::CellBorderSide, 1),
    PaF("clbrdrr", P::CellBorderSide, 2), PaF("clbrdrb", P::CellBorderSide, 3), PaP("absnoovrlp", P::NoOverlap, 1),
    PaP("ls", P::ListOverride, 1), PaP("ilvl", P::ListLevel, 1), PaP("tx", P::TabPos), PaF("tqr", P::TabAlign, 1),
    PaF("tqc", P::TabAlign, 2), PaF("tqdec", P::TabAlign, 3), PaF("tldot", P::TabLeader, 1),
    PaF("tlmdot", P::TabLeader, 2), PaF("tlhyph", P::TabLeader, 3), PaF("tlul", P::TabLeader, 4),
    PaF("tlth", P::TabLeader, 4), PaF("tleq", P::TabLeader, 5), PaP("jclisttab", P::ListTab),
    // Objects.
    Fix("objemb", P::ObjType, 0), Fix("objlink", P::ObjType, 1), Fix("objautlink", P::ObjType, 2),
    Fix("objsub", P::ObjType, 3), Fix("objpub", P::ObjType, 4), Fix("objicemb", P::ObjType, 5),
    Fix("objhtml", P::ObjType, 6), Fix("objocx", P::ObjType, 7), Prp("objh", P::ObjH), Prp("objw", P::ObjW),
    // Unicode and languages.
    Prp("deflang", P::DefLang), Prp("u", P::Unicode), Prp("uc", P::UnicodeSkip, 1),
    // Section.
    Prp("cols", P::Cols, 1), Fix("sbknone", P::SectBreak, 0), Fix("sbkcol", P::SectBreak, 1),
    Fix("sbkeven", P::SectBreak, 2), Fix("sbkodd", P::SectBreak, 3), Fix("sbkpage", P::SectBreak, 4),
    Prp("pgnx", P::PgnX), Prp("pgny", P::PgnY), Fix("pgndec", P::PgnFormat, 0), Fix("pgnucrm", P::PgnFormat, 1),
    Fix("pgnlcrm", P::PgnFormat, 2), Fix("pgnucltr", P::PgnFormat, 3), Fix("pgnlcltr", P::PgnFormat, 4),
    Prp("headery", P::HeaderY, 720), Prp("footery", P::FooterY, 720), Prp("pgnstart", P::PgnStart, 1),
    Prp("sectd", P::Sectd),
    // Document.
    Prp("paperw", P::PaperW, 12240), Prp("paperh", P::PaperH, 15840), Prp("margl", P::MargL, 1800),
    Prp("margr", P::MargR, 1800), Prp("margt", P::MargT, 1440), Prp("margb", P::MargB, 1440),
    Fix("facingp", P::FacingP, 1), Fix("margmirror", P::MargMirror, 1), Prp("viewscale", P::ViewScale, 100),
    Prp("viewzk", P::ViewZK), Fix("landscape", P::Landscape, 1), Prp("deff", P::DefFont), Prp("ansicpg", P::AnsiCpg),
    // Tables.
    Fix("cell", P::Cell, 0), Fix("row", P::Row, 0), Fix("nestcell", P::Cell, 1), Fix("nestrow", P::Row, 1),
    Prp("intbl", P::InTable), Prp("itap", P::Itap, 1), Fix("lastrow", P::LastRow, 0), Prp("trowd", P::Trowd),
    Fix("trql", P::RowAlign, 0), Fix("trqr", P::RowAlign, 1), Fix("trqc", P::RowAlign, 2),
    Prp("trhdr", P::RowHeader, 1), Prp("trgaph", P::TrGapH), Prp("trleft", P::TrLeft), Prp("trrh", P::TrRH),
    Prp("trpaddl", P::TrPaddL), Prp("trpaddr", P::TrPaddR), Prp("trpaddt", P::TrPaddT), Prp("trpaddb", P::TrPaddB),
    Prp("trpaddfl", P::TrPaddFL), Prp("trpaddfr", P::TrPaddFR), Prp("trpaddft", P::TrPaddFT),
    Prp("trpaddfb", P::TrPaddFB), Prp("trspdl", P::TrSpdL), Prp("trspdr", P::TrSpdR), Prp("trspdt", P::TrSpdT),
    Prp("trspdb", P::TrSpdB), Prp("trspdfl", P::TrSpdFL), Prp("trspdfr", P::TrSpdFR), Prp("trspdft", P::TrSpdFT),
    Prp("trspdfb", P::TrSpdFB), Prp("trwWidth", P::TrWWidth), Prp("trftsWidth", P::TrFtsWidth),
    Fix("clvmrg", P::CellVMerge, 2), Fix("clvmgf", P::CellVMerge, 1), Fix("clmrg", P::CellHMerge, 2),
    Fix("clmgf", P::CellHMerge, 1), Prp("clwWidth", P::ClWWidth), Prp("clftsWidth", P::ClFtsWidth),
    Prp("clcbpat", P::ClCbPat), Prp("clcbpatraw", P::ClCbPatRaw), Prp("clcfpat", P::ClCfPat),
    Prp("clshdng", P::ClShdng), Fix("clvertalt", P::ClVertAl, 0), Fix("clvertalc", P::ClVertAl, 2),
    Fix("clvertalb", P::ClVertAl, 1), Prp("cellx", P::CellX), Prp("docviewcbw", P::DocViewCBW),
    Prp("docviewcbh", P::DocViewCBH), Prp("docviewtbw", P::DocViewTBW),
    // Notes.
    Prp("ftnalt", P::FtnAlt), Prp("chftn", P::ChFtn),
    // Colour table.
    Prp("red", P::Red), Prp("green", P::Green), Prp("blue", P::Blue),
    // Font families.
    Fix("fnil", P::FontFamily, 0), Fix("froman", P::FontFamily, 1), Fix("fswiss", P::FontFamily, 2),
    Fix("fmodern", P::FontFamily, 3), Fix("fscript", P::FontFamily, 4), Fix("fdecor", P::FontFamily, 5),
    Fix("ftech", P::FontFamily, 6), Fix("fbidi", P::FontFamily, 7),
    // Style sheet.
    Prp("s", P::StyleS), Prp("cs", P::StyleCS), Prp("ds", P::StyleDS), Prp("sbasedon", P::SBasedOn),
    Prp("snext", P::SNext), Prp("additive", P::Additive), Prp("shidden", P::SHidden), Fix("chbrdr", P::ChBrdr, 0),
    // Pictures.
    Prp("picw", P::PicW), Prp("pich", P::PicH), Prp("picwgoal", P::PicWGoal), Prp("pichgoal", P::PicHGoal),
    Prp("picscalex", P::PicScaleX, 100), Prp("picscaley", P::PicScaleY, 100),
    Prp("wbmbitspixel", P::WBMBitsPixel, 1), Prp("wbmplanes", P::WBMPlanes, 1),
    Prp("wbmwidthbytes", P::WBMWidthBytes), Fix("emfblip", P::PicType, 0), Fix("pngblip", P::PicType, 1),
    Fix("jpegblip", P::PicType, 2), Fix("macpict", P::PicType, 3), Fix("pmmetafile", P::PicType, 4),
    Fix("dibitmap", P::PicType, 6), Fix("wbitmap", P::PicType, 7), Prp("wmetafile", P::WMetafile, 1),
    Prp("picbmp", P::PicBmp, 1),
    // Page break.
    Prp("page", P::Page),
    // Legacy lists.
    Prp("pnseclvl", P::PnSecLvl, 1), Prp("pnlvl", P::PnLvl, 1), Fix("pnlvlblt", P::PnLvl, 11),
    Fix("pnlvlbody", P::PnLvl, 10), Prp("pnhang", P::PnHang, 1), Fix("pndec", P::PnNumType, 1),
    Fix("pnucltr", P::PnNumType, 3), Fix("pnucrm", P::PnNumType, 5), Fix("pnlcltr", P::PnNumType, 2),
    Fix("pnlcrm", P::PnNumType, 4), Prp("pnuldash", P::PnUnderline, 1), Prp("pnuldashd", P::PnUnderline, 1),
    Prp("pnuldashdd", P::PnUnderline, 1), Prp("pnulhair", P::PnUnderline, 1), Prp("pnulth", P::PnUnderline, 1),
    Prp("pnulwave", P::PnUnderline, 1), Prp("pnul", P::PnUnderline, 1), Prp("pnuld", P::PnUnderline, 1),
    Prp("pnuldb", P::PnUnderline, 1), Prp("pnulw", P::PnUnderline, 1), Fix("pnulnone", P::PnUnderline, 0),
    Prp("pnb", P::PnBold, 1), Prp("pni", P::PnItalic, 1), Prp("pnstrike", P::PnStrike, 1), Prp("pncf", P::PnColor),
    Prp("pnf", P::PnFont), Prp("pnfs", P::PnFontSize), Prp("pnindent", P::PnIndent), Prp("pnsp", P::PnSpace),
    Fix("pnqc", P::PnAlign, 2), Fix("pnql", P::PnAlign, 0), Fix("pnqr", P::PnAlign, 1), Prp("pnstart", P::PnStart, 1),
    // List table.
    Prp("listid", P::ListId), Prp("listsimple", P::ListSimple, 1), Prp("levelstartat", P::LevelStartAt, 1),
    Prp("levelnfc", P::LevelNfc), Prp("leveljc", P::LevelJc), Prp("levelold", P::LevelOld, 1),
    Prp("levelindent", P::LevelIndent), Prp("levelspace", P::LevelSpace), Prp("levelfollow", P::LevelFollow),
    Prp("levellegal", P::LevelLegal, 1), Prp("levelnorestart", P::LevelNoRestart, 1),
    Prp("listoverridecount", P::ListOverrideCount), Prp("listoverridestartat", P::ListOverrideStartAt, 1),
    // Special.
    Spc("bin", TRVRTFSpecialAction::Bin), Spc("*", TRVRTFSpecialAction::Skip), Spc("'", TRVRTFSpecialAction::Hex),
};

const std::vector<TRVRTFsymbol>& SortedTable()
{
    static const std::vector<TRVRTFsymbol> table = [] {
        std::vector<TRVRTFsymbol> t(std::begin(Keywords), std::end(Keywords));
        std::stable_sort(t.begin(), t.end(),
                         [](const TRVRTFsymbol& a, const TRVRTFsymbol& b) { return a.Keyword < b.Keyword; });
        return t;
    }();
    return table;
}

} // namespace

std::span<const TRVRTFsymbol> RtfKeywordTable()
{
    return SortedTable();
}

namespace {

/// The keywords hashed into an open-addressing table: a keyword is looked up for every control
/// word read, and a binary search over some hundreds of names compared bytes a dozen times.
class TKeywordIndex {
public:
    explicit TKeywordIndex(const std::vector<TRVRTFsymbol>& table) : Table_(table)
    {
        std::size_t size = 16;
        while (size < 2 * table.size())
            size *= 2;
        Slots_.assign(size, 0);
        Mask_ = size - 1;
        for (std::size_t i = 0; i < table.size(); ++i) {
            std::size_t slot = Hash(table[i].Keyword) & Mask_;
            bool known = false;
            while (Slots_[slot] != 0) {
                // A keyword listed twice is found as its first entry, as the sorted search did.
                if (table[Slots_[slot] - 1].Keyword == table[i].Keyword) {
                    known = true;
                    break;
                }
                slot = (slot + 1) & Mask_;
            }
            if (!known)
                Slots_[slot] = std::uint32_t(i + 1);
        }
    }

    [[nodiscard]] const TRVRTFsymbol* Find(std::string_view keyword) const noexcept
    {
        for (std::size_t slot = Hash(keyword) & Mask_; Slots_[slot] != 0; slot = (slot + 1) & Mask_) {
            const TRVRTFsymbol& entry = Table_[Slots_[slot] - 1];
            if (entry.Keyword == keyword)
                return &entry;
        }
        return nullptr;
    }

private:
    /// FNV-1a over the keyword's bytes.
    [[nodiscard]] static std::size_t Hash(std::string_view s) noexcept
    {
        std::uint32_t h = 2166136261u;
        for (const char c : s)
            h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
        return h;
    }

    const std::vector<TRVRTFsymbol>& Table_;
    std::vector<std::uint32_t> Slots_; ///< index into the table plus one, 0 for an empty slot
    std::size_t Mask_ = 0;
};

} // namespace

const TRVRTFsymbol* FindRtfKeyword(std::string_view keyword)
{
    static const TKeywordIndex index(SortedTable());
    return index.Find(keyword);
}

} // namespace xq
