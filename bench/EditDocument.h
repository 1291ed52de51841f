// The main window's editor on the middle paragraphs of the German document, laid out with real
// fonts: the document of the editing benchmarks.
#pragma once

#include "GermanDocument.h"
#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "platform/qt/QtCanvas.h"

namespace xq::bench {

constexpr int kTextWidth = 600;
constexpr int kDpi = 96;

/// The main window's editor on the middle paragraphs of the German document, laid out on a Qt
/// measuring canvas, the caret in the middle of the middle paragraph.
struct TEditDocument {
    TRVStyle Sheet;
    TQtCanvas Canvas{kDpi, kDpi};
    TDocViewEdit Edit{&Sheet};
    TRVEditRVData& Data = Edit.RVData();

    explicit TEditDocument(int paragraphs, int from = -1)
    {
        SetupMainWindowStyleSheet(Sheet);
        TFontInfo& bold = Sheet.TextStyles.Add();
        bold.CopyStyle(Sheet.TextStyles.StyleAt(0));
        bold.StyleName = "Fett";
        bold.Style = TFontStyles{fsBold};
        const int boldStyle = Sheet.TextStyles.Count() - 1;
        const auto& source = GermanParagraphs();
        if (from < 0)
            from = FirstKept(paragraphs);
        for (int p = 0; p < paragraphs; ++p) {
            if (p == paragraphs / 2)
                MiddleItem = Data.Count();
            bool first = true;
            for (const TRun& run : source[std::size_t(from + p)].Runs) {
                Data.AppendTextW(run.Text, run.Bold ? boldStyle : 0, first ? 0 : -1);
                first = false;
            }
        }
        Data.MinTextWidth = Data.MaxTextWidth = kTextWidth;
        Data.ClientWidth = kTextWidth + 15;
        Data.ClientHeight = 800;
        Data.SetFormatCanvas(&Canvas);
        Edit.Format();
        int run = 0, offset = 0;
        MiddleOf(source[std::size_t(from + paragraphs / 2)], run, offset);
        Edit.SetCaretDocPos({MiddleItem + run, offset + 1});
    }

    int MiddleItem = 0;
};

} // namespace xq::bench
