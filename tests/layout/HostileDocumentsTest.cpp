// Small files made to cost far more than their size (tests/data/hostile): each loads, lays out
// on the test canvas and paints in well under a second, with texts and positions in bounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "document/DocumentInfo.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/DocumentFiles.h"
#include "formats/rvf/RvfReader.h"
#include "formats/rvf/RvfWriter.h"
#include "layout/FormattedData.h"
#include "layout/Painter.h"
#include "lists/ListItems.h"
#include "lists/Numbering.h"
#include "platform/TestCanvas.h"
#include "printing/PageSettings.h"
#include "printing/Print.h"
#include "printing/ScreenPageSize.h"
#include "support/TestPrinter.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

namespace xq {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

fs::path HostileDir()
{
    return fs::path(test::SourceDir()) / "tests" / "data" / "hostile";
}

std::vector<fs::path> HostileFiles()
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(HostileDir()))
        if (entry.path().extension() == ".rvf")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

/// A document loaded as the editor loads it, laid out at the width its page gives.
struct TLoaded {
    explicit TLoaded(const fs::path& file)
    {
        SetupMainWindowStyleSheet(Sheet);
        Result = LoadDocumentFile(file, Sheet, Doc, Info);
        const TSize page = ScreenPageSize(PageMetricsOf(Info.DocParameters), MarginsOf(Info.DocParameters), 96, 96);
        Doc.LeftMargin = EditorLeftMargin;
        Doc.RightMargin = EditorRightMargin;
        Doc.MinTextWidth = Doc.MaxTextWidth = EditorTextWidth(page.Width);
        Doc.Options.Include(rvoShowSpecialCharacters);
        Doc.SetFormatCanvas(&Measure);
        Doc.FormatAll(false, true);
    }

    /// Paints a view of 800 x 1000 pixels at the top and at the bottom of the document.
    void Paint()
    {
        for (const std::int32_t scroll : {0, std::max(Doc.TotalHeight() - 1000, 0)}) {
            TRVPaintRequest request;
            request.Rect = {0, 0, 800, 1000};
            request.ScrollY = scroll;
            request.Editable = true;
            PaintDocument(Doc, Canvas, request);
        }
    }

    TRVStyle Sheet;
    TCustomRVFormattedData Doc{&Sheet};
    TRVDocumentInfo Info;
    TLoadResult Result;
    TTestCanvas Measure;
    TTestCanvas Canvas;
};

/// The longest text a marker, label, sequence or note of the container (and those below) shows.
std::size_t LongestNumberedText(const TCustomRVData& data)
{
    std::size_t longest = 0;
    for (const TRVMarkerItemInfo* marker : data.Markers())
        longest = std::max(longest, marker->DisplayText.size());
    for (int i = 0; i < data.Count(); ++i) {
        const TCustomRVItemInfo& item = data.ItemAt(i);
        if (const auto* seq = dynamic_cast<const TRVSeqItemInfo*>(&item))
            longest = std::max(longest, seq->Text.size());
        for (int k = 0; k < item.SubDocumentCount(); ++k)
            if (const TCustomRVData* sub = item.SubDocument(k))
                longest = std::max(longest, LongestNumberedText(*sub));
    }
    return longest;
}

TEST(HostileDocuments, EachLoadsLaysOutAndPaintsInWellUnderASecond)
{
    const std::vector<fs::path> files = HostileFiles();
    ASSERT_GE(files.size(), 9u);
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        const Clock::time_point start = Clock::now();
        TLoaded loaded(file);
        loaded.Paint();
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        EXPECT_LT(ms, 500);
        EXPECT_TRUE(loaded.Result.Ok) << loaded.Result.Error;
        EXPECT_GT(loaded.Doc.Count(), 0);
        EXPECT_GT(loaded.Canvas.Ops().size(), 0u);

        // What the numbering shows stays short, whatever the counters and templates say.
        EXPECT_LE(LongestNumberedText(loaded.Doc), MaxFormattedText);

        // Every piece lies within the layout's coordinates, so that the sums made of it fit.
        const TRVDrawLines& lines = loaded.Doc.DrawItems();
        ASSERT_GT(lines.Count(), 0);
        for (int i = 0; i < lines.Count(); ++i) {
            const TRVDrawLineInfo& d = lines[i];
            ASSERT_LE(std::abs(std::int64_t{d.Left}) + std::abs(std::int64_t{d.Width}),
                      std::int64_t{MaxLayoutCoordinate} + MaxLineExtent) << i;
            ASSERT_LE(std::abs(std::int64_t{d.Top}) + std::abs(std::int64_t{d.Height}) + std::abs(std::int64_t{d.LineGapAfter}),
                      std::int64_t{MaxLayoutCoordinate} + 2 * std::int64_t{MaxLineExtent}) << i;
        }
        EXPECT_GE(loaded.Doc.TotalHeight(), 0);
    }
}

TEST(HostileDocuments, EachPaginatesAndPrintsWithItsPageSettings)
{
    // A4 at 300 dpi with a border the printer cannot reach; the document's own property lines
    // (whatever they hold) give margins, header and footer.
    for (const fs::path& file : HostileFiles()) {
        SCOPED_TRACE(file.filename().string());
        const Clock::time_point start = Clock::now();
        TLoaded loaded(file);
        test::TTestPrinter printer(2480, 3508, 300, 50);
        TRVPrint print;
        TPageState state;
        TPageSetup setup(state, print, &printer);
        setup.ReadPageSettings(loaded.Info.DocProperties);
        state.Header.Text = "Seite &p von &P";
        print.OnPagePrepaint = HeaderFooterPainter(state);
        print.SetPrinter(&printer);
        print.UseDocumentOf(loaded.Doc, &loaded.Info);
        const int pages = print.PaginateDocument();
        EXPECT_GE(pages, 1);
        EXPECT_LE(pages, loaded.Doc.DrawItems().Count() + 1) << "every page takes at least one line";
        EXPECT_TRUE(print.PrintAll("XQEditor", 1, false));
        EXPECT_EQ(printer.Pages.size(), std::size_t(pages));
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        EXPECT_LT(ms, 2000);
    }
}

TEST(HostileDocuments, WrittenBackTheyReadAsTheyWereRead)
{
    // The held values are ordinary values: a second round through the writer changes nothing.
    for (const fs::path& file : HostileFiles()) {
        SCOPED_TRACE(file.filename().string());
        TLoaded loaded(file);
        std::string first;
        ASSERT_TRUE(TRVFWriter(loaded.Sheet, RVFMainWindowOptions).WriteDocument(loaded.Doc, &loaded.Info, first));
        EXPECT_LT(first.size(), 4 * fs::file_size(file) + 4096) << "nothing grew on the way";
        TRVStyle sheet;
        SetupMainWindowStyleSheet(sheet);
        TCustomRVData again(&sheet);
        TRVDocumentInfo info;
        ASSERT_TRUE(TRVFReader(sheet, RVFMainWindowOptions).ReadDocument(again, &info, first));
        std::string second;
        ASSERT_TRUE(TRVFWriter(sheet, RVFMainWindowOptions).WriteDocument(again, &info, second));
        EXPECT_EQ(second, first);
    }
}

TEST(HostileDocuments, HugeRomanCountersShowTheirDigits)
{
    TLoaded x50(HostileDir() / "marker-roman-format-x50.rvf");
    ASSERT_EQ(x50.Doc.Markers().size(), 1u);
    std::string digits;
    for (int k = 0; k < 50; ++k)
        digits += std::to_string(INT32_MAX);
    EXPECT_EQ(x50.Doc.Markers()[0]->DisplayText, digits);

    TLoaded endnote(HostileDir() / "endnote-roman-int32max-x1.rvf");
    ASSERT_EQ(endnote.Doc.Sequences().size(), 1u);
    EXPECT_EQ(endnote.Doc.Sequences()[0]->Text, std::to_string(INT32_MAX)) << "lower Roman is decimal up there";

    TLoaded bomb(HostileDir() / "list-levels-roman-format-bomb.rvf");
    ASSERT_FALSE(bomb.Doc.Markers().empty());
    for (const TRVMarkerItemInfo* marker : bomb.Doc.Markers())
        EXPECT_LE(marker->DisplayText.size(), MaxFormattedText);
}

} // namespace
} // namespace xq
