// A document with list styles for the list tests: paragraphs that start with markers.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "lists/ListItems.h"

namespace xq::test {

class ListDocTest : public ::testing::Test {
protected:
    /// A list with one level per kind, each with the template format.
    int AddList(std::initializer_list<TRVListType> kinds, const std::string& format = "%0:s.")
    {
        TRVListInfo& list = Sheet.ListStyles.Add();
        for (TRVListType kind : kinds) {
            TRVListLevel& level = list.Levels.Add();
            level.ListType = kind;
            level.FormatString = format;
        }
        return Sheet.ListStyles.Count() - 1;
    }

    static std::unique_ptr<TRVMarkerItemInfo> Marker(int listNo, int level, bool reset = false, int startFrom = 1)
    {
        return std::make_unique<TRVMarkerItemInfo>(listNo, level, startFrom, reset);
    }

    /// Appends a list paragraph: the marker and a piece of text.
    static TRVMarkerItemInfo& AddPara(TCustomRVData& doc, std::unique_ptr<TRVMarkerItemInfo> marker)
    {
        TRVMarkerItemInfo& added = *marker;
        doc.AppendItem({}, std::move(marker));
        doc.AppendText("x", 0, -1);
        return added;
    }
    TRVMarkerItemInfo& AddPara(int listNo, int level = 0, bool reset = false, int startFrom = 1)
    {
        return AddPara(Doc, Marker(listNo, level, reset, startFrom));
    }

    /// The marker texts of a container in list order.
    static std::vector<std::string> Texts(const TCustomRVData& doc)
    {
        std::vector<std::string> texts;
        for (const TRVMarkerItemInfo* m : doc.Markers())
            texts.push_back(m->DisplayText);
        return texts;
    }
    static std::vector<int> Counters(const TCustomRVData& doc)
    {
        std::vector<int> counters;
        for (const TRVMarkerItemInfo* m : doc.Markers())
            counters.push_back(m->Counter);
        return counters;
    }

    TRVStyle Sheet;
    TCustomRVData Doc{&Sheet};
};

using Strings = std::vector<std::string>;
using Ints = std::vector<int>;

} // namespace xq::test
