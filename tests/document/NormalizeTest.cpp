// NormalizeDocument: every repair it makes, one by one.
#include <gtest/gtest.h>

#include "document/ItemRegistry.h"
#include "document/Normalize.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "support/DocDump.h"

namespace xq {
namespace {

using test::DocDump;

// Builds documents item by item, placing the options exactly as given (as a file reader would),
// so that the normalisation has something to repair.
class NormalizeTest : public ::testing::Test {
protected:
    NormalizeTest() { SetupMainWindowStyleSheet(Sheet); }

    enum Start { Para, Cont, Line, Page };

    TCustomRVItemInfo& Put(std::unique_ptr<TCustomRVItemInfo> item, Start start, int paraNo, std::string text = {},
                           const char* cp = nullptr)
    {
        item->ParaNo = paraNo;
        item->SetItemOptions(start == Cont   ? TCustomRVItemInfo::rvioContinuesPara
                             : start == Line ? TCustomRVItemInfo::rvioNewLine
                             : start == Page ? TCustomRVItemInfo::rvioNewPageBefore
                                             : 0);
        if (cp) {
            auto info = std::make_unique<TRVCPInfo>();
            info->Name = cp;
            item->SetCheckpointDescription(std::move(info));
        }
        TCustomRVItemInfo& ref = *item;
        Doc.InsertItemAt(Doc.Count(), std::move(text), std::move(item));
        return ref;
    }
    TCustomRVItemInfo& PutText(std::string text, Start start, int paraNo = 0, int style = 0, const char* cp = nullptr)
    {
        return Put(std::make_unique<TRVTextItemInfo>(style), start, paraNo, std::move(text), cp);
    }
    void PutMarker(Start start, int paraNo = 0) { Put(CreateItemByStyleNo(rvsListMarker), start, paraNo); }
    void PutBreak(Start start, int paraNo = 0) { Put(std::make_unique<TRVBreakItemInfo>(), start, paraNo); }

    std::string Normalized()
    {
        NormalizeDocument(Doc);
        return DocDump(Doc);
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
};

TEST_F(NormalizeTest, ParagraphStartsAtAndAfterFullLineItemsAndMarkers)
{
    PutText("erst", Cont, 2); // the first item always starts a paragraph
    PutBreak(Cont, 1);
    PutText("danach", Line, 3);
    PutMarker(Cont, 4);
    PutText("Punkt", Para, 4);
    EXPECT_EQ(Normalized(), R"([p2]"erst" [p1]<-1> [p3]"danach" [p4]<-11> "Punkt")");
}

TEST_F(NormalizeTest, ItemsOfAParagraphShareItsNumber)
{
    PutText("a", Para, 1);
    PutText("b", Cont, 5, 2);
    PutText("c", Line, 0);
    PutText("d", Para, 2);
    EXPECT_EQ(Normalized(), R"([p1]"a" "b"s2 /"c" [p2]"d")");
}

TEST_F(NormalizeTest, EmptyParagraphStartHandsOverPageBreakAndCheckpoint)
{
    PutText("vorher", Para, 0);
    PutText("", Page, 1, 0, "marke");
    PutText("Text", Cont, 1, 2);
    EXPECT_EQ(Normalized(), R"([p0]"vorher" @marke [p1^]"Text"s2)");
    EXPECT_EQ(Doc.CheckpointCount(), 1);
}

TEST_F(NormalizeTest, EmptyLineStartHandsOverTheLineBreak)
{
    PutText("a", Para, 0);
    PutText("", Line, 0);
    PutText("b", Cont, 0, 1);
    EXPECT_EQ(Normalized(), R"([p0]"a" /"b"s1)");
}

TEST_F(NormalizeTest, EmptyParagraphAloneStays)
{
    PutText("", Para, 0);
    PutText("", Para, 1);
    PutText("x", Para, 0);
    EXPECT_EQ(Normalized(), R"([p0]"" [p1]"" [p0]"x")");
}

TEST_F(NormalizeTest, EmptyPiecesInsideAParagraphGo)
{
    PutText("a", Para, 0);
    PutText("", Cont, 0, 1, "cp");
    PutText("b", Cont, 0, 2);
    PutText("", Cont, 0, 3); // at the end of the paragraph, without checkpoint
    EXPECT_EQ(Normalized(), R"([p0]"a" @cp "b"s2)") << "the checkpoint moves on to the next piece";
}

TEST_F(NormalizeTest, EmptyPieceCheckpointIsNotMovedOntoAnother)
{
    PutText("a", Para, 0);
    PutText("", Cont, 0, 1, "weg");
    PutText("b", Cont, 0, 2, "bleibt");
    EXPECT_EQ(Normalized(), R"([p0]"a" @bleibt "b"s2)");
    EXPECT_EQ(Doc.CheckpointCount(), 1);
}

TEST_F(NormalizeTest, AdjacentTextOfOneStyleAndTagJoins)
{
    PutText("Guten ", Para, 0);
    PutText("Tag", Cont, 0);
    PutText(", Herr", Cont, 0);
    PutText(" Link", Cont, 0).Tag = "http://x";
    PutText(" ziel", Cont, 0).Tag = "http://x";
    PutText(" anders", Cont, 0).Tag = "http://y";
    PutText(" frei", Cont, 0, 0, "cp");
    PutText("!", Cont, 0);
    EXPECT_EQ(Normalized(),
              R"([p0]"Guten Tag, Herr" " Link ziel"{http://x} " anders"{http://y} @cp " frei!")");
}

TEST_F(NormalizeTest, TextIsNotJoinedAcrossParagraphsOrLines)
{
    PutText("a", Para, 0);
    PutText("b", Para, 0);
    PutText("c", Line, 0);
    EXPECT_EQ(Normalized(), R"([p0]"a" [p0]"b" /"c")");
}

TEST_F(NormalizeTest, MarkersAlwaysHaveTextAfterThem)
{
    PutMarker(Para, 1);
    PutMarker(Para, 2);
    PutText("zwei", Para, 2);
    PutMarker(Para, 3);
    EXPECT_EQ(Normalized(), R"([p1]<-11> "" [p2]<-11> "zwei" [p3]<-11> "")");
    EXPECT_EQ(Doc.ParaOf(1), 1) << "the inserted text belongs to its marker's paragraph";
}

TEST_F(NormalizeTest, TextAfterAMarkerJoinsItsParagraph)
{
    PutMarker(Para, 1);
    PutText("Punkt", Para, 4); // a paragraph start of its own in the file
    PutMarker(Para, 2);
    PutBreak(Para, 3); // a line never continues a marker's paragraph
    EXPECT_EQ(Normalized(), R"([p1]<-11> "Punkt" [p2]<-11> "" [p3]<-1>)");
    EXPECT_EQ(Doc.ParaOf(1), 1);
}

TEST_F(NormalizeTest, EmptyTextAfterAMarkerStays)
{
    PutMarker(Para, 0);
    PutText("", Cont, 0);
    PutText("Punkt", Cont, 0, 1);
    EXPECT_EQ(Normalized(), R"([p0]<-11> "" "Punkt"s1)");
}

TEST_F(NormalizeTest, UnicodeFillerFollowsTextStyleZero)
{
    Sheet.TextStyles[0].Unicode = true;
    PutMarker(Para, 0);
    NormalizeDocument(Doc);
    ASSERT_EQ(Doc.Count(), 2);
    EXPECT_TRUE(Doc.ItemAt(1).IsUnicode());
}

TEST_F(NormalizeTest, NormalizingTwiceChangesNothing)
{
    PutText("", Page, 0);
    PutText("a", Cont, 0);
    PutText("a", Cont, 0);
    PutMarker(Cont, 2);
    PutBreak(Line, 3);
    PutText("", Cont, 1);
    const std::string once = Normalized();
    EXPECT_EQ(Normalized(), once);
}

TEST_F(NormalizeTest, EmptyDocumentStaysEmpty)
{
    EXPECT_EQ(Normalized(), "");
}

} // namespace
} // namespace xq
