// The editor's words checked in the language of their text style.
#include "spelling/RVXQSpell.h"

#include "document/RVStyle.h"
#include "spelling/WordEnumerator.h"

namespace xq {

bool TIgnoreCollection::Add(std::string_view word, int language)
{
    if (Contains(word, language))
        return true;
    if (Items_.size() >= MaxCount)
        return false;
    Items_.emplace(std::string(word), language);
    return true;
}

bool TIgnoreCollection::Contains(std::string_view word, int language) const
{
    return Items_.count(std::make_pair(std::string(word), language)) != 0;
}

bool TReplaceCollection::Add(std::string_view word, std::string_view replacement, int language)
{
    auto key = std::make_pair(std::string(word), language);
    if (const auto it = Items_.find(key); it != Items_.end()) {
        it->second.Replacement = replacement;
        return true;
    }
    if (Items_.size() >= MaxCount)
        return false;
    Items_.emplace(std::move(key), TItem{std::string(word), std::string(replacement), language});
    return true;
}

const TReplaceCollection::TItem* TReplaceCollection::Find(std::string_view word, int language) const
{
    if (Items_.empty())
        return nullptr;
    const auto it = Items_.find(std::make_pair(std::string(word), language));
    return it == Items_.end() ? nullptr : &it->second;
}

std::size_t Utf8CharacterCount(std::string_view text) noexcept
{
    std::size_t count = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    return count;
}

int TRVXQSpell::LanguageOfStyle(int textStyle) const
{
    const int charset = Style_.TextStyles.StyleAt(textStyle).Charset;
    return SpellLanguageOfCharset(charset, Checker_.Language);
}

bool TRVXQSpell::CheckWord(std::string_view word, int textStyle)
{
    if (Utf8CharacterCount(word) <= 1)
        return true;
    const int language = LanguageOfStyle(textStyle);
    if (IgnoreList.Contains(word, language))
        return true;
    return Checker_.IsWordCorrect(word, language);
}

namespace {

/// The check of a document: decides on each word with the bridge's lists and the checker, and asks
/// the user about the misspelled ones.
class TRVXQSpellHelper final : public TRVWordEnumerator {
public:
    TRVXQSpellHelper(TCustomDocViewEdit& editor, TRVXQSpell& bridge) : TRVWordEnumerator(editor), Bridge_(bridge)
    {
        OnYield = bridge.OnYield;
    }

    TSpellCheckOutcome Outcome;

protected:
    TDecision DecideOnWord() override
    {
        if (Utf8CharacterCount(CurrentWord) <= 1)
            return TDecision::Continue;
        const int language = Bridge_.LanguageOfStyle(StyleNo);
        if (Bridge_.IgnoreList.Contains(CurrentWord, language))
            return TDecision::Continue;
        if (const TReplaceCollection::TItem* replace = Bridge_.ReplaceList.Find(CurrentWord, language)) {
            CurrentWord = replace->Replacement;
            Changed = true;
            return TDecision::Continue;
        }
        TSpellChecker& checker = Bridge_.Checker();
        if (!checker.GetSpeller(language)) {
            ++Outcome.Unchecked;
            return TDecision::Continue;
        }
        if (checker.IsWordCorrect(CurrentWord, language))
            return TDecision::Continue;
        return Ask(language);
    }

private:
    TDecision Ask(int language)
    {
        std::vector<std::string> suggestions;
        Bridge_.Checker().GetSuggestions(CurrentWord, language, suggestions);
        SelectCurrentWord();
        if (!Form_) {
            if (Bridge_.CreateSpellForm)
                Form_ = Bridge_.CreateSpellForm();
            if (!Form_)
                return TDecision::Stop;
            if (Bridge_.OnSpellForm)
                Bridge_.OnSpellForm(*Form_);
        }
        ++Outcome.Misspellings;
        const TRVStyle& sheet = Bridge_.Style();
        const int charset = StyleNo >= 0 && StyleNo < sheet.TextStyles.Count() ? sheet.TextStyles[StyleNo].Charset : 0;
        std::string editLine;
        const TSpellFormResult result = Form_->Ask(CurrentWord, suggestions, charset, editLine);
        if (result == TSpellFormResult::Cancel) {
            Outcome.Cancelled = true;
            return TDecision::Stop;
        }
        if (Bridge_.OnSpellFormAction)
            Bridge_.OnSpellFormAction(CurrentWord, editLine, ActionOf(result), language);
        switch (result) {
        case TSpellFormResult::Add:
            // A word the speller cannot take into its dictionary is at least not asked again.
            if (!Bridge_.Checker().AddToDictionary(CurrentWord, language))
                Bridge_.IgnoreList.Add(CurrentWord, language);
            break;
        case TSpellFormResult::Change:
            CurrentWord = editLine;
            Changed = true;
            break;
        case TSpellFormResult::IgnoreAll:
            Bridge_.IgnoreList.Add(CurrentWord, language);
            break;
        case TSpellFormResult::ChangeAll:
            Bridge_.ReplaceList.Add(CurrentWord, editLine, language);
            CurrentWord = editLine;
            Changed = true;
            break;
        case TSpellFormResult::Ignore:
        case TSpellFormResult::Cancel:
            break;
        }
        return TDecision::Continue;
    }

    static TRVXQSpellFormAction ActionOf(TSpellFormResult result) noexcept
    {
        switch (result) {
        case TSpellFormResult::IgnoreAll:
            return sfaIgnoreAll;
        case TSpellFormResult::Change:
            return sfaChange;
        case TSpellFormResult::ChangeAll:
            return sfaChangeAll;
        case TSpellFormResult::Add:
            return sfaAdd;
        case TSpellFormResult::Ignore:
        case TSpellFormResult::Cancel:
            break;
        }
        return sfaIgnore;
    }

    TRVXQSpell& Bridge_;
    std::unique_ptr<TSpellForm> Form_;
};

} // namespace

TSpellCheckOutcome TRVXQSpell::CheckDocument(TCustomDocViewEdit& editor, bool fromStart)
{
    TRVXQSpellHelper helper(editor, *this);
    helper.Run(fromStart);
    return helper.Outcome;
}

} // namespace xq
