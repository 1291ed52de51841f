// The style sheet: the engine's default styles and the main window's standard styles.
#include "document/RVStyle.h"

#include "platform/CodePage.h"

namespace xq {

TRVStyle::TRVStyle()
{
    ResetToDefaultStyles();
}

int TRVStyle::CodePageOfStyle(int textStyleNo) const
{
    if (textStyleNo < 0)
        return DefCodePage;
    return CodePageOfCharset(TextStyles.StyleAt(textStyleNo).Charset, DefCodePage);
}

void TRVStyle::ResetToDefaultStyles()
{
    TextStyles.Clear();
    ParaStyles.Clear();
    ListStyles.Clear();
    StyleTemplates.clear();

    auto addText = [this](const char* name, TFontStyles style, TColor color) -> TFontInfo& {
        TFontInfo& s = TextStyles.Add();
        s.StyleName = name;
        s.Style = style;
        s.Color = color;
        return s;
    };
    addText("Normal text", {}, clWindowText);
    addText("Heading", {fsBold}, 0xFF0000);
    addText("Subheading", {fsBold}, 0x800000);
    addText("Keywords", {fsItalic}, 0x000080);
    for (const char* name : {"Jump 1", "Jump 2"}) {
        TFontInfo& jump = addText(name, {fsUnderline}, 0x008000);
        jump.Jump = true;
        jump.JumpCursor = JumpCursor;
    }

    ParaStyles.Add();
    TParaInfo& centered = ParaStyles.Add();
    centered.StyleName = "Centered";
    centered.Alignment = rvaCenter;
}

void SetupMainWindowStyleSheet(TRVStyle& sheet)
{
    sheet.TextStyles.Clear();
    sheet.ParaStyles.Clear();
    sheet.ListStyles.Clear();
    sheet.StyleTemplates.clear();

    struct TextRow {
        const char* Name;
        const char* Font;
        int Size;
        TFontStyles Style;
        TColor Color;
        int VShift;
        TCursor JumpCursor;
    };
    const TextRow textRows[] = {
        {"Normaler Text", "Times New Roman", 10, {}, clWindowText, 0, crDefault},
        {"\xC3\x9C" "berschrift", "Arial", 12, {fsBold, fsUnderline}, 0xFF0000, 0, crDefault},
        {"Gliederung", "Arial Narrow", 12, {fsBold}, 0x800000, 0, crDefault},
        {"Hochgestellt", "Arial", 7, {}, 0x000000, 25, crDefault},
        {"Tiefgestellt", "Arial", 7, {}, 0x000000, -25, crJump},
        {"Variable", "Arial", 9, {fsBold, fsItalic}, 0x008000, 0, crJump},
        {"Variable2", "Arial", 10, {}, 0x000000, 0, crJump},
    };
    for (const TextRow& row : textRows) {
        TFontInfo& s = sheet.TextStyles.Add();
        s.StyleName = row.Name;
        s.FontName = row.Font;
        s.Size = row.Size;
        s.Style = row.Style;
        s.Color = row.Color;
        s.VShift = row.VShift;
        s.JumpCursor = row.JumpCursor;
    }

    const char* paraNames[] = {"Linksb\xC3\xBCndig", "Zentriert", "Rechtsb\xC3\xBCndig", "Blocksatz",
                               "Einfacher Rahmen", "Doppelter Rahmen"};
    const TRVAlignment alignments[] = {rvaLeft, rvaCenter, rvaRight, rvaJustify};
    for (int i = 0; i < 6; ++i) {
        TParaInfo& p = sheet.ParaStyles.Add();
        p.StyleName = paraNames[i];
        if (i < 4) {
            p.Alignment = alignments[i];
            continue;
        }
        p.SpaceBefore = p.SpaceAfter = 8;
        p.Border.Color = clBlack;
        p.Border.Style = i == 4 ? rvbSingle : rvbDouble;
        p.Border.BorderOffsets.SetAll(5);
        if (i == 5)
            p.RightIndent = 2;
    }

    sheet.JumpCursor = crHandPoint;
    sheet.UseSound = false;
    sheet.Color = clWhite;
    sheet.PageBreakColor = clBlack;
    sheet.SoftPageBreakColor = clBlack;
    sheet.SpacesInTab = 0;
    sheet.DefTabWidth = 48;
}

} // namespace xq
