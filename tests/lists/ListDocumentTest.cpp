// Whole-document passes over documents with lists and notes: normalisation and purging.
#include <gtest/gtest.h>

#include "document/Normalize.h"
#include "document/StylePurge.h"
#include "lists/ListTestSupport.h"
#include "support/DocDump.h"

namespace xq {
namespace {

using test::DocDump;

class ListDocument : public test::ListDocTest {};

TEST_F(ListDocument, NormalizationReachesNoteTexts)
{
    Doc.AppendText("Siehe", 0, 0);
    auto note = std::make_unique<TRVFootnoteItemInfo>();
    TRVSubData& text = note->NoteText();
    Doc.AppendItem({}, std::move(note));
    // As a reader may leave it: split text, and a marker that ends the note.
    text.AppendText("Fu", 0, 0);
    text.AppendText("\xDF" "note", 0, -1);
    text.InsertItemAt(text.Count(), {}, Marker(-1, 0));

    NormalizeDocument(Doc);
    EXPECT_EQ(DocDump(text), R"([p0]"Fu)" "\xDF" R"(note" [p0]<-11> "")");
}

TEST_F(ListDocument, PurgeKeepsListsOfNoteTextsAndTheirNumbers)
{
    const int unused = AddList({rvlstDecimal});
    const int bullets = AddList({rvlstBullet}, "\xB7");
    const int numbers = AddList({rvlstUpperRoman});
    Sheet.ListStyles[unused].Standard = false;
    Sheet.ListStyles[bullets].Standard = false;
    Sheet.ListStyles[numbers].Standard = false;

    AddPara(numbers);
    AddPara(bullets);
    auto note = std::make_unique<TRVFootnoteItemInfo>();
    TRVSubData& text = note->NoteText();
    Doc.AppendItem({}, std::move(note));
    AddPara(text, Marker(numbers, 0));

    PurgeStyles(Sheet, Doc, false, false, true);
    ASSERT_EQ(Sheet.ListStyles.Count(), 2);
    EXPECT_EQ(Sheet.ListStyles[0].Levels[0].ListType, rvlstBullet);
    EXPECT_EQ(Doc.Markers()[0]->ListNo, 1);
    EXPECT_EQ(Doc.Markers()[1]->ListNo, 0);
    ASSERT_EQ(text.Markers().size(), 1u);
    EXPECT_EQ(text.Markers()[0]->ListNo, 1);
    EXPECT_EQ(text.Markers()[0]->DisplayText, "II.") << "the note's marker still continues the list";
}

} // namespace
} // namespace xq
