// Documents the format tests build and read.
#include "support/DocumentBuilders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "document/Graphic.h"
#include "document/ItemInfo.h"
#include "document/RVData.h"
#include "pictures/PictureKinds.h"
#include "support/RunProgram.h"
#include "tables/TableItem.h"

namespace xq::test {

namespace fs = std::filesystem;

void AppendPicture(TCustomRVData& into, const std::string& bytes, int width, int height, int paraNo)
{
    auto picture = std::make_unique<TRVGraphicItemInfo>();
    picture->Image = LoadGraphic(bytes);
    ASSERT_TRUE(picture->Image);
    picture->ImageWidth = width;
    picture->ImageHeight = height;
    picture->ParaNo = paraNo;
    into.AppendItem("", std::move(picture));
}

void LabelCells(TRVTableItemInfo& table, const std::string& prefix)
{
    for (int r = 0; r < table.Rows.Count(); ++r)
        for (int c = 0; c < table.Rows[r].Count(); ++c) {
            table.Cells(r, c)->Clear();
            table.Cells(r, c)->AppendText(prefix + std::to_string(r) + std::to_string(c), 0, 0);
        }
}

std::vector<fs::path> CommittedDocuments()
{
    static const char* const repaired[] = {
        "table-negative-span.rvf",       // a negative span, cut to 1
        "table-overlapping-spans.rvf",   // two merged cells claiming the same slot
        "table-span-beyond-grid.rvf",    // a span reaching past the last row and column
        "table-zero-span.rvf",           // a span of 0
        "unicode-dangling-odd-byte.rvf", // Unicode text of an odd number of bytes
    };
    std::vector<fs::path> files;
    const fs::path source(SourceDir());
    for (const auto& entry : fs::directory_iterator(source / "tests" / "data" / "rvf")) {
        const std::string name = entry.path().filename().string();
        if (std::find(std::begin(repaired), std::end(repaired), name) == std::end(repaired))
            files.push_back(entry.path());
    }
    for (const auto& entry : fs::directory_iterator(source / "data" / "sample" / "AText"))
        if (entry.path().extension() == ".xtb")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace xq::test
