// Notes and sequences: their numbering, the chaining of note texts, copying and style references.
#include <gtest/gtest.h>

#include <climits>

#include "ListTestSupport.h"
#include "document/ItemRegistry.h"
#include "lists/Numbering.h"

namespace xq::test {
namespace {

template <class T>
T& AppendInline(TCustomRVData& doc, std::unique_ptr<T> item)
{
    T& added = *item;
    item->ParaNo = -1;
    doc.AppendItem({}, std::move(item));
    return added;
}

std::unique_ptr<TRVSeqItemInfo> Seq(const std::string& name, bool reset = false, int startFrom = 1,
                                    TRVSeqType type = rvseqDecimal)
{
    auto seq = std::make_unique<TRVSeqItemInfo>();
    seq->SeqName = name;
    seq->Reset = reset;
    seq->StartFrom = startFrom;
    seq->NumberType = type;
    return seq;
}

using NoteNumbering = ListDocTest;

TEST_F(NoteNumbering, NoteTextContinuesTheEnclosingList)
{
    const int list = AddList({rvlstDecimal, rvlstLowerAlpha}, "%0:s.%1:s");
    AddPara(list);
    AddPara(list);
    auto note = std::make_unique<TRVFootnoteItemInfo>();
    TRVSubData& text = note->NoteText();
    AddPara(text, Marker(list, 0));
    AddPara(text, Marker(list, 1));
    AppendInline(Doc, std::move(note));
    AddPara(list);
    EXPECT_EQ(Texts(text), (Strings{"3.", "3.a"}));
    EXPECT_EQ(Texts(Doc), (Strings{"1.", "2.", "3."})) << "the document does not count the note's markers";

    Doc.InsertItemAt(0, {}, Marker(list, 0));
    EXPECT_EQ(Texts(text), (Strings{"4.", "4.a"})) << "a marker before the note moves its list on";
    Doc.RemoveItems(0, 3);
    EXPECT_EQ(Texts(text), (Strings{"2.", "2.a"}));
}

TEST_F(NoteNumbering, FootnotesAndEndnotesUseTheSheetsNumbering)
{
    Sheet.FootnoteNumbering = rvseqUpperAlpha;
    Doc.AppendText("Text", 0, 0);
    TRVFootnoteItemInfo& first = AppendInline(Doc, std::make_unique<TRVFootnoteItemInfo>());
    AppendInline(Doc, std::make_unique<TRVEndnoteItemInfo>());
    auto note = std::make_unique<TRVFootnoteItemInfo>();
    note->NoteText().AppendText("Siehe ", 0, 0);
    auto reference = std::make_unique<TRVNoteReferenceItemInfo>();
    TRVNoteReferenceItemInfo& ref = AppendInline(note->NoteText(), std::move(reference));
    TRVFootnoteItemInfo& second = AppendInline(Doc, std::move(note));
    TRVEndnoteItemInfo& endnote = AppendInline(Doc, std::make_unique<TRVEndnoteItemInfo>());

    EXPECT_EQ(first.Text, "A");
    EXPECT_EQ(second.Text, "B");
    EXPECT_EQ(endnote.Text, "ii");
    EXPECT_EQ(ref.Text, "B") << "the reference shows the number of its note";

    Doc.RemoveItems(Doc.IndexOf(&first), 1);
    EXPECT_EQ(second.Text, "A");
    EXPECT_EQ(ref.Text, "A");
    EXPECT_EQ(endnote.Text, "ii") << "endnotes are a sequence of their own";
}

TEST_F(NoteNumbering, NoteTakenOutLetsGoOfItsContainer)
{
    const int list = AddList({rvlstDecimal});
    auto holder = std::make_unique<TCustomRVData>(&Sheet);
    AddPara(*holder, Marker(list, 0));
    auto note = std::make_unique<TRVEndnoteItemInfo>();
    AddPara(note->NoteText(), Marker(list, 0));
    AppendInline(*holder, std::move(note));
    TRVItemEntry taken = holder->ExtractItem(holder->Count() - 1);
    auto& moved = dynamic_cast<TRVEndnoteItemInfo&>(*taken.Item);
    EXPECT_EQ(moved.NoteText().GetParentData(), nullptr);
    holder.reset();

    AddPara(list);
    AddPara(list);
    AppendInline(Doc, std::move(taken.Item));
    EXPECT_EQ(moved.NoteText().GetParentData(), &Doc);
    EXPECT_EQ(Texts(moved.NoteText()), (Strings{"3."}));
}

using SeqNumbering = ListDocTest;

TEST_F(SeqNumbering, SameNameInAnyLetterCaseCountsTogether)
{
    Doc.AppendText("Abbildung ", 0, 0);
    TRVSeqItemInfo& a = AppendInline(Doc, Seq("Abb"));
    TRVSeqItemInfo& table = AppendInline(Doc, Seq("Tab"));
    TRVSeqItemInfo& b = AppendInline(Doc, Seq("aBB", true, 10));
    TRVSeqItemInfo& c = AppendInline(Doc, Seq("ABB", false, 1, rvseqUpperRoman));
    EXPECT_EQ(a.Text, "1");
    EXPECT_EQ(table.Text, "1");
    EXPECT_EQ(b.Text, "10");
    EXPECT_EQ(c.Text, "XI");

    Doc.InsertItemAt(1, {}, Seq("abb"));
    EXPECT_EQ(a.Counter, 2);
    EXPECT_EQ(b.Counter, 10) << "a reset keeps its start";
    EXPECT_EQ(c.Counter, 11);
    Doc.RemoveItems(Doc.IndexOf(&b), 1);
    EXPECT_EQ(c.Text, "III");
}

TEST_F(SeqNumbering, HugeCountersAreWrittenInDecimalDigits)
{
    Doc.AppendText("Abbildung ", 0, 0);
    TRVSeqItemInfo& roman = AppendInline(Doc, Seq("Abb", true, INT_MAX, rvseqUpperRoman));
    TRVSeqItemInfo& next = AppendInline(Doc, Seq("abb", false, 1, rvseqLowerRoman));
    TRVSeqItemInfo& large = AppendInline(Doc, Seq("Tab", true, MaxRomanNumber, rvseqLowerRoman));
    TRVSeqItemInfo& beyond = AppendInline(Doc, Seq("tab", false, 1, rvseqUpperRoman));
    EXPECT_EQ(roman.Text, "2147483647");
    EXPECT_EQ(next.Counter, INT_MIN) << "the counter wraps around";
    EXPECT_EQ(next.Text, "?");
    EXPECT_EQ(large.Text, "mmmcmxcix");
    EXPECT_EQ(beyond.Text, "4000");

    // Endnotes count in lower Roman numerals unless the sheet says otherwise.
    auto endnote = std::make_unique<TRVEndnoteItemInfo>();
    endnote->Reset = true;
    endnote->StartFrom = INT_MAX;
    auto reference = std::make_unique<TRVNoteReferenceItemInfo>();
    TRVNoteReferenceItemInfo& ref = AppendInline(endnote->NoteText(), std::move(reference));
    TRVEndnoteItemInfo& note = AppendInline(Doc, std::move(endnote));
    EXPECT_EQ(Sheet.EndnoteNumbering, rvseqLowerRoman);
    EXPECT_EQ(note.Text, "2147483647");
    EXPECT_EQ(ref.Text, note.Text);
}

TEST_F(SeqNumbering, SequencesInNoteTextContinueTheDocument)
{
    Doc.AppendText("Text", 0, 0);
    AppendInline(Doc, Seq("Abb"));
    auto note = std::make_unique<TRVFootnoteItemInfo>();
    TRVSeqItemInfo& inNote = AppendInline(note->NoteText(), Seq("abb"));
    AppendInline(Doc, std::move(note));
    TRVSeqItemInfo& after = AppendInline(Doc, Seq("Abb"));
    EXPECT_EQ(inNote.Counter, 2);
    EXPECT_EQ(after.Counter, 2);

    Doc.InsertItemAt(0, {}, Seq("ABB"));
    EXPECT_EQ(inNote.Counter, 3);
    RenumberSequences(Doc, "abb");
    EXPECT_EQ(inNote.Counter, 3);
    EXPECT_EQ(after.Counter, 3);
}

TEST(ListItemCopy, FootnoteCopiesItsTextDeep)
{
    TRVStyle sheet;
    TCustomRVData doc(&sheet);
    sheet.ListStyles.Add().Levels.Add().ListType = rvlstDecimal;
    sheet.ListStyles[0].Levels[0].FormatString = "%0:s)";
    doc.AppendText("Text", 0, 0);
    auto note = std::make_unique<TRVFootnoteItemInfo>();
    note->NoteText().AppendItem({}, std::make_unique<TRVMarkerItemInfo>(0, 0));
    note->NoteText().AppendText("Anmerkung", 0, -1);
    TRVFootnoteItemInfo& source = *note;
    note->ParaNo = -1;
    doc.AppendItem({}, std::move(note));

    auto copyItem = source.CreateCopy(false);
    auto* copy = dynamic_cast<TRVFootnoteItemInfo*>(copyItem.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->SeqName, "@footnote@");
    ASSERT_EQ(copy->NoteText().Count(), 2);
    EXPECT_NE(&copy->NoteText().ItemAt(0), &source.NoteText().ItemAt(0));
    EXPECT_EQ(copy->NoteText().OwnerItem(), copy);
    ASSERT_EQ(copy->NoteText().Markers().size(), 1u);
    EXPECT_EQ(copy->NoteText().Markers()[0], &copy->NoteText().ItemAt(0));
    source.NoteText().SetText(1, "geändert");
    EXPECT_EQ(copy->NoteText().TextAt(1), "Anmerkung");

    copyItem->ParaNo = -1;
    doc.AppendItem({}, std::move(copyItem));
    EXPECT_EQ(copy->Text, "2");
    EXPECT_EQ(copy->NoteText().Markers()[0]->DisplayText, "1)") << "note texts continue the document, not each other";
}

TEST(ListItemCopy, OwnFieldsOnlyFromTheSameKind)
{
    TRVMarkerItemInfo marker(3, 1, 7, true);
    TRVLabelItemInfo label;
    label.Tag = "t";
    label.TextStyleNo = 4;
    marker.Assign(label);
    EXPECT_EQ(marker.Tag, "t");
    EXPECT_EQ(marker.StyleNo, rvsListMarker);
    EXPECT_EQ(marker.ListNo, 3);
    EXPECT_TRUE(marker.Reset);

    TRVFootnoteItemInfo footnote;
    footnote.Text = "4";
    footnote.NoteText().AppendText("Fußnote", 0, 0);
    TRVSeqItemInfo seq;
    seq.Assign(footnote);
    EXPECT_EQ(seq.StyleNo, rvsSequence);
    EXPECT_EQ(seq.SeqName, "@footnote@");
    EXPECT_EQ(seq.Text, "4");

    TRVEndnoteItemInfo endnote;
    endnote.NoteText().AppendText("alt", 0, 0);
    endnote.Assign(footnote);
    ASSERT_EQ(endnote.NoteText().Count(), 1);
    EXPECT_EQ(endnote.NoteText().TextAt(0), "Fußnote");
    EXPECT_EQ(endnote.StyleNo, rvsEndnote);
}

TEST(ListItemKinds, RegistryCreatesTheClasses)
{
    RegisterListItemKinds(); // again: harmless
    for (int code : {rvsListMarker, rvsLabel, rvsSequence, rvsFootnote, rvsEndnote, rvsNoteReference}) {
        auto item = CreateItemByStyleNo(code);
        ASSERT_NE(item, nullptr) << code;
        EXPECT_EQ(item->StyleNo, code);
        EXPECT_EQ(item->CreateEmpty()->StyleNo, code);
    }
    TRVEndnoteItemInfo endnote;
    EXPECT_EQ(endnote.SubDocument(0), &endnote.NoteText());
    EXPECT_EQ(TRVSeqItemInfo().SubDocumentCount(), 0);
}

TEST(ListItemStyles, LabelsUseTheirTextStyle)
{
    TRVSeqItemInfo seq;
    seq.TextStyleNo = 2;
    seq.ParaNo = 1;
    TRVStyleUsage usage;
    usage.Text.assign(4, false);
    usage.Para.assign(2, false);
    seq.MarkStylesInUse(usage);
    EXPECT_EQ(usage.Text, (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(usage.Para, (std::vector<bool>{false, true}));

    TRVStyleRenumbering map;
    map.Text = {0, -1, 1, 2};
    seq.UpdateStyles(map);
    EXPECT_EQ(seq.TextStyleNo, 1);
    seq.TextStyleNo = 1;
    seq.UpdateStyles(map);
    EXPECT_EQ(seq.TextStyleNo, 0) << "a label never points at a removed style";
}

} // namespace
} // namespace xq::test
