// Spelling while typing in the main window: the menu item "Prüfen während der Eingabe", the timers
// that read the document in small steps and end a single check, the answers of the worker coming
// back on this thread, and the context menu over a marked word.
#include "app/FormED.h"

#include <utility>

#include <QAction>
#include <QMenu>
#include <QMetaObject>
#include <QTimer>

#include "app/DocViewEditWidget.h"
#include "document/ItemText.h"
#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "platform/CodePage.h"
#include "platform/qt/QtText.h"
#include "spelling/LiveSpelling.h"
#include "spelling/RVXQSpell.h"

namespace xq {

namespace {

/// Work of one reading step on this thread (an item or a word each): about a millisecond.
constexpr int LiveStepBudget = 2000;
/// Suggestions offered in the context menu.
constexpr std::size_t MaxMenuSuggestions = 5;

/// The marked word at the caret of editor: its item and mark; false when the caret is on none.
bool MarkAtCaret(TCustomDocViewEdit& editor, int& itemNo, TRVMisspelling& mark)
{
    const TRVEditRVData& data = editor.RVData();
    if (!data.CaretValid() || editor.SelectionExists())
        return false;
    const TRVDocPos caret = data.CaretDocPos();
    if (caret.ItemNo < 0 || caret.ItemNo >= data.Count())
        return false;
    const TCustomRVItemInfo& item = data.ItemAt(caret.ItemNo);
    if (!item.IsText() || !item.Misspellings)
        return false;
    for (const TRVMisspelling& m : *item.Misspellings)
        if (caret.Offset >= m.Start && caret.Offset <= m.Start + m.Length) {
            itemNo = caret.ItemNo;
            mark = m;
            return true;
        }
    return false;
}

} // namespace

void TFormED::SetUpLiveSpelling()
{
    if (!LiveTimer_) {
        LiveTimer_ = new QTimer(this);
        LiveTimer_->setSingleShot(true);
        connect(LiveTimer_, &QTimer::timeout, this, [this] { LiveSpellingStep(); });
        SPT = new QTimer(this);
        SPT->setSingleShot(true);
        SPT->setInterval(SingleCheckMs);
        connect(SPT, &QTimer::timeout, this, [this] {
            if (!Run_.LiveSpelling)
                StopLiveSpelling();
        });
        connect(mitLiveSpelling, &QAction::triggered, this, [this](bool checked) { mitLiveSpellingClick(checked); });
    }
    if (Run_.SpellingUnavailable) {
        Live_.reset();
        Run_.LiveSpelling = false;
        return;
    }
    TRVXQSpell& bridge = SpellBridge();
    Live_ = std::make_unique<TRVLiveSpelling>(Doc_->Data(), Doc_->RStyle);
    Live_->Delimiters = Doc_->Editor.Delimiters;
    Live_->LanguageOfStyle = [&bridge](int styleNo) { return bridge.LanguageOfStyle(styleNo); };
    Live_->IsIgnored = [&bridge](const std::string& word, int language) {
        return bridge.IgnoreList.Contains(word, language);
    };
    // The worker asks the checker, whose spellers each answer under their own lock.
    Live_->OnSpellingCheck = [checker = &SpellChecker1](const std::string& word, int language) {
        return !checker->IsWordCorrect(word, language);
    };
    Live_->OnAnswersReady = [this] {
        QMetaObject::invokeMethod(this, [this] { LiveSpellingAnswers(); }, Qt::QueuedConnection);
    };
    Live_->OnMisspellingFound = [this] { Run_.MisspellingFound = true; };
    // A typed character is told before it changes the item: the word at the caret is being typed.
    if (!LiveTypingHooked_) {
        LiveTypingHooked_ = true;
        TDocViewEdit& edit = Doc_->Editor;
        edit.OnItemTextEdit = [this, before = edit.OnItemTextEdit](TCustomDocViewEdit& sender, const std::string& oldText,
                                                                   TCustomRVData& data, int itemNo, std::string& newTag,
                                                                   int& newStyleNo) {
            if (before)
                before(sender, oldText, data, itemNo, newTag, newStyleNo);
            LiveTyped_ = true;
        };
    }
    mitLiveSpelling->setEnabled(true);
    mitLiveSpelling->setChecked(Run_.LiveSpelling);
    if (Run_.LiveSpelling)
        StartLiveSpelling();
}

void TFormED::mitLiveSpellingClick(bool checked)
{
    if (!Live_)
        return;
    mitLiveSpelling->setChecked(checked);
    Run_.LiveSpelling = checked;
    if (checked) {
        Run_.MisspellingFound = false;
        StartLiveSpelling();
    } else {
        StopLiveSpelling();
    }
}

void TFormED::StartLiveSpelling()
{
    if (!Live_)
        return;
    SPT->stop();
    Live_->Start();
    rve->Invalidate();
    ScheduleLiveSpelling(0);
}

void TFormED::StopLiveSpelling()
{
    if (!Live_)
        return;
    SPT->stop();
    LiveTimer_->stop();
    if (Live_->Stop())
        rve->Invalidate();
}

void TFormED::RestartLiveSpelling()
{
    if (!Live_)
        return;
    StartLiveSpelling();
    if (!Run_.LiveSpelling)
        SPT->start();
}

void TFormED::DocumentReplaced(bool loaded)
{
    if (!Live_)
        return;
    // A new document restarts spelling while typing; a loaded one is also checked once when it is off.
    if (Run_.LiveSpelling || loaded)
        RestartLiveSpelling();
    else
        StopLiveSpelling();
}

void TFormED::LiveSpellingChanged()
{
    if (!Live_ || !Live_->Active())
        return;
    if (Busy_) {
        // A long step changes the document on its own thread: the reading waits until it is done.
        LiveChangedWhileBusy_ = true;
        QMetaObject::invokeMethod(this, [this] { ScheduleLiveSpelling(LiveSpellingQuietMs); }, Qt::QueuedConnection);
        return;
    }
    const TRVEditRVData& data = Doc_->Data();
    Live_->DocumentChanged(data.CaretValid() ? data.CaretDocPos().ItemNo : 0);
    // A letter just typed: its word waits for its end before it may be marked.
    const bool typed = std::exchange(LiveTyped_, false);
    TCustomDocViewEdit& inner = Doc_->Editor.InnermostEditor();
    const TRVEditRVData& innerData = inner.RVData();
    bool holds = false;
    if (typed && innerData.CaretValid() && !inner.SelectionExists()) {
        const TRVDocPos caret = innerData.CaretDocPos();
        holds = caret.ItemNo >= 0 && caret.ItemNo < innerData.Count() && innerData.ItemAt(caret.ItemNo).IsText() &&
                caret.Offset > 1 && !innerData.IsDelimiterAt(caret.ItemNo, caret.Offset - 1, Live_->Delimiters);
        if (holds)
            Live_->HoldWordAt(&innerData.ItemAt(caret.ItemNo), caret.Offset);
    }
    if (!holds)
        Live_->ReleaseHeldWord();
    // Reading goes on only after a quiet time without changes.
    ScheduleLiveSpelling(LiveSpellingQuietMs);
}

void TFormED::LiveSpellingCaretMoved()
{
    if (Busy_ || !Live_ || !Live_->HoldsWord())
        return;
    const TRVEditRVData& data = Doc_->Editor.InnermostEditor().RVData();
    if (data.CaretValid()) {
        const TRVDocPos caret = data.CaretDocPos();
        if (caret.ItemNo >= 0 && caret.ItemNo < data.Count() && Live_->HoldsWordAt(&data.ItemAt(caret.ItemNo), caret.Offset))
            return;
    }
    // The caret left the word being typed (typing holds the word at its new end after the change).
    Live_->ReleaseHeldWord();
    ScheduleLiveSpelling(LiveSpellingQuietMs);
}

void TFormED::ScheduleLiveSpelling(int delayMs)
{
    if (!Live_ || !LiveTimer_)
        return;
    if (delayMs > 0 || !LiveTimer_->isActive())
        LiveTimer_->start(delayMs);
}

void TFormED::LiveSpellingStep()
{
    if (!Live_ || !Live_->Active())
        return;
    if (Busy_) {
        ScheduleLiveSpelling(LiveSpellingQuietMs);
        return;
    }
    if (LiveChangedWhileBusy_.exchange(false))
        Live_->DocumentChanged(0);
    if (Live_->Step(LiveStepBudget))
        rve->Invalidate();
    if (Live_->WantsStep())
        ScheduleLiveSpelling(0);
}

void TFormED::LiveSpellingAnswers()
{
    if (!Live_)
        return;
    if (Busy_) {
        ScheduleLiveSpelling(LiveSpellingQuietMs);
        return;
    }
    if (Live_->ApplyAnswers())
        rve->Invalidate();
    if (Live_->WantsStep())
        ScheduleLiveSpelling(0);
}

void TFormED::UnmarkWord(const std::string& word, int language)
{
    if (Live_ && !Busy_ && Live_->UnmarkWord(word, language))
        rve->Invalidate();
}

// --- The context menu over a marked word ----------------------------------------------------------------

bool TFormED::MarkedWordAtCaret()
{
    int itemNo = -1;
    TRVMisspelling mark;
    return Live_ && !Busy_ && !Doc_->Editor.ReadOnly && MarkAtCaret(Doc_->Editor.InnermostEditor(), itemNo, mark);
}

bool TFormED::AddSpellingEntries()
{
    for (QAction* entry : SpellingMenuEntries_) {
        mnuContext->removeAction(entry);
        entry->deleteLater();
    }
    SpellingMenuEntries_.clear();
    if (!MarkedWordAtCaret())
        return false;
    TCustomDocViewEdit& editor = Doc_->Editor.InnermostEditor();
    int itemNo = -1;
    TRVMisspelling mark;
    MarkAtCaret(editor, itemNo, mark);
    const TRVEditRVData& data = editor.RVData();
    const int styleNo = data.ActualStyleOf(itemNo);
    const TRVItemText text = TRVItemText::Of(data, itemNo);
    const std::string word = ItemWordUtf8(text, mark.Start, mark.Length, Doc_->RStyle.CodePageOfStyle(styleNo));
    TRVXQSpell& bridge = SpellBridge();
    const int language = bridge.LanguageOfStyle(styleNo);

    QAction* before = mnuContext->actions().isEmpty() ? nullptr : mnuContext->actions().front();
    auto add = [&](const QString& caption, const char* name, std::function<void()> action) {
        auto* entry = new QAction(caption, mnuContext);
        entry->setObjectName(QString::fromLatin1(name));
        connect(entry, &QAction::triggered, this, [this, action = std::move(action)] { Guarded(action); });
        mnuContext->insertAction(before, entry);
        SpellingMenuEntries_.push_back(entry);
    };
    std::vector<std::string> offered;
    SpellChecker1.GetSuggestions(word, language, offered);
    const std::vector<std::string> suggestions = BestSuggestions(word, std::move(offered), MaxMenuSuggestions);
    // The word is found again when the entry is chosen: the document may have changed meanwhile.
    const TRVDocPos start{itemNo, mark.Start};
    const TRVDocPos end{itemNo, mark.Start + mark.Length};
    for (const std::string& suggestion : suggestions)
        add(FromUtf8(suggestion), "mitSuggestion", [this, start, end, word, suggestion] {
            EditCommand([&](TDocViewEdit& edit) {
                TCustomDocViewEdit& inner = edit.InnermostEditor();
                inner.SetSelection(start, end);
                const std::u16string from = FromUtf8(word).toStdU16String();
                if (!edit.ReplaceSelection(from, FromUtf8(suggestion).toStdU16String()))
                    inner.SetCaretDocPos(start);
            });
        });
    add(QStringLiteral("Ignorieren"), "mitIgnoreWord", [this, word, language] {
        SpellBridge().IgnoreList.Add(word, language);
        UnmarkWord(word, language);
    });
    add(QStringLiteral("Hinzufügen"), "mitAddWord", [this, word, language] {
        SpellChecker1.AddToDictionary(word, language);
        UnmarkWord(word, language);
    });
    auto* separator = new QAction(mnuContext);
    separator->setSeparator(true);
    mnuContext->insertAction(before, separator);
    SpellingMenuEntries_.push_back(separator);
    return true;
}

} // namespace xq
