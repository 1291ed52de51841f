// An editor on the test canvas: a document laid out at a fixed width, with the helpers the
// caret and selection tests share.
#pragma once

#include <string>

#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "platform/TestCanvas.h"

namespace xq::test {

/// Arial 10 pt on the test canvas: lines 15 high; the space and "i l . , ; : ! | '" advance 3,
/// m and w 11, other lower-case letters and digits 6, other capitals 9.
class EditFixture {
public:
    /// An editor without margins whose lines are width pixels wide, in a view of 200 x clientHeight.
    explicit EditFixture(int width = 200, int clientHeight = 100);

    /// Appends a paragraph (or a continuation when paraNo is -1) of 8-bit text in styleNo.
    void Text(const std::string& text, int styleNo = 0, int paraNo = 0) { Data.AppendText(text, styleNo, paraNo); }
    /// A new text style copying style 0.
    int AddTextStyle();
    void Format() { Edit.Format(); }

    /// The caret as "item:offset", with "|" before it when it stands at the start of a line
    /// and after it at the end of one (both for a line of a single stop).
    [[nodiscard]] std::string Caret() const;
    /// The selection as "item:offset-item:offset" from the anchor to the moving end, or "none".
    [[nodiscard]] std::string Selection() const;
    /// The selected characters as UTF-8, "|" between items of a paragraph and "/" where a
    /// paragraph starts (non-text items show nothing).
    [[nodiscard]] std::string SelectedText() const;
    /// The document as the main window saves it (RVF with the style sheet).
    [[nodiscard]] std::string Rvf() const;
    /// The layout left by the last edit is the one a fresh layout makes.
    void ExpectLayoutFresh();
    /// The last edit was one undo step of kind: Undo gives back the bytes before, Redo the
    /// bytes after, each with an exact layout.
    void ExpectOneStep(const std::string& before, TRVUndoType kind);
    [[nodiscard]] int CaretX() const { return Data.CharEnds()[Data.CaretStop()].X; }

    void Key(TRVKey key, TShiftState shift = {}) { Edit.KeyDown(key, shift); }
    void Click(int x, int y, TShiftState shift = {})
    {
        Edit.MouseDown(mbLeft, shift, x, y);
        Edit.MouseUp(mbLeft, shift, x, y);
    }

    TRVStyle Sheet;
    TTestCanvas Canvas;
    TCustomDocViewEdit Edit{&Sheet};
    TRVEditRVData& Data = Edit.RVData();
};

[[nodiscard]] std::string PosText(TRVDocPos pos);

/// The number of random documents a random test edits: its own default, or XQ_EDIT_SEEDS.
[[nodiscard]] unsigned SeedCount(unsigned fallback);

} // namespace xq::test
