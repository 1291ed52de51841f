// The container's change channel: every change is told before it is made, with the items still as
// they were, and a change that is refused (an index out of bounds) is told nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "support/DocDump.h"

namespace xq {
namespace {

using test::DocDump;

/// Writes down each call with the document as it stood at the call.
class Recorder final : public TRVChangeObserver {
public:
    explicit Recorder(const TCustomRVData& doc) : Doc_(doc) {}
    void ItemsInserting(int index, int count) override { Calls.push_back(Call("insert", index, count)); }
    void ItemsRemoving(int first, int count) override { Calls.push_back(Call("remove", first, count)); }
    void ItemsChanging(int first, int last, TRVItemChange change) override
    {
        static const char* const kinds[] = {"content", "flags", "data"};
        Calls.push_back(Call(kinds[int(change)], first, last));
    }
    std::vector<std::string> Calls;

private:
    std::string Call(const char* what, int a, int b) const
    {
        return std::string(what) + " " + std::to_string(a) + " " + std::to_string(b) + " in " + DocDump(Doc_);
    }
    const TCustomRVData& Doc_;
};

class ChangeChannelTest : public ::testing::Test {
protected:
    ChangeChannelTest()
    {
        Doc.AppendText("a", 0, 0);
        Doc.AppendText("b", 0, 0);
        Doc.AppendText("c", 0, 0);
        Doc.SetChangeObserver(&Heard);
    }
    std::unique_ptr<TCustomRVItemInfo> Text() { return std::make_unique<TRVTextItemInfo>(0); }
    std::vector<TRVItemEntry> Entries(int n)
    {
        std::vector<TRVItemEntry> entries;
        for (int k = 0; k < n; ++k)
            entries.push_back({"n", Text()});
        return entries;
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
    Recorder Heard{Doc};
};

TEST_F(ChangeChannelTest, InsertionsAndRemovalsAreToldBeforeWithTheirCounts)
{
    Doc.InsertItemAt(1, "n", Text());
    Doc.InsertItems(4, Entries(2));
    (void)Doc.ExtractItem(0);
    Doc.RemoveItems(3, 10); // cut at the end: two go
    (void)Doc.ExtractItems(0, 2);
    const std::vector<std::string> expected = {
        R"(insert 1 1 in [p0]"a" [p0]"b" [p0]"c")",
        R"(insert 4 2 in [p0]"a" [p0]"n" [p0]"b" [p0]"c")",
        R"(remove 0 1 in [p0]"a" [p0]"n" [p0]"b" [p0]"c" [p0]"n" [p0]"n")",
        R"(remove 3 2 in [p0]"n" [p0]"b" [p0]"c" [p0]"n" [p0]"n")",
        R"(remove 0 2 in [p0]"n" [p0]"b" [p0]"c")",
    };
    EXPECT_EQ(Heard.Calls, expected);
}

TEST_F(ChangeChannelTest, InPlaceChangesAreToldBeforeTheItemChanges)
{
    Doc.SetText(1, "B");
    auto cp = std::make_unique<TRVCPInfo>();
    cp->Name = "m";
    Doc.SetCheckpoint(2, std::move(cp));
    Doc.RemoveCheckpoint(0); // none there: nothing changes, nothing is told
    Doc.RemoveCheckpoint(2);
    Doc.ItemsChanging(0, 1, TRVItemChange::ParagraphFlags);
    Doc.ItemChanging(2, TRVItemChange::Data);
    const std::vector<std::string> expected = {
        R"(content 1 1 in [p0]"a" [p0]"b" [p0]"c")",
        R"(content 2 2 in [p0]"a" [p0]"B" [p0]"c")",
        R"(content 2 2 in [p0]"a" [p0]"B" @m [p0]"c")",
        R"(flags 0 1 in [p0]"a" [p0]"B" [p0]"c")",
        R"(data 2 2 in [p0]"a" [p0]"B" [p0]"c")",
    };
    EXPECT_EQ(Heard.Calls, expected);
}

TEST_F(ChangeChannelTest, AppendingClearingAndRefusedChanges)
{
    Doc.AppendText("d", 0, -1);
    EXPECT_THROW(Doc.SetText(7, "x"), std::exception);
    EXPECT_THROW(Doc.InsertItemAt(9, "x", Text()), std::exception);
    EXPECT_THROW(Doc.SetItemExtraIntProperty(8, rvepImageWidth, 1), std::exception);
    Doc.Clear();
    Doc.Clear(); // empty: nothing to tell
    const std::vector<std::string> expected = {
        R"(insert 3 1 in [p0]"a" [p0]"b" [p0]"c")",
        R"(remove 0 4 in [p0]"a" [p0]"b" [p0]"c" "d")",
    };
    EXPECT_EQ(Heard.Calls, expected);
    Doc.SetChangeObserver(nullptr);
    Doc.AppendText("e", 0, 0);
    EXPECT_EQ(Heard.Calls.size(), 2u) << "no observer, no calls";
}

} // namespace
} // namespace xq
