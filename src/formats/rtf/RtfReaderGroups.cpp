// The RTF reader's groups and destinations: what a destination keyword starts and what the end of
// its group completes (font table clean-up, pictures, objects, fields, bookmarks, list texts,
// notes, headers and footers).
#include "formats/rtf/RtfReaderParser.h"

#include <filesystem>

#include "formats/rtf/RtfReaderHelpers.h"
#include "pictures/PictureKinds.h"
#include "platform/FileIO.h"

namespace xq {

int TRVRTFReader::TParser::PushState()
{
    if (Depth >= MaxGroupDepth)
        return rtf_ec_StackOverflow;
    try {
        Stack.push_back(Stack.back());
    } catch (const std::bad_alloc&) {
        return rtf_ec_StackOverflow;
    }
    TState& s = Stack.back();
    const TState& parent = Stack[Stack.size() - 2];
    s.DestOwner = false;
    s.NoteOwner = false;
    s.StyleEntryOwner = false;
    s.UprGroup = false;
    s.UprAlternative = parent.UprGroup && parent.Dest != TDest::Skip;
    if (s.UprAlternative) {
        s.Dest = TDest::Skip;
        s.DestOwner = true;
    }
    if (parent.Dest == TDest::StyleSheet && parent.StyleEntry < 0) {
        // An entry of the style sheet starts from plain text and a default paragraph.
        s.Chp = {};
        s.Pap = {};
    }
    ++Depth;
    return rtf_ec_OK;
}

int TRVRTFReader::TParser::PopState()
{
    if (Depth <= 0)
        return rtf_ec_StackUnderflow;
    if (Depth == 1) {
        UpdateMarker();
        if (R.OnEndParsing)
            R.OnEndParsing(R);
    }
    int ec = EndDestination();
    if (ec != rtf_ec_OK)
        return ec;
    TState leaving = std::move(Stack.back());
    Stack.pop_back();
    --Depth;
    TState& parent = Stack.back();
    if (leaving.HF != parent.HF && R.OnHeaderFooter) {
        Flush(-1);
        SyncTableDepth();
        bool supported = false;
        R.OnHeaderFooter(R, leaving.HF, false, supported);
    }
    if (leaving.NoteOwner) {
        CloseTables(0);
        TableDepth = leaving.SavedTableDepth;
        if (R.OnNote)
            R.OnNote(R, rtf_ne_End, PendingPos);
        PendingPos = rtf_ts_ContinuePara;
    }
    if (leaving.DestOwner && leaving.Dest == TDest::Pn && leaving.Marker &&
        (parent.Dest == TDest::Normal || parent.Dest == TDest::StyleSheet))
        parent.Pap.MarkerProps = *leaving.Marker;
    if (leaving.StyleEntryOwner && leaving.StyleGeneration == StyleSheetGeneration && leaving.StyleEntry >= 0 &&
        leaving.StyleEntry < int(Styles.size())) {
        TRVRTFStyleSheetEntry& e = Styles[std::size_t(leaving.StyleEntry)];
        e.CharProps = leaving.Chp;
        e.ParaProps = leaving.Pap;
    }
    if (leaving.DestOwner && leaving.Dest == TDest::ListLevel)
        if (TRVRTFListLevel97* level = CurrentLevel()) {
            level->CharProps = leaving.Chp;
            level->ParaProps = leaving.Pap;
        }
    if (Depth == 0)
        Finished = true;
    return rtf_ec_OK;
}

int TRVRTFReader::TParser::EndDestination()
{
    TState& s = Cur();
    switch (s.Dest) {
    case TDest::Normal:
        return Flush(-1);
    case TDest::FontTbl:
        if (s.DestOwner)
            CleanFontNames();
        return rtf_ec_OK;
    case TDest::ColorTbl:
        if (s.DestOwner && Colors.size() > 1 && !ColorTouched && Colors.back() == clWindowText)
            Colors.pop_back(); // the entry the closing ";" opened
        return rtf_ec_OK;
    case TDest::Pict:
        if (s.DestOwner)
            return EndPicture();
        return rtf_ec_OK;
    case TDest::Object:
        if (s.DestOwner)
            Object.reset();
        return rtf_ec_OK;
    case TDest::ObjData:
        if (s.DestOwner && Object) {
            Flush(-1);
            bool inserted = false;
            if (R.OnNewObject)
                R.OnNewObject(R, *Object, PendingPos, inserted);
            ObjectInserted = inserted;
            if (inserted)
                PendingPos = rtf_ts_ContinuePara;
        }
        return rtf_ec_OK;
    case TDest::BkmkStart:
        if (s.DestOwner && s.Bookmark && R.OnBookmarkStart)
            R.OnBookmarkStart(R, *s.Bookmark);
        return rtf_ec_OK;
    case TDest::Field:
        if (s.DestOwner && s.Field && s.Field->Picture && R.OnNewPicture) {
            TFieldData& f = *s.Field;
            Flush(-1);
            TRVRTFPicture record = f.PictureRecord ? *f.PictureRecord : TRVRTFPicture{};
            bool inserted = false;
            R.OnNewPicture(R, record, f.Picture, PendingPos, f.FileName, inserted);
            f.Picture.reset();
            PendingPos = rtf_ts_ContinuePara;
        }
        return rtf_ec_OK;
    case TDest::FldInst:
        if (s.DestOwner && s.Field)
            return EndFieldInstruction(*s.Field);
        return rtf_ec_OK;
    case TDest::LevelText:
        if (s.DestOwner)
            if (TRVRTFListLevel97* level = CurrentLevel()) {
                CutLevelText(level->Text);
                if (level->TextW)
                    CutLevelText(*level->TextW);
            }
        return rtf_ec_OK;
    case TDest::LevelNumbers:
        if (s.DestOwner)
            if (TRVRTFListLevel97* level = CurrentLevel()) {
                // Positions of the placeholders in the level text, closed by ";".
                const std::size_t end = level->Numbers.find(';');
                if (end != std::string::npos)
                    level->Numbers.resize(end);
                CutLevelText(level->Numbers);
            }
        return rtf_ec_OK;
    case TDest::ListOverride:
        if (s.DestOwner && !Overrides.empty())
            Overrides.back().ListIndex = R.ListIndexOf(Overrides.back().ListId);
        return rtf_ec_OK;
    default:
        return rtf_ec_OK;
    }
}

void TRVRTFReader::TParser::CleanFontNames()
{
    static constexpr struct {
        int Charset;
        std::string_view Suffix;
    } suffixes[] = {{161, " greek"}, {162, " tur"}, {186, " baltic"}, {204, " cyr"}, {238, " ce"}};
    for (TRVRTFFont& f : Fonts)
        for (const auto& sfx : suffixes)
            if (f.Charset == sfx.Charset && EndsWithNoCase(f.Name, sfx.Suffix))
                f.Name.resize(f.Name.size() - sfx.Suffix.size());
}

int TRVRTFReader::TParser::EndPicture()
{
    Flush(-1);
    std::unique_ptr<TRVRTFPicture> pic = std::move(Picture);
    ObjHexDigit = -1;
    if (!pic)
        return R.OnNewPicture ? rtf_ec_InvalidPicture : rtf_ec_OK;
    TState& s = Cur();
    if (s.Field && s.Field->Handled)
        return rtf_ec_OK; // the field has produced its picture already
    const int ppi = R.PixelsPerInch > 0 ? R.PixelsPerInch : 96;
    const bool metafile = pic->Type == rtf_pict_WMF || pic->Type == rtf_pict_EMF;
    if (pic->PicWGoal > 0)
        pic->GoalWidthPx = int(std::llround(double(pic->PicWGoal) * ppi / 1440.0));
    else if (metafile && pic->PicW > 0)
        pic->GoalWidthPx = int(std::llround(double(pic->PicW) * ppi / 2540.0));
    if (pic->PicHGoal > 0)
        pic->GoalHeightPx = int(std::llround(double(pic->PicHGoal) * ppi / 1440.0));
    else if (metafile && pic->PicH > 0)
        pic->GoalHeightPx = int(std::llround(double(pic->PicH) * ppi / 2540.0));
    std::unique_ptr<TGraphic> graphic = GraphicFromRtfPicture(*pic, R.ExtractMetafileBitmaps);
    if (s.Field && s.Field->CollectResultPicture) {
        if (graphic) {
            s.Field->Picture = std::move(graphic);
            s.Field->PictureRecord = std::move(pic);
        }
        return rtf_ec_OK;
    }
    if (!R.OnNewPicture)
        return rtf_ec_OK;
    bool inserted = false;
    R.OnNewPicture(R, *pic, graphic, PendingPos, EmptyString, inserted);
    if (pic->ShpPict && inserted)
        LastShpPictInserted = true;
    if (inserted)
        PendingPos = rtf_ts_ContinuePara;
    return rtf_ec_OK;
}

std::unique_ptr<TGraphic> TRVRTFReader::TParser::LoadPictureFile(const std::string& location, bool& invalid)
{
    invalid = false;
    std::unique_ptr<TGraphic> graphic;
    std::string bytes;
    constexpr std::size_t maxPictureFile = std::size_t(256) << 20;
    const bool read = !location.empty() && ReadFileBytes(std::filesystem::path(location), bytes, maxPictureFile);
    if (read && !DetectGraphicClass(bytes).empty()) {
        graphic = LoadGraphic(bytes);
        invalid = !graphic;
        return graphic;
    }
    if (R.OnImportPicture)
        R.OnImportPicture(R, location, graphic, invalid);
    else if (read)
        invalid = true;
    return graphic;
}

int TRVRTFReader::TParser::EndFieldInstruction(TFieldData& field)
{
    const TRVRTFFieldCommand cmd = ParseRtfFieldInstruction(field.Instruction);
    switch (cmd.Kind) {
    case TRVRTFFieldCommand::IncludePicture: {
        if (!R.OnNewPicture || cmd.FileName.empty())
            return rtf_ec_OK;
        std::string name = cmd.FileName;
        if (name.find(':') == std::string::npos && !R.BasePath.empty()) {
            std::string base = R.BasePath;
            if (base.back() != '/' && base.back() != '\\')
                base += '/';
            name = base + name;
        }
        bool invalid = false;
        std::unique_ptr<TGraphic> graphic = LoadPictureFile(name, invalid);
        if (!graphic || invalid) {
            // Written on Windows: backslashes separate the folders.
            std::string converted = name;
            std::replace(converted.begin(), converted.end(), '\\', '/');
            if (converted.rfind("file:///", 0) == 0)
                converted.erase(0, 7);
            if (converted != name) {
                graphic = LoadPictureFile(converted, invalid);
                if (graphic && !invalid)
                    name = converted;
            }
        }
        if (graphic && !invalid) {
            Flush(-1);
            TRVRTFPicture record;
            bool inserted = false;
            R.OnNewPicture(R, record, graphic, PendingPos, name, inserted);
            PendingPos = rtf_ts_ContinuePara;
            field.Handled = true;
        } else {
            field.CollectResultPicture = true;
            field.FileName = name;
        }
        return rtf_ec_OK;
    }
    case TRVRTFFieldCommand::Symbol: {
        if (cmd.CharCode <= 0)
            return rtf_ec_OK;
        Flush(-1);
        TRVRTFCharProperties saved = Cur().Chp;
        TRVRTFCharProperties& chp = Cur().Chp;
        chp.FontName = cmd.FontName;
        if (cmd.FontSize > 0)
            chp.Size = cmd.FontSize;
        if (!cmd.Unicode && cmd.CharCode < 256) {
            Text8 += char(cmd.CharCode);
        } else if (R.OnNewUnicodeText && cmd.CharCode <= 0xFFFF) {
            Text16 += char16_t(cmd.CharCode);
        } else if (cmd.CharCode <= 0xFFFF) {
            const char16_t c = char16_t(cmd.CharCode);
            Text8 += xq::UnicodeToAnsi(std::u16string_view(&c, 1), CodePage);
        }
        // A field stands in the text of a paragraph: its result continues the paragraph.
        const int ec = Flush(-1);
        Cur().Chp = std::move(saved);
        field.Handled = true;
        return ec;
    }
    case TRVRTFFieldCommand::Seq:
        if (!R.OnNewSeq || cmd.SeqName.empty())
            return rtf_ec_OK;
        Flush(-1);
        R.OnNewSeq(R, PendingPos, cmd.SeqName, cmd.SeqType, cmd.Reset, cmd.StartFrom);
        PendingPos = rtf_ts_ContinuePara;
        field.Handled = true;
        return rtf_ec_OK;
    case TRVRTFFieldCommand::Other:
        break;
    }
    return rtf_ec_OK;
}

int TRVRTFReader::TParser::ChangeDest(D action)
{
    TState& s = Cur();
    if (s.Dest == TDest::Skip)
        return rtf_ec_OK;
    const TDest parent = s.Dest;
    switch (action) {
    case D::Skip:
        SetDest(TDest::Skip);
        return rtf_ec_OK;
    case D::FontTbl:
        Fonts.clear();
        FontIndex.clear();
        FontIndexSize = 0;
        FontNameDone = false;
        SetDest(TDest::FontTbl);
        return rtf_ec_OK;
    case D::ColorTbl:
        Colors.clear();
        Colors.push_back(clWindowText);
        ColorTouched = false;
        SetDest(TDest::ColorTbl);
        return rtf_ec_OK;
    case D::StyleSheet:
        Styles.clear();
        ++StyleSheetGeneration;
        SetDest(TDest::StyleSheet);
        s.StyleEntry = -1;
        return rtf_ec_OK;
    case D::Pict:
        if (parent == TDest::Pict)
            return rtf_ec_InvalidPicture;
        Flush(-1);
        if (R.OnNewPicture) {
            Picture = std::make_unique<TRVRTFPicture>();
            Picture->ShpPict = s.InShpPict;
        }
        ObjHexDigit = -1;
        SetDest(TDest::Pict);
        return rtf_ec_OK;
    case D::ShpPict:
        s.InShpPict = true;
        LastShpPictInserted = false;
        SetDest(TDest::Normal);
        return rtf_ec_OK;
    case D::NonShpPict:
        SetDest(LastShpPictInserted ? TDest::Skip : TDest::Normal);
        s.InShpPict = false;
        return rtf_ec_OK;
    case D::Object:
        Flush(-1);
        ObjectInserted = false;
        if (R.OnNewObject) {
            Object = std::make_unique<TRVRTFObject>();
            SetDest(TDest::Object);
        } else {
            SetDest(TDest::Normal);
        }
        return rtf_ec_OK;
    case D::ObjData:
        ObjHexDigit = -1;
        SetDest(parent == TDest::Object && Object ? TDest::ObjData : TDest::Skip);
        return rtf_ec_OK;
    case D::Result:
        SetDest(ObjectInserted ? TDest::Skip : TDest::Normal);
        return rtf_ec_OK;
    case D::BkmkStart:
        Flush(-1);
        s.Bookmark = std::make_shared<std::string>();
        SetDest(TDest::BkmkStart);
        return rtf_ec_OK;
    case D::Field:
        Flush(-1);
        s.Field = std::make_shared<TFieldData>();
        SetDest(TDest::Field);
        return rtf_ec_OK;
    case D::FldInst:
        if (parent != TDest::Field || !s.Field) {
            SetDest(TDest::Skip);
            return rtf_ec_OK;
        }
        s.Field->Instruction.clear();
        s.Field->Handled = false;
        SetDest(TDest::FldInst);
        return rtf_ec_OK;
    case D::FldRslt:
        SetDest(s.Field && s.Field->Handled ? TDest::Skip : TDest::Normal);
        return rtf_ec_OK;
    case D::NestTableProps:
        SetDest(TDest::Normal);
        return rtf_ec_OK;
    case D::Header:
    case D::Footer: {
        Flush(-1);
        s.HF = action == D::Header ? rtf_hf_Header : rtf_hf_Footer;
        bool supported = false;
        if (R.OnHeaderFooter)
            R.OnHeaderFooter(R, s.HF, true, supported);
        SetDest(supported ? TDest::Normal : TDest::Skip);
        return rtf_ec_OK;
    }
    case D::Footnote:
        if (!R.OnNote || s.InNote || s.HF != rtf_hf_MainText) {
            SetDest(TDest::Skip);
            return rtf_ec_OK;
        }
        Flush(-1);
        R.OnNote(R, rtf_ne_Start, PendingPos);
        PendingPos = rtf_ts_ContinuePara;
        s.Pap.ListOverrideIndex = -1;
        s.Pap.ListOverrideNumber = -1;
        s.Pap.ListLevel = 0;
        s.Pap.MarkerProps.reset();
        s.InNote = true;
        s.NoteOwner = true;
        s.SavedTableDepth = TableDepth;
        TableDepth = 0;
        SetDest(TDest::Normal);
        return rtf_ec_OK;
    case D::Pn:
        s.Marker = std::make_shared<TRVRTFMarkerProperties>();
        SetDest(TDest::Pn);
        return rtf_ec_OK;
    case D::PnTxtA:
    case D::PnTxtB:
        SetDest(parent == TDest::Pn && s.Marker ? (action == D::PnTxtA ? TDest::PnTxtA : TDest::PnTxtB)
                                                : TDest::Skip);
        return rtf_ec_OK;
    case D::ListTable:
        Lists.clear();
        SetDest(TDest::ListTable);
        return rtf_ec_OK;
    case D::List:
        if (parent == TDest::ListTable) {
            Lists.emplace_back();
            SetDest(TDest::List);
        } else {
            SetDest(TDest::Skip);
        }
        return rtf_ec_OK;
    case D::ListName:
        SetDest(parent == TDest::List && !Lists.empty() ? TDest::ListName : TDest::Skip);
        return rtf_ec_OK;
    case D::ListLevel:
        if (parent == TDest::List && !Lists.empty()) {
            Lists.back().Levels.emplace_back();
            s.Chp = {};
            s.Pap = {};
            SetDest(TDest::ListLevel);
        } else {
            SetDest(TDest::Skip);
        }
        return rtf_ec_OK;
    case D::LevelText:
    case D::LevelNumbers:
        if (parent == TDest::ListLevel && CurrentLevel()) {
            if (action == D::LevelText) {
                CurrentLevel()->Text.clear();
                CurrentLevel()->TextW.reset();
            } else {
                CurrentLevel()->Numbers.clear();
            }
            SetDest(action == D::LevelText ? TDest::LevelText : TDest::LevelNumbers);
        } else {
            SetDest(TDest::Skip);
        }
        return rtf_ec_OK;
    case D::ListOverrideTable:
        Overrides.clear();
        SetDest(TDest::ListOverrideTable);
        return rtf_ec_OK;
    case D::ListOverride:
        if (parent == TDest::ListOverrideTable) {
            Overrides.emplace_back();
            SetDest(TDest::ListOverride);
        } else {
            SetDest(TDest::Skip);
        }
        return rtf_ec_OK;
    case D::LfoLevel:
        if (parent == TDest::ListOverride && !Overrides.empty()) {
            Overrides.back().Levels.emplace_back();
            SetDest(TDest::LfoLevel);
        } else {
            SetDest(TDest::Skip);
        }
        return rtf_ec_OK;
    }
    return rtf_ec_BadTable;
}

} // namespace xq
