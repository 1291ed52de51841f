// The RTF reader's properties: the values of property keywords set into the current state or
// into the record the destination builds (colour table, fonts, style sheet, list tables,
// legacy lists, pictures, objects, rows and cells), and the "u" keyword.
#include "formats/rtf/RtfReaderParser.h"

namespace xq {

bool TRVRTFReader::TParser::ColorAt(int index, TColor& color) const noexcept
{
    if (index < 0 || index >= int(Colors.size()))
        return false;
    color = Colors[std::size_t(index)];
    return true;
}

bool TRVRTFReader::TParser::BackColorAt(int index, TColor& color) const noexcept
{
    if (!ColorAt(index, color))
        return false;
    if (color == clWindowText)
        color = clNone;
    return true;
}

TRVRTFBorderSide* TRVRTFReader::TParser::BorderSide()
{
    TState& s = Cur();
    const int side = std::clamp(s.BorderSide, 0, 3);
    switch (s.BorderTarget) {
    case TBorderTarget::Para:
        return &s.Pap.Border.Sides[std::size_t(side)];
    case TBorderTarget::Row:
        return &Row().Props.Border.Sides[std::size_t(side)];
    case TBorderTarget::Cell:
        return &Row().Cell.Border.Sides[std::size_t(side)];
    case TBorderTarget::None:
        break;
    }
    return nullptr;
}

TRVRTFMarkerProperties* TRVRTFReader::TParser::Marker() noexcept
{
    TState& s = Cur();
    if (s.Dest == TDest::Pn || s.Dest == TDest::PnTxtA || s.Dest == TDest::PnTxtB)
        return s.Marker.get();
    return nullptr;
}

int TRVRTFReader::TParser::ApplyProperty(P action, int val, bool hasParam)
{
    TState& s = Cur();
    TRVRTFCharProperties& chp = s.Chp;
    TRVRTFParaProperties& pap = s.Pap;
    TColor color = clNone;
    switch (action) {
    // Character properties.
    case P::Bold:
        chp.Bold = val != 0;
        break;
    case P::Italic:
        chp.Italic = val != 0;
        break;
    case P::Strike:
        chp.StrikeOut = val != 0;
        break;
    case P::Underline:
        chp.Underline = val != 0;
        if (chp.Underline)
            chp.UnderlineType = rvutNormal;
        break;
    case P::UnderlineType:
        if (val < 0) {
            chp.Underline = false;
            chp.UnderlineType = rvutNormal;
        } else {
            chp.Underline = true;
            chp.UnderlineType = TRVUnderlineType(std::clamp(val, 0, int(rvutThickDashDotDotted)));
        }
        break;
    case P::UnderlineColor:
        if (BackColorAt(val, color))
            chp.UnderlineColor = color;
        break;
    case P::FontSize:
        chp.Size = std::max(0, HalfPointsToPoints(val));
        break;
    case P::Language:
        chp.Language = val;
        break;
    case P::Color:
        if (ColorAt(val, color))
            chp.Color = color;
        break;
    case P::BackColor:
        if (BackColorAt(val, color))
            chp.BackColor = color;
        break;
    case P::Highlight:
        if (R.ConvertHighlight == rtf_hl_FixedColors)
            chp.BackColor = FixedHighlight(val);
        else if (R.ConvertHighlight == rtf_hl_ColorTable && BackColorAt(val, color))
            chp.BackColor = color;
        break;
    case P::Plain:
        chp = {};
        chp.FontIndex = FontIndexOf(DefFont);
        chp.Language = DefLang;
        break;
    case P::CharScaleX:
        chp.CharScaleX = val;
        break;
    case P::CharSpacing:
        chp.CharSpacingTw = val;
        break;
    case P::Caps:
        chp.AllCaps = val != 0;
        break;
    case P::SScript:
        chp.SScriptType = TRVSubSuperScriptType(std::clamp(val, 0, 2));
        break;
    case P::Up:
        chp.VShift = val;
        break;
    case P::Down:
        chp.VShift = val == INT32_MIN ? INT32_MAX : -val;
        break;
    case P::Font:
        if (s.Dest == TDest::FontTbl) {
            Fonts.emplace_back();
            Fonts.back().Number = val;
            FontNameDone = false;
        } else {
            const int i = FontIndexOf(val);
            if (i >= 0)
                chp.FontIndex = i;
        }
        break;
    case P::AssocFont:
        break;
    case P::FontCharset:
        if (s.Dest == TDest::FontTbl && !Fonts.empty())
            Fonts.back().Charset = val >= 256 ? 77 : std::max(val, 0);
        break;
    case P::Hidden: {
        const bool hidden = val != 0;
        if (hidden != chp.Hidden) {
            if (s.Dest == TDest::Normal)
                Flush(-1);
            Cur().Chp.Hidden = hidden;
        }
        break;
    }
    // Paragraph properties.
    case P::ParaColor:
        if (BackColorAt(val, color))
            pap.Color = color;
        break;
    case P::ParaForeColor:
        if (BackColorAt(val, color))
            pap.ForeColor = color;
        break;
    case P::Shading:
        pap.Shading = val;
        break;
    case P::LeftIndent:
        pap.LeftIndent = val;
        break;
    case P::RightIndent:
        pap.RightIndent = val;
        break;
    case P::FirstIndent:
        pap.FirstIndent = val;
        break;
    case P::Alignment:
        pap.Alignment = TRVAlignment(std::clamp(val, 0, 3));
        break;
    case P::Pard:
        pap = {};
        s.BorderTarget = TBorderTarget::None;
        s.Tab = {};
        break;
    case P::SpaceBefore:
        pap.SpaceBefore = val;
        break;
    case P::SpaceAfter:
        pap.SpaceAfter = val;
        break;
    case P::LineSpacing:
        pap.LineSpacing = val;
        break;
    case P::LineSpacingMulti:
        pap.LineSpacingMulti = val != 0;
        break;
    case P::BorderType:
        if (TRVRTFBorderSide* side = BorderSide()) {
            side->BorderType = val;
            if (val != rtf_brdr_None && side->Width == 0)
                side->Width = 10;
        }
        break;
    case P::BorderSide:
        s.BorderTarget = TBorderTarget::Para;
        s.BorderSide = val;
        break;
    case P::RowBorderSide:
        s.BorderTarget = TBorderTarget::Row;
        s.BorderSide = val;
        break;
    case P::CellBorderSide:
        s.BorderTarget = TBorderTarget::Cell;
        s.BorderSide = val;
        break;
    case P::ChBrdr:
        s.BorderTarget = TBorderTarget::None;
        break;
    case P::BorderWidth:
        if (TRVRTFBorderSide* side = BorderSide())
            side->Width = val;
        break;
    case P::BorderColor:
        if (ColorAt(val, color))
            if (TRVRTFBorderSide* side = BorderSide())
                side->Color = color;
        break;
    case P::BorderSpace:
        if (TRVRTFBorderSide* side = BorderSide())
            side->Space = val;
        break;
    case P::Keep:
        pap.KeepLinesTogether = val != 0;
        break;
    case P::KeepNext:
        pap.KeepWithNext = val != 0;
        break;
    case P::NoOverlap:
        pap.NoOverlap = val != 0;
        break;
    case P::ListOverride:
        if (s.Dest == TDest::ListOverride) {
            if (!Overrides.empty())
                Overrides.back().Number = val;
        } else {
            pap.ListOverrideNumber = val;
            pap.ListOverrideIndex = -1;
            for (std::size_t i = 0; i < Overrides.size(); ++i)
                if (Overrides[i].Number == val) {
                    pap.ListOverrideIndex = int(i);
                    break;
                }
        }
        break;
    case P::ListLevel:
        pap.ListLevel = std::clamp(val, 0, 8);
        break;
    case P::TabPos:
        if (pap.Tabs.size() < std::size_t(MaxTabs)) {
            TRVRTFTab tab;
            tab.Position = val;
            tab.Align = s.Tab.Align;
            tab.Leader = s.Tab.Leader;
            tab.IsListTab = s.Tab.ListTab;
            if (tab.IsListTab)
                pap.ListTab = val;
            pap.Tabs.push_back(tab);
        }
        s.Tab = {};
        break;
    case P::TabAlign:
        s.Tab.Align = TRVRTFTabAlign(std::clamp(val, 0, 3));
        break;
    case P::TabLeader:
        s.Tab.Leader = TRVRTFTabLeader(std::clamp(val, 0, 5));
        break;
    case P::ListTab:
        s.Tab.ListTab = true;
        break;
    // Objects.
    case P::ObjType:
        if (InObject())
            Object->Type = TRVRTFObjectType(std::clamp(val, 0, 7));
        break;
    case P::ObjH:
        if (InObject())
            Object->Height = val;
        break;
    case P::ObjW:
        if (InObject())
            Object->Width = val;
        break;
    // Unicode and languages.
    case P::DefLang:
        DefLang = val;
        break;
    case P::Unicode:
        return UnicodeKeyword(val);
    case P::UnicodeSkip:
        UcSkip = std::max(val, 0);
        break;
    // Section.
    case P::Cols:
        SectProps.Columns = val;
        break;
    case P::SectBreak:
        SectProps.SectionBreak = val;
        break;
    case P::PgnX:
        SectProps.PageNumberX = val;
        break;
    case P::PgnY:
        SectProps.PageNumberY = val;
        break;
    case P::PgnFormat:
        SectProps.PageNumberFormat = val;
        break;
    case P::HeaderY:
        SectProps.HeaderY = val;
        break;
    case P::FooterY:
        SectProps.FooterY = val;
        break;
    case P::PgnStart:
        DocProps.PageNumberStart = val;
        break;
    case P::Sectd:
        SectProps = {};
        break;
    // Document.
    case P::PaperW:
        DocProps.PaperWidth = val;
        DocProps.HasPaperWidth = true;
        break;
    case P::PaperH:
        DocProps.PaperHeight = val;
        DocProps.HasPaperHeight = true;
        break;
    case P::MargL:
        DocProps.LeftMargin = val;
        DocProps.HasLeftMargin = true;
        break;
    case P::MargR:
        DocProps.RightMargin = val;
        DocProps.HasRightMargin = true;
        break;
    case P::MargT:
        DocProps.TopMargin = val;
        DocProps.HasTopMargin = true;
        break;
    case P::MargB:
        DocProps.BottomMargin = val;
        DocProps.HasBottomMargin = true;
        break;
    case P::FacingP:
        DocProps.FacingPages = true;
        break;
    case P::MargMirror:
        DocProps.MirrorMargins = true;
        break;
    case P::ViewScale:
        DocProps.ViewScale = val;
        break;
    case P::ViewZK:
        DocProps.ZoomKind = val;
        break;
    case P::Landscape:
        DocProps.Landscape = true;
        break;
    case P::DefFont:
        DefFont = val;
        break;
    case P::AnsiCpg:
        CodePage = val > 0 ? ResolveCodePage(val) : ResolveCodePage(R.DefCodePage);
        break;
    // Tables.
    case P::Cell:
        SyncTableDepth();
        Flush(-1);
        PendingPos = rtf_ts_NewPara;
        TableEvent(rvf_tbl_CellEnd);
        break;
    case P::Row:
        if (!Text8.empty() || !Text16.empty())
            Flush(-1);
        SyncTableDepth();
        PendingPos = rtf_ts_NewPara;
        TableEvent(rvf_tbl_RowEnd);
        break;
    case P::InTable:
        pap.InTable = true;
        break;
    case P::Itap:
        pap.NestingLevel = std::clamp(val, 0, MaxTableNesting);
        if (val > 0)
            pap.InTable = true;
        break;
    case P::LastRow:
        Row().Props.LastRow = true;
        break;
    case P::Trowd: {
        Cur().Row = std::make_shared<TRowData>();
        break;
    }
    case P::RowAlign:
        Row().Props.Alignment = TRVAlignment(std::clamp(val, 0, 2));
        break;
    case P::RowHeader:
        Row().Props.Heading = val != 0;
        break;
    case P::TrGapH:
        Row().Props.GapH = val;
        break;
    case P::TrLeft:
        Row().Props.Left = val;
        break;
    case P::TrRH:
        Row().Props.Height = val;
        Row().Props.HeightExact = val < 0;
        break;
    case P::TrPaddL:
    case P::TrPaddT:
    case P::TrPaddR:
    case P::TrPaddB:
        Row().Props.Padding[SideOf(action, P::TrPaddL, P::TrPaddT, P::TrPaddR)] = val;
        break;
    case P::TrPaddFL:
    case P::TrPaddFT:
    case P::TrPaddFR:
    case P::TrPaddFB:
        Row().Props.PaddingTwips[SideOf(action, P::TrPaddFL, P::TrPaddFT, P::TrPaddFR)] = val == 3;
        break;
    case P::TrSpdL:
    case P::TrSpdT:
    case P::TrSpdR:
    case P::TrSpdB:
        Row().Props.Spacing[SideOf(action, P::TrSpdL, P::TrSpdT, P::TrSpdR)] = val;
        break;
    case P::TrSpdFL:
    case P::TrSpdFT:
    case P::TrSpdFR:
    case P::TrSpdFB:
        Row().Props.SpacingTwips[SideOf(action, P::TrSpdFL, P::TrSpdFT, P::TrSpdFR)] = val == 3;
        break;
    case P::TrWWidth: {
        TRowData& row = Row();
        row.RowWidth = val;
        row.Props.BestWidth = WidthByUnit(row.RowWidth, row.RowWidthUnit);
        break;
    }
    case P::TrFtsWidth: {
        TRowData& row = Row();
        row.RowWidthUnit = val;
        row.Props.BestWidth = WidthByUnit(row.RowWidth, row.RowWidthUnit);
        break;
    }
    case P::CellVMerge:
        Row().Cell.VMerge = TRVRTFCellMerge(std::clamp(val, 0, 2));
        break;
    case P::CellHMerge:
        Row().Cell.HMerge = TRVRTFCellMerge(std::clamp(val, 0, 2));
        break;
    case P::ClWWidth: {
        TRowData& row = Row();
        row.CellWidth = val;
        row.Cell.BestWidth = WidthByUnit(row.CellWidth, row.CellWidthUnit);
        break;
    }
    case P::ClFtsWidth: {
        TRowData& row = Row();
        row.CellWidthUnit = val;
        row.Cell.BestWidth = WidthByUnit(row.CellWidth, row.CellWidthUnit);
        break;
    }
    case P::ClCbPat:
    case P::ClCbPatRaw:
        if (BackColorAt(val, color))
            Row().Cell.Color = color;
        break;
    case P::ClCfPat:
        if (BackColorAt(val, color))
            Row().Cell.ForeColor = color;
        break;
    case P::ClShdng:
        Row().Cell.Shading = val;
        break;
    case P::ClVertAl:
        Row().Cell.VAlign = TRVRTFVAlign(std::clamp(val, 0, 2));
        break;
    case P::CellX: {
        TRowData& row = Row();
        row.Cell.RightBoundary = val;
        if (row.Props.Cells.size() < std::size_t(MaxCells))
            row.Props.Cells.push_back(row.Cell);
        row.Cell = {};
        row.CellWidth = row.CellWidthUnit = 0;
        if (s.BorderTarget == TBorderTarget::Cell)
            s.BorderTarget = TBorderTarget::None;
        break;
    }
    case P::DocViewCBW:
        Row().Cell.OwnBestWidth = val;
        Row().Props.HasOwnWidths = true;
        break;
    case P::DocViewCBH:
        Row().Cell.OwnBestHeight = val;
        Row().Props.HasOwnWidths = true;
        break;
    case P::DocViewTBW:
        Row().Props.OwnTableBestWidth = val;
        Row().Props.HasOwnWidths = true;
        break;
    // Notes.
    case P::FtnAlt:
        if (s.InNote && R.OnNote) {
            Flush(-1);
            R.OnNote(R, rtf_ne_EndNote, PendingPos);
        }
        break;
    case P::ChFtn:
        if (s.InNote && R.OnNote) {
            Flush(-1);
            R.OnNote(R, rtf_ne_Character, PendingPos);
            PendingPos = rtf_ts_ContinuePara;
        }
        break;
    // Colour table.
    case P::Red:
    case P::Green:
    case P::Blue:
        if (s.Dest == TDest::ColorTbl && !Colors.empty()) {
            TColor& c = Colors.back();
            if (c == clWindowText)
                c = clBlack;
            const int shift = action == P::Red ? 0 : action == P::Green ? 8 : 16;
            c = (c & ~(TColor(0xFF) << shift)) | (TColor(val & 0xFF) << shift);
            ColorTouched = true;
        }
        break;
    // Font table.
    case P::FontFamily:
        if (s.Dest == TDest::FontTbl && !Fonts.empty())
            Fonts.back().Family = TRVRTFFontFamily(std::clamp(val, 0, 7));
        break;
    // Style sheet.
    case P::StyleS:
    case P::StyleCS:
    case P::StyleDS:
        if (s.Dest == TDest::StyleSheet)
            if (TRVRTFStyleSheetEntry* e = StyleEntry(true)) {
                e->Number = val;
                e->Kind = action == P::StyleS ? rtf_sst_Par : action == P::StyleCS ? rtf_sst_Char : rtf_sst_Sect;
            }
        break;
    case P::SBasedOn:
    case P::SNext:
    case P::Additive:
    case P::SHidden:
        if (s.Dest == TDest::StyleSheet)
            if (TRVRTFStyleSheetEntry* e = StyleEntry(true)) {
                if (action == P::SBasedOn)
                    e->BasedOn = val;
                else if (action == P::SNext)
                    e->Next = val;
                else if (action == P::Additive)
                    e->Additive = true;
                else
                    e->Hidden = true;
            }
        break;
    // Pictures.
    case P::PicW:
        if (InPicture())
            Picture->PicW = val;
        break;
    case P::PicH:
        if (InPicture())
            Picture->PicH = val;
        break;
    case P::PicWGoal:
        if (InPicture())
            Picture->PicWGoal = val;
        break;
    case P::PicHGoal:
        if (InPicture())
            Picture->PicHGoal = val;
        break;
    case P::PicScaleX:
        if (InPicture())
            Picture->PicScaleX = val;
        break;
    case P::PicScaleY:
        if (InPicture())
            Picture->PicScaleY = val;
        break;
    case P::WBMBitsPixel:
        if (InPicture())
            Picture->WBMBitsPixel = val;
        break;
    case P::WBMPlanes:
        if (InPicture())
            Picture->WBMPlanes = val;
        break;
    case P::WBMWidthBytes:
        if (InPicture())
            Picture->WBMWidthBytes = val;
        break;
    case P::PicType:
        if (InPicture()) {
            static constexpr TRVRTFPictureType kinds[] = {rtf_pict_EMF,        rtf_pict_PNG, rtf_pict_JPEG,
                                                          rtf_pict_MacPict,    rtf_pict_PmMetafile,
                                                          rtf_pict_WMF,        rtf_pict_DIB, rtf_pict_DDB};
            Picture->Type = kinds[std::clamp(val, 0, 7)];
            Picture->TypeGiven = true;
        }
        break;
    case P::WMetafile:
        if (InPicture()) {
            Picture->Type = rtf_pict_WMF;
            Picture->TypeGiven = true;
            Picture->MetafileMapMode = val;
        }
        break;
    case P::PicBmp:
        if (InPicture())
            Picture->PicBmp = val != 0;
        break;
    // Page break.
    case P::Page:
        if (R.OnRequiredPageBreak) {
            Flush(-1);
            R.OnRequiredPageBreak(R);
        }
        break;
    // Legacy lists.
    case P::PnSecLvl:
    case P::PnLvl:
        if (TRVRTFMarkerProperties* m = Marker())
            m->Level = val;
        break;
    case P::PnHang:
        if (TRVRTFMarkerProperties* m = Marker())
            m->Hanging = val != 0;
        break;
    case P::PnNumType:
        if (TRVRTFMarkerProperties* m = Marker())
            m->NumberType = val;
        break;
    case P::PnUnderline:
        if (TRVRTFMarkerProperties* m = Marker())
            m->Underline = val != 0;
        break;
    case P::PnBold:
        if (TRVRTFMarkerProperties* m = Marker())
            m->Bold = val != 0;
        break;
    case P::PnItalic:
        if (TRVRTFMarkerProperties* m = Marker())
            m->Italic = val != 0;
        break;
    case P::PnStrike:
        if (TRVRTFMarkerProperties* m = Marker())
            m->StrikeOut = val != 0;
        break;
    case P::PnColor:
        if (TRVRTFMarkerProperties* m = Marker(); m && ColorAt(val, color))
            m->Color = color;
        break;
    case P::PnFont:
        if (TRVRTFMarkerProperties* m = Marker()) {
            m->FontNumber = val;
            m->FontIndex = FontIndexOf(val);
        }
        break;
    case P::PnFontSize:
        if (TRVRTFMarkerProperties* m = Marker())
            m->FontSize = std::max(0, HalfPointsToPoints(val));
        break;
    case P::PnIndent:
        if (TRVRTFMarkerProperties* m = Marker())
            m->Indent = val;
        break;
    case P::PnSpace:
        if (TRVRTFMarkerProperties* m = Marker())
            m->Space = val;
        break;
    case P::PnAlign:
        if (TRVRTFMarkerProperties* m = Marker())
            m->Alignment = TRVAlignment(std::clamp(val, 0, 2));
        break;
    case P::PnStart:
        if (TRVRTFMarkerProperties* m = Marker())
            m->StartAt = val;
        break;
    // List table.
    case P::ListId:
        if (s.Dest == TDest::List && !Lists.empty())
            Lists.back().Id = val;
        else if (s.Dest == TDest::ListOverride && !Overrides.empty())
            Overrides.back().ListId = val;
        break;
    case P::ListSimple:
        if (s.Dest == TDest::List && !Lists.empty())
            Lists.back().Simple = val != 0;
        break;
    case P::LevelStartAt:
        if (s.Dest == TDest::ListLevel) {
            if (TRVRTFListLevel97* l = CurrentLevel())
                l->StartAt = val;
        } else if (s.Dest == TDest::LfoLevel && !Overrides.empty() && !Overrides.back().Levels.empty()) {
            Overrides.back().Levels.back().StartAt = val;
        }
        break;
    case P::LevelNfc:
    case P::LevelJc:
    case P::LevelOld:
    case P::LevelIndent:
    case P::LevelSpace:
    case P::LevelFollow:
    case P::LevelLegal:
    case P::LevelNoRestart:
        if (s.Dest == TDest::ListLevel)
            if (TRVRTFListLevel97* l = CurrentLevel())
                ApplyLevel(*l, action, val);
        break;
    case P::ListOverrideCount:
        if (s.Dest == TDest::ListOverride && !Overrides.empty())
            Overrides.back().OverrideCount = val;
        break;
    case P::ListOverrideStartAt:
        if (s.Dest == TDest::LfoLevel && !Overrides.empty() && !Overrides.back().Levels.empty())
            Overrides.back().Levels.back().UseStart = val != 0;
        break;
    case P::Count_:
        return rtf_ec_BadTable;
    }
    (void)hasParam;
    return rtf_ec_OK;
}

std::size_t TRVRTFReader::TParser::SideOf(P action, P left, P top, P right) noexcept
{
    if (action == left)
        return rtf_side_Left;
    if (action == top)
        return rtf_side_Top;
    if (action == right)
        return rtf_side_Right;
    return rtf_side_Bottom;
}

void TRVRTFReader::TParser::ApplyLevel(TRVRTFListLevel97& l, P action, int val)
{
    switch (action) {
    case P::LevelNfc:
        l.NumberType = val;
        break;
    case P::LevelJc:
        l.Alignment = val;
        break;
    case P::LevelOld:
        l.Old = val != 0;
        break;
    case P::LevelIndent:
        l.Indent = val;
        break;
    case P::LevelSpace:
        l.Space = val;
        break;
    case P::LevelFollow:
        l.Follow = val;
        break;
    case P::LevelLegal:
        l.Legal = val != 0;
        break;
    case P::LevelNoRestart:
        l.NoRestart = val != 0;
        break;
    default:
        break;
    }
}

int TRVRTFReader::TParser::UnicodeKeyword(int val)
{
    const char16_t c = char16_t(std::uint32_t(val) & 0xFFFF);
    TState& s = Cur();
    if (s.Dest == TDest::Normal) {
        if (R.OnNewUnicodeText) {
            SkipLeft = UcSkip;
            AppendUnicode(c);
        }
        return rtf_ec_OK;
    }
    if (s.Dest == TDest::PnTxtA || s.Dest == TDest::PnTxtB) {
        const int markerFont = s.Marker ? s.Marker->FontIndex : -1;
        const TRVRTFFont* font = markerFont >= 0 && markerFont < int(Fonts.size())
                                     ? &Fonts[std::size_t(markerFont)]
                                     : FontOf(s.Chp);
        std::string lower;
        if (font)
            for (const char ch : font->Name)
                lower += char(std::tolower(static_cast<unsigned char>(ch)));
        if (c >= 0xF000 && c <= 0xF0FF && lower == "symbol") {
            const int ec = HandleChar(static_cast<unsigned char>(c & 0xFF));
            SkipLeft = UcSkip;
            return ec;
        }
    }
    if (s.Dest == TDest::LevelText) {
        if (TRVRTFListLevel97* level = CurrentLevel()) {
            if (!level->TextW)
                level->TextW = R.AnsiToUnicode(level->Text);
            *level->TextW += c;
            level->Text += xq::UnicodeToAnsi(std::u16string_view(&c, 1), CodePage);
        }
        SkipLeft = UcSkip;
        return rtf_ec_OK;
    }
    const std::string bytes = xq::UnicodeToAnsi(std::u16string_view(&c, 1), CodePage);
    for (const char b : bytes) {
        const int ec = HandleChar(static_cast<unsigned char>(b));
        if (ec != rtf_ec_OK)
            return ec;
    }
    SkipLeft = UcSkip;
    return rtf_ec_OK;
}

} // namespace xq
