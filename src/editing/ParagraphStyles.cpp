// Applying paragraph styles: every paragraph from the selection's first to its last (or the
// caret's) gets a given style, or the one the application's conversion handler answers for its
// old one; paragraphs of a style-protected paragraph style keep theirs.
#include <map>

#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "editing/TableInplaceEdit.h"
#include "editing/EditStep.h"

namespace xq {

void TCustomDocViewEdit::SetParaStyleOfSelection(int paraNo)
{
    if (CellEditor_) {
        CellEditor_->SetParaStyleOfSelection(paraNo);
        return;
    }
    const TRVStyle* sheet = GetRVStyle();
    if (!sheet || paraNo < 0 || paraNo >= sheet->ParaStyles.Count())
        return;
    ApplyParaStyles([paraNo](int, bool) { return paraNo; });
}

void TCustomDocViewEdit::ConvertParaStyles(int userData)
{
    if (CellEditor_) {
        CellEditor_->ConvertParaStyles(userData);
        return;
    }
    if (!OnParaStyleConversion)
        return;
    ApplyParaStyles([this, userData](int paraNo, bool appliedToText) {
        int newParaNo = paraNo;
        OnParaStyleConversion(*this, paraNo, userData, appliedToText, newParaNo);
        return newParaNo;
    });
}

void TCustomDocViewEdit::ApplyParaStyles(const TStyleAnswer& answer)
{
    if (!BeginEdit())
        return;
    const TRVStyle& sheet = *GetRVStyle();
    const TEditSelection sel = EditSelection();
    const int first = Data_.ParagraphFirstItem(sel.First.ItemNo);
    const int last = LastItemOfParagraph(sel.Last.ItemNo);
    // The handler is asked once per old style.
    std::map<int, int> answers;
    const auto valid = [&sheet](int paraNo) { return paraNo >= 0 && paraNo < sheet.ParaStyles.Count(); };
    std::vector<int> styles;
    bool changed = false;
    for (int i = first; i <= last; ++i) {
        if (i != first && !Data_.StartsParagraph(i))
            continue;
        const int old = Data_.ParaOf(i);
        int to = old;
        if (!valid(old) || !sheet.ParaStyles[old].Options.Contains(rvpaoStyleProtect)) {
            auto it = answers.find(old);
            if (it == answers.end())
                it = answers.emplace(old, answer(old, true)).first;
            if (valid(it->second))
                to = it->second;
        }
        styles.push_back(to);
        changed = changed || to != old;
    }
    if (!changed)
        return;
    TRVEditStep step(*this, rvutPara);
    RecSetParaStyles(first, last, styles);
    CommitKeepingSelection(step, sel);
}

} // namespace xq
