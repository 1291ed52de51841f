// A walk over the words of an editor's document, the words of its table cells included, that
// lets a subclass decide on each word and replaces words as an ordinary edit of the editor.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "editing/EditTypes.h"

namespace xq {

class TCustomDocViewEdit;
class TCustomRVData;

class TRVWordEnumerator {
public:
    /// How many words pass between two calls of OnYield.
    static constexpr int YieldInterval = 500;

    explicit TRVWordEnumerator(TCustomDocViewEdit& editor);
    virtual ~TRVWordEnumerator() = default;
    TRVWordEnumerator(const TRVWordEnumerator&) = delete;
    TRVWordEnumerator& operator=(const TRVWordEnumerator&) = delete;

    /// Called every YieldInterval words, so that the window can paint during a long walk. It must
    /// not change the document.
    std::function<void()> OnYield;

    /// Walks from the document's first item (fromStart) or from the start of the word at the
    /// caret of the innermost editor, through every later item and cell, until the end of the
    /// document or until a decision stops it. False when it was stopped.
    bool Run(bool fromStart);
    [[nodiscard]] bool Running() const noexcept { return Running_; }

protected:
    enum class TDecision { Continue, Stop };
    /// Decides on CurrentWord (UTF-8) in text style StyleNo. Setting Changed replaces the word in
    /// the document with CurrentWord as it is then.
    virtual TDecision DecideOnWord() = 0;
    /// Selects the current word in the document (editing its cell) and scrolls to it.
    void SelectCurrentWord();

    TCustomDocViewEdit& Editor;
    /// Characters that end a word: the editor's delimiters.
    std::u16string Delimiters;
    std::string CurrentWord;
    int StyleNo = -1;
    bool Changed = false;

private:
    /// The container path leads to from the editor's document; null when the path is no longer
    /// valid.
    [[nodiscard]] TCustomRVData* ContainerAt(const std::vector<TRVCellStep>& path) const;
    /// The items of the container from itemNo on; the first from caret offset offset (-1: whole).
    bool WalkItems(std::vector<TRVCellStep>& path, int itemNo, int offset);
    /// The cells of the table at itemNo after the cell (row, col); every cell when row is -1.
    bool WalkCells(std::vector<TRVCellStep>& path, int itemNo, int row, int col);
    /// The words of text item itemNo from caret offset offset on; itemNo moves on when a
    /// replacement leaves the caret in a later item.
    bool WalkText(const std::vector<TRVCellStep>& path, int& itemNo, int offset);
    [[nodiscard]] bool IsDelimiter(char16_t c) const noexcept;
    void CountWord();

    bool Running_ = false;
    int Counter_ = YieldInterval;
    std::vector<TRVCellStep> WordPath_;
    TRVDocPos WordStart_, WordEnd_;
};

} // namespace xq
